// GoogleTest's own configuration for the Windows test programs, found before
// the library's empty one of the same name (cmake/windows.cmake).
//
// They are built with the win32 thread model, as quorvel.exe is, so that
// they test the run time it ships with; that model has no std::mutex, which
// GoogleTest uses for one thing only: the Notification that starts the
// threads of its own thread tests. This one waits on a flag instead. The
// tests here run on one thread and never start a GoogleTest thread.
#ifndef QUORVEL_GTEST_CUSTOM_PORT_H_
#define QUORVEL_GTEST_CUSTOM_PORT_H_

#include <atomic>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) Sleep(1);
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

#endif  // QUORVEL_GTEST_CUSTOM_PORT_H_
