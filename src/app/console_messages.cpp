#include "console_messages.h"

#include <algorithm>
#include <cstdio>

namespace app {

platform::Button ConsoleMessages::show(platform::MessageKind kind, const QString& text,
                                       const platform::Buttons& buttons) {
    using platform::Button;
    (void)kind;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    for (const Button answer : {Button::No, Button::Cancel, Button::Ok}) {
        if (std::find(buttons.begin(), buttons.end(), answer) != buttons.end())
            return answer;
    }
    return Button::None;
}

}  // namespace app
