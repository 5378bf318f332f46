#include "failure.h"

#include "message_box.h"

namespace platform {

void reportFailure(const std::exception& failure) {
    if (auto* own = dynamic_cast<const Failure*>(&failure))
        showError(own->text());
    else
        showError(QString::fromUtf8(failure.what()));
}

bool runCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& failure) {
        reportFailure(failure);
        return false;
    }
}

}  // namespace platform
