#pragma once

#include <QWidget>

// The cover-note printing window: never shown; creating it prints every cover note of
// kuldes/temp/, one print job each. A failure is shown in an error box and skips the rest.
class TLap1nyom_Form : public QWidget {
    Q_OBJECT
public:
    explicit TLap1nyom_Form(QWidget* parent = nullptr);

private:
    void FormCreate();
};
