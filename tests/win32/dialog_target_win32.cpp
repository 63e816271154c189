// The conformance tests' dialog manager under Wine: Windows' own, reached
// with the messages real keys and clicks produce. This program carries no
// common-controls-6 manifest, so its buttons are user32's, which click
// themselves when they receive the focus, as Windows' do.
#include <windows.h>

#include <gtest/gtest.h>

#include "conformance/dialog_target.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_runtime.h"

namespace quorvel::testing {

namespace {

constexpr DWORD kWaitMs = 3000;

class Win32DialogTarget : public DialogTarget {
public:
    Win32DialogTarget() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        cls.lpszClassName = "QuorvelDialogTestOther";
        RegisterClassA(&cls);
        other_ = CreateWindowExA(0, cls.lpszClassName, "Another program",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 500, 250, 150, nullptr,
                                 nullptr, cls.hInstance, nullptr);
    }
    ~Win32DialogTarget() override { DestroyWindow(other_); }

    platform::Runtime& runtime() override { return runtime_; }

    void RunModal(platform::Form& form, const std::function<void()>& inside) override {
        form_ = &form;
        inside_ = &inside;
        told_ = 0;
        SetTimer(nullptr, 0, 10, Start);
        form.ShowModal();
        form_ = nullptr;
    }

    platform::Control* Focused() override {
        HWND focus = GetFocus();
        for (const auto& c : form_->controls()) {
            auto* control = static_cast<win32::Win32Control*>(c.get());
            if (focus != nullptr && control->window() == focus) return c.get();
        }
        return nullptr;
    }

    void Key(std::uint8_t vk, bool shift) override {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND focus = GetFocus();
        UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
        PostMessageA(focus, WM_KEYDOWN, vk, 1 | (scan << 16));
        Pump();
        if (IsWindow(focus)) PostMessageA(focus, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000);
        Pump();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    void AltKey(char letter) override {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000001);
        Pump();
    }

    void ClickInto(platform::Control& control) override {
        HWND hwnd = static_cast<win32::Win32Control&>(control).window();
        PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
    }

    void ActivateOtherWindow() override {
        SetForegroundWindow(other_);
        WaitForeground(other_);
    }

    void SwitchBack() override {
        HWND dialog = Dialog();
        SetForegroundWindow(dialog);
        WaitForeground(dialog);
    }

    void ClickTitle() override {
        HWND dialog = Dialog();
        RECT r;
        GetWindowRect(dialog, &r);
        int x = (r.left + r.right) / 2;
        int y = r.top;
        while (y < r.bottom &&
               SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCAPTION) {
            ++y;
        }
        ASSERT_LT(y, r.bottom) << "no title bar";
        y += 3;
        INPUT in[3] = {};
        for (INPUT& i : in) i.type = INPUT_MOUSE;
        in[0].mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        in[0].mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(3, in, sizeof(INPUT));
        WaitForeground(dialog);
        // Until the click has been handled to its end (the title's move loop).
        for (DWORD start = GetTickCount(); GetTickCount() - start < 200;) Pump();
    }

    bool ChangeDensity(int pixelsPerInch) override {
        // As Windows 10 asks: WM_GETDPISCALEDSIZE's wParam is the new density
        // and its lParam a SIZE holding the window's size scaled linearly,
        // which the window may change (answering TRUE); WM_DPICHANGED's
        // wParam has X in the low word and Y in the high word, and its lParam
        // is the rectangle built from that size.
        HWND dialog = Dialog();
        if (told_ == 0) told_ = GetDeviceCaps(win32::WindowDcOf(nullptr).get(), LOGPIXELSY);
        RECT suggested;
        GetWindowRect(dialog, &suggested);
        SIZE size{MulDiv(suggested.right - suggested.left, pixelsPerInch, told_),
                  MulDiv(suggested.bottom - suggested.top, pixelsPerInch, told_)};
        const SIZE linear = size;
        const bool answered =
            SendMessageA(dialog, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(pixelsPerInch),
                         reinterpret_cast<LPARAM>(&size)) != FALSE;
        if (!answered) size = linear;
        suggested.right = suggested.left + size.cx;
        suggested.bottom = suggested.top + size.cy;
        told_ = pixelsPerInch;
        SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(pixelsPerInch, pixelsPerInch),
                     reinterpret_cast<LPARAM>(&suggested));
        Pump();
        RECT now;
        GetWindowRect(dialog, &now);
        return answered && EqualRect(&now, &suggested) != FALSE;
    }
    LaidOut Shown() override {
        return {[](platform::Control& c) -> std::optional<platform::ClientArea> {
                    auto& control = static_cast<win32::Win32Control&>(c);
                    // An image has no window: it is drawn on the form.
                    if (control.window() == nullptr) return std::nullopt;
                    RECT r;
                    GetWindowRect(control.window(), &r);
                    MapWindowPoints(nullptr, GetParent(control.window()),
                                    reinterpret_cast<POINT*>(&r), 2);
                    return platform::ClientArea{r.left, r.top, r.right - r.left, r.bottom - r.top};
                },
                [](platform::Control& c) {
                    HWND window = static_cast<win32::Win32Control&>(c).window();
                    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
                    LOGFONTA description{};
                    GetObjectA(font, sizeof description, &description);
                    return static_cast<int>(description.lfHeight);
                }};
    }
    platform::ClientArea ClientSize() override {
        RECT r;
        GetClientRect(Dialog(), &r);
        return {0, 0, r.right, r.bottom};
    }

