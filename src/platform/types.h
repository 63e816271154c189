// Basic types shared by the program and both platform backends.
#pragma once

#include <cstdint>
#include <exception>

namespace quorvel::platform {

// The program is 32-bit: window, menu, icon and registry-key handles are
// 32-bit values, passed to the Win32 functions as they are.
using Hwnd = std::uint32_t;
using Hmenu = std::uint32_t;
using Hicon = std::uint32_t;
using Hkey = std::uint32_t;
using Hmonitor = std::uint32_t;

// A 32-bit handle value as a pointer-sized one, the way Windows widens it:
// only the lower 32 bits of a window, menu, GDI or registry handle are
// significant, and a 32-bit value is sign-extended ("Interprocess
// Communication Between 32-bit and 64-bit Applications"). So the special
// values keep their meaning in a 64-bit build: HWND_NOTOPMOST (-2) stays -2
// and HKEY_LOCAL_MACHINE (0x80000002) becomes the 64-bit headers' own value.
// Module handles and pointers are no such values.
constexpr std::intptr_t WidenHandle(std::uint32_t handle) {
    return static_cast<std::int32_t>(handle);
}

// The X and Y of MouseMove (the notification-area callback) are always
// converted at 15 twips to the pixel, whatever the screen's density.
inline constexpr int kTwipsPerPixel = 15;

// A run-time error of the form run time ("A form can't be moved while
// minimised", "Path not found", "Permission denied"). By default it ends the
// event handler that raised it; see errors.h for the other two modes.
// The description is a static text: nothing reads it but a debugger, and
// std::runtime_error would bring a second string implementation into the
// executable for it.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(const char* description) noexcept : description_(description) {}
    const char* what() const noexcept override { return description_; }

private:
    const char* description_;
};

}  // namespace quorvel::platform
