#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>

namespace platform {

// A failure that a command does not handle itself: a statement the database rejects, a file that
// cannot be created, a conversion that fails. Its text is what the user sees in the error box.
class Failure : public std::exception {
public:
    explicit Failure(QString text) : text_(std::move(text)), utf8_(text_.toUtf8()) {}
    const QString& text() const noexcept { return text_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString text_;
    QByteArray utf8_;
};

// A piece of a file's content as a message quotes it: at most 80 characters, "…" marking a cut,
// so that no message grows with the file.
QString excerpt(const QString& text);

// The general error handler: shows the failure in the error box; the program goes on.
void reportFailure(const std::exception& failure);

// While one lives, the general error handler keeps the failures it is given instead of showing
// them; destroyed without release, it drops them. Start-up shows only the failure that ends it.
class HeldFailures {
public:
    HeldFailures();
    ~HeldFailures();
    HeldFailures(const HeldFailures&) = delete;
    HeldFailures& operator=(const HeldFailures&) = delete;

    // Stops holding and shows the kept failures in order.
    void release();

private:
    friend void reportFailure(const std::exception& failure);
    void keep(const QString& text) { texts_.append(text); }

    QStringList texts_;
    HeldFailures* previous_;
};

// Runs a command; a failure it does not handle ends it there and reaches the general error
// handler. Returns false when the command failed.
bool runCommand(const std::function<void()>& command);

// A slot that runs a handler of a window as a command (runCommand).
template <typename Window>
std::function<void()> commandSlot(Window* window, void (Window::*handler)()) {
    return [window, handler] { runCommand([window, handler] { (window->*handler)(); }); };
}

}  // namespace platform
