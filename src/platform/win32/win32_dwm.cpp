#include "platform/win32/win32_dwm.h"

#include "platform/win32/look_up.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

namespace {

using GetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

struct Dwm {
    GetAttributeFn get = nullptr;
    SetAttributeFn set = nullptr;
};

const Dwm& Functions() {
    static const Dwm dwm = [] {
        Dwm found;
        if (HMODULE library = LoadSystemLibrary("dwmapi.dll")) {
            found.get = LookUp<GetAttributeFn>(library, "DwmGetWindowAttribute");
            found.set = LookUp<SetAttributeFn>(library, "DwmSetWindowAttribute");
        }
        return found;
    }();
    return dwm;
}

const HRESULT kMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

}  // namespace

HRESULT DwmGetWindowAttribute(HWND hwnd, DWORD attribute, void* value, DWORD size) {
    const Dwm& dwm = Functions();
    return dwm.get != nullptr ? dwm.get(hwnd, attribute, value, size) : kMissing;
}

HRESULT DwmSetWindowAttribute(HWND hwnd, DWORD attribute, const void* value, DWORD size) {
    const Dwm& dwm = Functions();
    return dwm.set != nullptr ? dwm.set(hwnd, attribute, value, size) : kMissing;
}

}  // namespace quorvel::win32
