// The hung thread under Wine: a thread of this process's with a window of
// its own, which stops reading its messages while it waits for an event;
// the other window is this thread's.
#include <windows.h>

#include "conformance/hung_thread_target.h"
#include "platform/win32/handles.h"
#include "win32/pump.h"

namespace quorvel::testing {

namespace {

// Posted to the hanging thread: it stops reading its messages until woken.
constexpr UINT kHang = WM_APP + 1;

HWND MakeWindow(const char* title, int x) {
    HWND w = CreateWindowExA(0, "QuorvelHungThreadTest", title, WS_OVERLAPPEDWINDOW, x, 120, 300,
                             200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    return w;
}

class Win32HungThreadTarget : public HungThreadTarget {
public:
    Win32HungThreadTarget() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QuorvelHungThreadTest";
        RegisterClassA(&cls);
        other_ = MakeWindow("another thread's", 420);
        thread_ = win32::KernelHandle(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        WaitForSingleObject(made_.get(), 5000);
    }
    ~Win32HungThreadTarget() override {
        SetEvent(wake_.get());
        PostMessageA(hanging_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_.get(), 5000);
        DestroyWindow(other_);
    }
    platform::Hwnd HangingWindow() override { return win32::FromHwnd(hanging_); }
    platform::Hwnd OtherWindow() override { return win32::FromHwnd(other_); }
    void Hang(bool hung) override {
        hung_ = hung;
        if (hung) {
            ResetEvent(wake_.get());
            PostMessageA(hanging_, kHang, 0, 0);
            WaitForSingleObject(hangs_.get(), 5000);
        } else {
            SetEvent(wake_.get());
        }
    }
    void SetForeground(platform::Hwnd window) override {
        SetForegroundWindow(win32::ToHwnd(window));
    }
    platform::Hwnd Foreground() override {
        // A thread reading its messages has handled what was sent it before
        // it answers this; one hung is given the time it would have taken.
        if (!hung_) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(hanging_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        }
        Pump(hung_ ? 300 : 100);
        return win32::FromHwnd(GetForegroundWindow());
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto& t = *static_cast<Win32HungThreadTarget*>(self);
        t.hanging_ = MakeWindow("hanging", 60);
        SetEvent(t.made_.get());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == kHang) {
                SetEvent(t.hangs_.get());
                WaitForSingleObject(t.wake_.get(), INFINITE);
                continue;
            }
            if (msg.message == WM_CLOSE) break;
            DispatchMessageA(&msg);
        }
        DestroyWindow(t.hanging_);
        return 0;
    }

    HWND other_ = nullptr;
    HWND hanging_ = nullptr;
    bool hung_ = false;
    win32::KernelHandle made_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    win32::KernelHandle hangs_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    win32::KernelHandle wake_{CreateEventA(nullptr, TRUE, TRUE, nullptr)};
    win32::KernelHandle thread_;
};

}  // namespace

HungThreadTarget& HungThreads() {
    static Win32HungThreadTarget target;
    return target;
}

}  // namespace quorvel::testing