    platform::SystemColours CurrentColours() override {
        return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_WINDOW),
                GetSysColor(COLOR_WINDOWTEXT)};
    }
    void SetSystemColours(const platform::SystemColours& colours) override {
        // For this session only ("SetSysColors function"); under Wine until
        // the wineserver ends.
        const INT elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT};
        const COLORREF values[] = {colours.buttonFace, colours.buttonText, colours.window,
                                   colours.windowText};
        SetSysColors(4, elements, values);
        Pump();
    }
    bool RepaintAfter(std::uint32_t msg, std::uint32_t wParam,
                      platform::Control& control) override {
        HWND dialog = Dialog();
        HWND window = static_cast<win32::Win32Control&>(control).window();
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "still to paint before";
        // WM_SETTINGCHANGE's lParam names the area of the setting
        // ("WM_SETTINGCHANGE message"); the other two have none.
        static const char area[] = "";
        const LPARAM lParam = msg == WM_SETTINGCHANGE ? reinterpret_cast<LPARAM>(area) : 0;
        SendMessageA(dialog, msg, wParam, lParam);
        const bool asked = GetUpdateRect(window, nullptr, FALSE) != FALSE;
        Pump();
        return asked;
    }
    platform::DrawnColours DrawnWith(platform::Control& control) override {
        // Asked as the control asks its parent before it is drawn
        // ("WM_CTLCOLORSTATIC message", "WM_CTLCOLOREDIT message": the
        // device context, the control's window), in colours no answer gives.
        HWND window = static_cast<win32::Win32Control&>(control).window();
        const bool typing = control.description().kind == platform::ControlKind::TextBox &&
                            (GetWindowLongA(window, GWL_STYLE) & ES_READONLY) == 0;
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(GetParent(window), typing ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                         reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
        LOGBRUSH fill{};
        if (brush == nullptr || GetObjectA(brush, sizeof fill, &fill) != sizeof fill) {
            ADD_FAILURE() << control.description().name << ": no brush";
        }
        EXPECT_EQ(GetBkColor(dc), fill.lbColor) << "the text's background and the brush";
        const platform::DrawnColours drawn{GetTextColor(dc), fill.lbColor};
        DeleteDC(dc);
        return drawn;
    }
    std::size_t BrushesHeld() override {
        return static_cast<win32::Win32Form&>(*form_).BrushesHeld();
    }

private:
    static void CALLBACK Start(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        Win32DialogTarget& self = static_cast<Win32DialogTarget&>(Dialogs());
        if (self.inside_ == nullptr) return;
        const std::function<void()>* inside = std::exchange(self.inside_, nullptr);
        (*inside)();
    }

    HWND Dialog() const { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(form_->hWnd())); }

    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (runtime_.TranslateDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    void WaitForeground(HWND hwnd) {
        DWORD start = GetTickCount();
        while (GetForegroundWindow() != hwnd || GetActiveWindow() != hwnd) {
            if (GetTickCount() - start > kWaitMs) {
                ADD_FAILURE() << "the window did not come to the front";
                return;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            Pump();
        }
        Pump();
    }

    win32::Win32Runtime runtime_{GetModuleHandleA(nullptr)};
    HWND other_ = nullptr;
    platform::Form* form_ = nullptr;
    const std::function<void()>* inside_ = nullptr;
    int told_ = 0;  // the density the modal form was last told, 0 for none yet
};

}  // namespace

DialogTarget& Dialogs() {
    static Win32DialogTarget target;
    return target;
}

}  // namespace quorvel::testing
