#pragma once

#include <QWidget>

#include <functional>

// The cover-note printing window: never shown; creating it prints every cover note of
// kuldes/temp/ (of the period only, when year and quarter are given), one print job each, and tells
// the log how many went to which printer, or that there was none (of the period, when year and
// quarter are given). A failure is shown in an error box and told in the log, and skips the rest.
// While the addressee is the shipped placeholder it asks first (default No) and, answered No,
// prints nothing.
class TLap1nyom_Form : public QWidget {
    Q_OBJECT
public:
    using Log = std::function<void(const QString& line)>;

    explicit TLap1nyom_Form(QWidget* parent = nullptr, const Log& log = {},
                            const QString& year = {}, const QString& quarter = {});

private:
    void FormCreate(const Log& log, const QString& year, const QString& quarter);
};
