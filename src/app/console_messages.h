#pragma once

#include "platform/message_box.h"

namespace app {

// The message boxes of a command run without windows: each text goes to the error output, and a
// question is answered as no one is there to answer it: No where offered, else Cancel, else OK.
class ConsoleMessages : public platform::MessageService {
public:
    platform::Button show(platform::MessageKind kind, const QString& text,
                          const platform::Buttons& buttons) override;
};

}  // namespace app
