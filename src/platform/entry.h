// The program's entry: the backend the executable is linked with builds its
// run time, hands it to `program`, and runs the event loop until the end.
#pragma once

#include <functional>

#include "platform/runtime.h"

namespace quorvel::platform {

int RunProgram(const std::function<void(Runtime&)>& program);

}  // namespace quorvel::platform
