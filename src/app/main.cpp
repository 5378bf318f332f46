#include "command_line.h"
#include "platform/translation.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    if (const auto status = app::runCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velkor"));
    platform::installToolkitTranslation();
    return app::run();
}
