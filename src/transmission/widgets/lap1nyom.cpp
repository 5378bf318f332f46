#include "lap1nyom.h"

#include "cover_note_printing.h"
#include "platform/failure.h"

TLap1nyom_Form::TLap1nyom_Form(QWidget* parent, const Log& log, const QString& year,
                               const QString& quarter)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("Kisérőjegyzék nyomtatása"));
    FormCreate(log, year, quarter);
}

// A failure is shown here, so the window that asked for the printing carries on as it would; its
// log tells it as well, so that it is still there once the box is closed.
void TLap1nyom_Form::FormCreate(const Log& log, const QString& year, const QString& quarter) {
    platform::runCommand([&] {
        int printed = 0;
        try {
            printed = transmission::PrintCoverNotes();
        } catch (const platform::Failure& failure) {
            if (log)
                log(failure.text());
            throw;
        }
        if (log)
            log(transmission::printedLine(printed, year, quarter));
    });
}
