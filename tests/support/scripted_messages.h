#pragma once

#include "platform/message_box.h"

#include <QList>
#include <QString>

#include <deque>
#include <memory>

namespace testsupport {

struct ShownBox {
    platform::MessageKind kind;
    QString text;
    platform::Buttons buttons;
    friend bool operator==(const ShownBox&, const ShownBox&) = default;
};

// Stands in for the message boxes while it lives: records every box and answers it without
// showing anything. A box with only an OK button is answered OK; a box that offers a choice takes
// the next queued answer, and with none queued the test stops loudly. Boxes not taken by the
// test when it ends stop it loudly too, so no box goes unnoticed.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void answer(platform::Button button) { answers_.push_back(button); }
    // The boxes shown since the last call, in order.
    QList<ShownBox> take();
    // Only the texts of the boxes shown since the last call.
    QStringList takeTexts();
    bool answersUsed() const { return answers_.empty(); }

private:
    class Service;
    std::deque<platform::Button> answers_;
    QList<ShownBox> shown_;
    std::unique_ptr<platform::MessageService> previous_;
};

QString describe(const QList<ShownBox>& boxes);

}  // namespace testsupport
