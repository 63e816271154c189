// Whether another instance of the program runs, from what creating the
// program's named kernel object answered.
#pragma once

#include <cstdint>

namespace quorvel::platform {

// `gotHandle`: the creation gave a handle; `lastError`: the error code it
// left. The object existed already (a handle and ERROR_ALREADY_EXISTS, 183),
// or it exists and refuses this process (no handle, ERROR_ACCESS_DENIED, 5):
// an instance started elevated, or by another user in this session, holds
// it. Either way this process is a second start.
inline bool AnotherInstanceHolds(bool gotHandle, std::uint32_t lastError) {
    return gotHandle ? lastError == 183 : lastError == 5;
}

}  // namespace quorvel::platform
