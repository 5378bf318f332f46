#include "failure.h"

#include "message_box.h"

#include <utility>

namespace platform {

QString excerpt(const QString& text) {
    constexpr qsizetype kWidth = 80;
    return text.size() <= kWidth ? text : text.left(kWidth - 1) + QChar(0x2026);
}

namespace {

HeldFailures* holder = nullptr;

}  // namespace

void reportFailure(const std::exception& failure) {
    auto* own = dynamic_cast<const Failure*>(&failure);
    const QString text = own ? own->text() : QString::fromUtf8(failure.what());
    if (holder)
        holder->keep(text);
    else
        showError(text);
}

HeldFailures::HeldFailures() : previous_(std::exchange(holder, this)) {}

HeldFailures::~HeldFailures() {
    if (holder == this)
        holder = previous_;
}

void HeldFailures::release() {
    if (holder == this)
        holder = previous_;
    for (const QString& text : std::exchange(texts_, {}))
        showError(text);
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
