// Each window of the program's own classes stands for one object, the one
// CreateWindowExA was given as its last argument. The window procedure finds
// it in the window's GWLP_USERDATA: stored there at WM_NCCREATE, whose
// CREATESTRUCTA carries it ("CREATESTRUCTA structure": lpCreateParams), and
// cleared at WM_NCDESTROY, the last message a window gets ("WM_NCDESTROY
// message"), so that nothing reaches an object through a window gone.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The object `hwnd` stands for, for this message: null for one before
// WM_NCCREATE (a top-level window may be asked WM_GETMINMAXINFO first).
// WM_NCDESTROY itself still finds it.
template <typename T>
T* BindAtCreate(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return self;
}

// The window procedure of a class whose windows each stand for a T: a
// message goes to `Handle` on the window's object, with the window (the
// object may not know its window yet: CreateWindowExA has not returned
// during WM_NCCREATE and WM_CREATE); a message before there is an object
// goes to `Unbound`, the procedure the class falls back to.
template <typename T, LRESULT (T::*Handle)(HWND, UINT, WPARAM, LPARAM),
          WNDPROC Unbound = DefWindowProcA>
LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    T* self = BindAtCreate<T>(hwnd, msg, lParam);
    if (self == nullptr) return Unbound(hwnd, msg, wParam, lParam);
    return (self->*Handle)(hwnd, msg, wParam, lParam);
}

}  // namespace quorvel::win32
