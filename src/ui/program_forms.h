// The program's forms as its features reach them.
#pragma once

#include <cstdint>

#include "platform/form.h"
#include "ui/form_controls.h"

namespace quorvel {

class Forms {
public:
    // Made at start-up and kept until the program ends.
    virtual platform::Form& TaskbarForm() = 0;
    virtual const TaskbarFormControls& TaskbarControls() const = 0;
    // Made on first use, and made afresh when used after something outside
    // unloaded it (a close request that reached it), so a feature asks for
    // it each time instead of keeping it.
    virtual platform::Form& IconHostForm() = 0;
    virtual const IconHostFormControls& IconHostControls() = 0;
    // The Configure dialog is open and shown: the other forms' clicks count
    // for nothing meanwhile.
    virtual bool DialogVisible() const = 0;

protected:
    ~Forms() = default;
};

// A close request of the icon's host form or of the dialog ends the program
// only when Windows shuts down, the user logs off or the task manager closes
// it; the program's own unloads and the close command do not.
inline bool EndsTheProgram(std::int16_t unloadMode) {
    return unloadMode > platform::vbFormCode;
}

}  // namespace quorvel
