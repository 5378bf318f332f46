// The part of the program with windows, loaded by the program's entry for the windows and for
// printing the cover notes from the command line.

#include "command_line.h"
#include "platform/translation.h"
#include "platform/widgets/widget_message_service.h"
#include "startup.h"
#include "transmission/widgets/cover_note_printing.h"

#include <QApplication>

#include <memory>

namespace {

// Printing needs the fonts of a windowing system: the offscreen one where there is no display.
std::unique_ptr<QCoreApplication> printingApplication(int& argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    // The printing's failures may hold the toolkit's own texts.
    platform::installToolkitTranslation();
    return application;
}

QString printCoverNotes(const QString& year, const QString& quarter) {
    return transmission::printedLine(transmission::PrintCoverNotes(year, quarter), year, quarter);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int velkor_main(int argc, char* argv[]) {
    const app::CoverNotePrinting printing{printingApplication, printCoverNotes};
    if (const auto status = app::runCommandLine(argc, argv, &printing))
        return *status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velkor"));
    platform::installToolkitTranslation();
    platform::MessageService::install(std::make_unique<platform::WidgetMessageService>());
    return app::run();
}
