#include "lap1nyom.h"

#include "cover_note_printing.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/settings.h"

TLap1nyom_Form::TLap1nyom_Form(QWidget* parent, const Log& log, const QString& year,
                               const QString& quarter)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("Kisérőjegyzék nyomtatása"));
    FormCreate(log, year, quarter);
}

// A failure is shown here, so the window that asked for the printing carries on as it would; its
// log tells it as well, so that it is still there once the box is closed. Notes that name the
// placeholder addressee are printed only when the user says so.
void TLap1nyom_Form::FormCreate(const Log& log, const QString& year, const QString& quarter) {
    using platform::Button;
    if (const auto placeholders = platform::addresseePlaceholderWarning();
        placeholders &&
        platform::showConfirmation(*placeholders + QStringLiteral(". Mégis kinyomtatja?"),
                                   {Button::Yes, Button::No}, Button::No) != Button::Yes)
        return;
    platform::runCommand([&] {
        int printed = 0;
        try {
            printed = transmission::PrintCoverNotes(year, quarter);
        } catch (const platform::Failure& failure) {
            if (log)
                log(failure.text());
            throw;
        }
        if (log)
            log(transmission::printedLine(printed, year, quarter));
    });
}
