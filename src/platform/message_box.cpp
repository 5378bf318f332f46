#include "message_box.h"

#include <cstdio>

#include <algorithm>

namespace platform {

namespace {

std::unique_ptr<MessageService>& slot() {
    static std::unique_ptr<MessageService> service = std::make_unique<UnattendedMessageService>();
    return service;
}

}  // namespace

bool offers(const Buttons& buttons, Button button) {
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

MessageService& MessageService::current() {
    return *slot();
}

std::unique_ptr<MessageService> MessageService::install(std::unique_ptr<MessageService> service) {
    std::swap(slot(), service);
    return service;
}

Button UnattendedMessageService::show(MessageKind kind, const QString& text,
                                      const Buttons& buttons) {
    (void)kind;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    for (const Button answer : {Button::No, Button::Cancel, Button::Ok})
        if (offers(buttons, answer))
            return answer;
    return Button::None;
}

Button showWarning(const QString& text, const Buttons& buttons) {
    return MessageService::current().show(MessageKind::Warning, text, buttons);
}

Button showConfirmation(const QString& text, const Buttons& buttons) {
    return MessageService::current().show(MessageKind::Confirmation, text, buttons);
}

Button showConfirmation(const QString& text, const Buttons& buttons, Button defaultButton) {
    return MessageService::current().showWithDefault(MessageKind::Confirmation, text, buttons,
                                                     defaultButton);
}

void showMessage(const QString& text) {
    MessageService::current().show(MessageKind::Plain, text, {Button::Ok});
}

QString withFullStop(const QString& text) {
    return text.endsWith(u'.') ? text : text + u'.';
}

void showError(const QString& text) {
    MessageService::current().show(MessageKind::Error, withFullStop(text), {Button::Ok});
}

}  // namespace platform
