#pragma once

#include "platform/failure.h"

#include <QString>

#include <functional>

namespace testsupport {

// The text of the Failure the action ends with; empty when it ends without one.
inline QString failureText(const std::function<void()>& action) {
    try {
        action();
    } catch (const platform::Failure& failure) {
        return failure.text();
    }
    return {};
}

}  // namespace testsupport
