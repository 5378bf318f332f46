#include "lap1nyom.h"

#include "cover_note_printing.h"
#include "platform/failure.h"

TLap1nyom_Form::TLap1nyom_Form(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Kisérőjegyzék nyomtatása"));
    FormCreate();
}

// A failure is shown here, so the window that asked for the printing carries on as it would.
void TLap1nyom_Form::FormCreate() {
    platform::runCommand(transmission::PrintCoverNotes);
}
