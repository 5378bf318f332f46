#include "command_line.h"
#include "platform/translation.h"
#include "platform/widgets/widget_message_service.h"
#include "startup.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    if (const auto status = app::runCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velkor"));
    platform::installToolkitTranslation();
    platform::MessageService::install(std::make_unique<platform::WidgetMessageService>());
    return app::run();
}
