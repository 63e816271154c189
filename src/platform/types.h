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
