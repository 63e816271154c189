// The named object that tells a second start of the program from the first.
#pragma once

#include "platform/win32/handles.h"

namespace quorvel::win32 {

// Creates (or opens) the named mutex and keeps it in `holder` for the life of
// the process; true when another instance holds it already.
bool ClaimInstance(const char* name, KernelHandle& holder);

}  // namespace quorvel::win32
