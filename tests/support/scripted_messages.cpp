#include "scripted_messages.h"

#include <QtGlobal>

namespace testsupport {

using platform::Button;
using platform::MessageKind;

class ScriptedMessages::Service : public platform::MessageService {
public:
    explicit Service(ScriptedMessages& owner) : owner_(owner) {}

    Button show(MessageKind kind, const QString& text, const platform::Buttons& buttons) override {
        owner_.shown_.append({kind, text, buttons});
        if (buttons == platform::Buttons{Button::Ok})
            return Button::Ok;
        if (owner_.answers_.empty())
            qFatal("Unexpected message box with no answer queued: %s", qPrintable(text));
        const Button answer = owner_.answers_.front();
        owner_.answers_.pop_front();
        return answer;
    }

private:
    ScriptedMessages& owner_;
};

ScriptedMessages::ScriptedMessages()
    : previous_(platform::MessageService::install(std::make_unique<Service>(*this))) {}

ScriptedMessages::~ScriptedMessages() {
    platform::MessageService::install(std::move(previous_));
    if (!shown_.isEmpty())
        qFatal("Message boxes the test did not check: %s", qPrintable(describe(shown_)));
}

QList<ShownBox> ScriptedMessages::take() {
    QList<ShownBox> taken;
    taken.swap(shown_);
    return taken;
}

QStringList ScriptedMessages::takeTexts() {
    QStringList texts;
    for (const auto& box : take())
        texts.append(box.text);
    return texts;
}

QString describe(const QList<ShownBox>& boxes) {
    QStringList lines;
    for (const auto& box : boxes)
        lines.append(QStringLiteral("[%1] %2").arg(static_cast<int>(box.kind)).arg(box.text));
    return lines.join(u'\n');
}

}  // namespace testsupport
