#pragma once

#include <QFont>

namespace platform {

// Stands in for the default printer: the program sets its canvas font at start and prints the
// cover notes with it.
class Printer {
public:
    static Printer& instance();

    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }

private:
    QFont font_;
};

}  // namespace platform
