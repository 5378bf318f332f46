#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace platform {

// The application's title: the plain and error boxes carry it.
inline constexpr char16_t kApplicationTitle[] = u"Vélkor statisztika";

// The four kinds of message box every window uses.
enum class MessageKind {
    Warning,       // warning icon, title "Warning"
    Confirmation,  // question icon, title "Confirm"
    Plain,         // application title, no icon, one OK
    Error,         // stop icon, application title, one OK
};

// The answer of a box; None when it was closed from its title bar.
enum class Button { None, Yes, No, Ok, Cancel };

using Buttons = std::vector<Button>;

// Shows message boxes. The program installs the real one; tests install a scripted one, so no
// test ever blocks on a modal box.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual Button show(MessageKind kind, const QString& text, const Buttons& buttons) = 0;
    // The same with another default button than the usual one; a service that shows nothing
    // may ignore it.
    virtual Button showWithDefault(MessageKind kind, const QString& text, const Buttons& buttons,
                                   Button defaultButton) {
        (void)defaultButton;
        return show(kind, text, buttons);
    }

    static MessageService& current();
    // Installs a service and returns the one it replaces.
    static std::unique_ptr<MessageService> install(std::unique_ptr<MessageService> service);
};

// Button order on screen is always Yes, No, OK; OK is the default when present, otherwise Yes;
// Esc answers No. A box that offers Cancel as well is a question of the program's own, asked
// before work would be lost: its answers read "Igen", "Nem" and "Mégse", and Esc answers Cancel.
Button showWarning(const QString& text, const Buttons& buttons = {Button::Ok});
Button showConfirmation(const QString& text, const Buttons& buttons);
// A confirmation box whose default button is the given one, for a question better answered No.
Button showConfirmation(const QString& text, const Buttons& buttons, Button defaultButton);
void showMessage(const QString& text);
// The failure's own text, with a full stop added when it does not end in one.
void showError(const QString& text);

QString withFullStop(const QString& text);

// Where no one is there to answer (the command line, and until the windows install their boxes):
// each text goes to the error output, and a question gets the answer that changes nothing: No,
// else Cancel, else OK.
class UnattendedMessageService : public MessageService {
public:
    Button show(MessageKind kind, const QString& text, const Buttons& buttons) override;
};

// Whether a box offers the button.
bool offers(const Buttons& buttons, Button button);

}  // namespace platform
