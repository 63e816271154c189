// A dialog form's window belongs to the system's dialog manager: its class
// keeps the dialog manager's data and its procedure falls back to
// DefDlgProc. The manager then saves the focus when the dialog is deactivated
// and restores it when it is activated, moves it with Tab, Shift+Tab and the
// arrow keys, lets Enter press the focused push button (or the default one)
// and Escape the Cancel button, and finds the access keys. The form only
// tells it which buttons are OK and Cancel, and where the focus starts.
#include <windows.h>

#include <cstring>

#include "platform/message_words.h"
#include "platform/win32/win32_form.h"

namespace quorvel::win32 {

using namespace platform;

LRESULT Win32Form::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The manager saves or restores the focus first; Activate comes after,
    // with the focus back where the user left it.
    if (msg == WM_ACTIVATE) DefDlgProcA(hwnd, msg, wParam, lParam);
    return FormProc(hwnd, msg, wParam, lParam);
}

LRESULT Win32Form::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return IsDialog() ? DefDlgProcA(hwnd_, msg, wParam, lParam)
                      : DefWindowProcA(hwnd_, msg, wParam, lParam);
}

int Win32Form::ControlId(const ControlDescription& c, int next) const {
    // The manager knows OK and Cancel by their identifiers: Enter away from
    // a push button presses IDOK, the default; Escape presses IDCANCEL.
    if (IsDialog() && c.isDefault) return IDOK;
    if (IsDialog() && c.isCancel) return IDCANCEL;
    return next;
}

void Win32Form::SetDefaultButton() {
    for (const auto& c : controls()) {
        if (c->description().isDefault) SendMessageA(hwnd_, DM_SETDEFID, IDOK, 0);
    }
}

void Win32Form::FocusFirstTabStop() {
    // The first activation came before Activate checked an option, so the
    // manager found no tab stop in the option group then; now the checked
    // option is one.
    if (!IsDialog()) return;
    HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (first != nullptr) {
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
}

void Win32Form::OptionChecked(Win32Control& option) {
    // Only the checked option of a group is a tab stop (user32 does this on
    // BM_SETCHECK; said here for every button library).
    HWND button = option.window();
    LONG style = GetWindowLongA(button, GWL_STYLE);
    LONG wanted = option.Value() ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style) SetWindowLongA(button, GWL_STYLE, wanted);
    if (!option.Value()) return;
    // When the program checks an option while the focus is on another one
    // of the group (Activate re-reading the stored mode), the focus follows
    // the check. Left on the unchecked option, it would be restored there at
    // the next activation, and an option that receives the focus clicks
    // itself: the selection would change behind the user's back.
    HWND focus = GetFocus();
    if (focus == nullptr || focus == button || GetParent(focus) != GetParent(button)) return;
    if (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    }
}

bool PanelDialogMessage(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_CLOSE && msg != DM_GETDEFID && msg != WM_NEXTDLGCTL) return false;
    result = 0;
    HWND root = GetAncestor(panel, GA_ROOT);
    if (msg == WM_NEXTDLGCTL) {
        // Tab in a multi-line text box: the text box asks its parent to move
        // the focus on, which is the dialog's business.
        result = SendMessageA(root, msg, wParam, lParam);
        return true;
    }
    char cls[32] = {};
    GetClassNameA(root, cls, sizeof cls);
    // A container is never closed: only a multi-line text box asks its
    // parent to close, when Escape is pressed in it.
    if (std::strcmp(cls, kDialogClass) != 0) return true;
    WPARAM command = IDCANCEL;
    if (msg == DM_GETDEFID) {
        // Asked by a multi-line text box when Enter is pressed in it. The
        // default button is the dialog's, not one of this container's
        // children, where the text box would look for it: press it there.
        LRESULT id = SendMessageA(root, DM_GETDEFID, 0, 0);
        if (HighWord(id) != DC_HASDEFID) return true;
        command = LowWord(id);
    }
    // As the dialog itself answers a close request: with Cancel.
    PostMessageA(root, WM_COMMAND, MakeLong(static_cast<std::int32_t>(command), BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(root, static_cast<int>(command))));
    return true;
}

}  // namespace quorvel::win32
