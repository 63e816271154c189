// What both backends' run times share about raising events.
#pragma once

#include <utility>

#include "platform/errors.h"
#include "platform/scope_exit.h"
#include "platform/types.h"

namespace quorvel::platform {

// Raises the program's events and knows whether one of its handlers runs.
// Activations that happen while a handler runs are the program's own doing
// (SetWindowPos without SWP_NOACTIVATE, a message box closing, a pop-up
// menu's owner): they are no change of its current form and raise no
// Activate. A message loop inside a handler (modal dialog, DoEvents) takes the
// user's input again: what it dispatches comes from outside.
class EventDispatcher {
public:
    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args&... args) {
        auto inHandler = OwnDoing();
        RaiseEvent(handler, args...);
    }
    bool InHandler() const { return depth_ > 0; }

    // A step of the run time's own (the start-up activation): what it causes
    // is the program's doing, as inside a handler, until the guard goes.
    [[nodiscard]] auto OwnDoing() {
        return Scoped([this] { ++depth_; }, [this] { --depth_; });
    }
    // A message loop inside a handler: what it dispatches until the guard
    // goes comes from outside.
    [[nodiscard]] auto OutsideInput() { return HoldAt(depth_, 0); }

private:
    int depth_ = 0;
};

}  // namespace quorvel::platform
