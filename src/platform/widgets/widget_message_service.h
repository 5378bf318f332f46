#pragma once

#include "platform/message_box.h"

namespace platform {

// The real boxes, built on QMessageBox; the program installs it when it starts its windows.
class WidgetMessageService : public MessageService {
public:
    Button show(MessageKind kind, const QString& text, const Buttons& buttons) override;
    Button showWithDefault(MessageKind kind, const QString& text, const Buttons& buttons,
                           Button defaultButton) override;
};

}  // namespace platform
