// The hung thread under Wine: two threads of this process's, each with a
// window of its own; one stops reading its messages while it waits for an
// event. The foreground is asked for from this thread, as the program's hand
// of the activation to another program's window is.
#include <windows.h>

#include <memory>

#include "conformance/hung_thread_target.h"
#include "platform/win32/handles.h"
#include "win32/pump.h"

namespace quorvel::testing {

namespace {

// Posted to a worker: it stops reading its messages until woken.
constexpr UINT kHang = WM_APP + 1;

// A thread with one shown window, reading its messages until told to hang.
class Worker {
public:
    Worker(const char* title, int x) : title_(title), x_(x) {
        thread_ = win32::KernelHandle(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        WaitForSingleObject(made_.get(), 5000);
    }
    ~Worker() {
        SetEvent(wake_.get());
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_.get(), 5000);
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    HWND window() const { return window_; }
    void Hang(bool hung) {
        hung_ = hung;
        if (hung) {
            ResetEvent(wake_.get());
            PostMessageA(window_, kHang, 0, 0);
            WaitForSingleObject(hangs_.get(), 5000);
        } else {
            SetEvent(wake_.get());
        }
    }
    // Once it has answered this, what was sent it before is handled; a
    // hung thread cannot answer.
    void CatchUp() const {
        if (hung_) return;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto& w = *static_cast<Worker*>(self);
        w.window_ =
            CreateWindowExA(0, "QuorvelHungThreadTest", w.title_, WS_OVERLAPPEDWINDOW, w.x_, 120,
                            300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(w.window_, SW_SHOWNOACTIVATE);
        SetEvent(w.made_.get());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == kHang) {
                SetEvent(w.hangs_.get());
                WaitForSingleObject(w.wake_.get(), INFINITE);
                continue;
            }
            if (msg.message == WM_CLOSE) break;
            DispatchMessageA(&msg);
        }
        DestroyWindow(w.window_);
        return 0;
    }

    const char* title_;
    int x_;
    HWND window_ = nullptr;
    bool hung_ = false;
    win32::KernelHandle made_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    win32::KernelHandle hangs_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    win32::KernelHandle wake_{CreateEventA(nullptr, TRUE, TRUE, nullptr)};
    win32::KernelHandle thread_;
};

bool Registered() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QuorvelHungThreadTest";
    return RegisterClassA(&cls) != 0;
}

class Win32HungThreadTarget : public HungThreadTarget {
public:
    platform::Hwnd HangingWindow() override { return win32::FromHwnd(hanging_.window()); }
    platform::Hwnd OtherWindow() override { return win32::FromHwnd(other_.window()); }
    void Hang(bool hung) override { hanging_.Hang(hung); }
    void SetForeground(platform::Hwnd window) override {
        SetForegroundWindow(win32::ToHwnd(window));
    }
    platform::Hwnd Foreground() override {
        hanging_.CatchUp();
        other_.CatchUp();
        // Time for what Wine would do late, by the X server's events.
        Pump(200);
        return win32::FromHwnd(GetForegroundWindow());
    }

private:
    // The class before the windows: members are made in this order.
    bool registered_ = Registered();
    Worker other_{"another thread's", 420};
    Worker hanging_{"hanging", 60};
};

std::unique_ptr<Win32HungThreadTarget> target;

}  // namespace

HungThreadTarget& HungThreads() {
    if (!target) target = std::make_unique<Win32HungThreadTarget>();
    return *target;
}

void EndHungThreads() {
    target.reset();
}

}  // namespace quorvel::testing
