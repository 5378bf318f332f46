#include "lap1nyom.h"

TLap1nyom_Form::TLap1nyom_Form(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Kisérőjegyzék nyomtatása"));
    FormCreate();
}

void TLap1nyom_Form::FormCreate() {
    // Printing the cover notes comes with the printer's own module.
}
