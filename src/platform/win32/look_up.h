// Functions the program looks up at run time instead of importing them: an
// import Windows cannot resolve keeps the program from starting at all, where
// a function looked up is only missing, and the caller does without it.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The function `name` of `module` as the pointer type it has, F; null where
// the module is not there or has no such function. Null is checked here, not
// left to GetProcAddress, which would look in the program's own image instead.
template <typename F>
F LookUp(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    // GetProcAddress answers every function as a FARPROC; the way to the
    // function's own type goes through void*, as a cast from one function
    // type to another is one the compiler rightly warns about.
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace quorvel::win32
