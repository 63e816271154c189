#include "platform/win32/win32_message_filter.h"

#include "platform/win32/look_up.h"

namespace quorvel::win32 {

namespace {
constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW of the per-window function
constexpr DWORD kAdd = 1;    // MSGFLT_ADD of the per-process function
}  // namespace

MessageFilter LookUpMessageFilter(HMODULE user32) {
    return {LookUp<MessageFilter::PerWindow>(user32, "ChangeWindowMessageFilterEx"),
            LookUp<MessageFilter::PerProcess>(user32, "ChangeWindowMessageFilter")};
}

bool AllowThroughMessageFilter(const MessageFilter& filter, HWND window, UINT message) {
    if (filter.perWindow != nullptr) return filter.perWindow(window, message, kAllow, nullptr);
    if (filter.perProcess != nullptr) return filter.perProcess(message, kAdd);
    return false;
}

bool AllowThroughWindowFilter(const MessageFilter& filter, HWND window, UINT message) {
    return filter.perWindow != nullptr && filter.perWindow(window, message, kAllow, nullptr);
}

}  // namespace quorvel::win32
