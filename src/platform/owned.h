// The owner of a handle: non-copyable, movable, closed by its closer on every
// path that leaves its scope; no handle at all is never closed. Windows'
// handles (src/platform/win32/handles.h), registry keys through the WinApi
// (settings/registry.cpp) and COM objects are held by it alike.
#pragma once

#include <cstdint>
#include <utility>

namespace quorvel::platform {

// Whether a value is no handle at all: 0, and for kernel handles (void*) also
// INVALID_HANDLE_VALUE (-1), which CreateFile and FindFirstFile return instead.
template <typename Handle>
bool IsNoHandle(Handle h) {
    return h == Handle{};
}
inline bool IsNoHandle(void* h) {
    return h == nullptr || h == reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
}

// `Closer` closes one handle; most are stateless, one holds what it closes
// through (the registry's through the WinApi).
template <typename Handle, typename Closer>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle, Closer closer = Closer{}) : handle_(handle), closer_(closer) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept
        : handle_(std::exchange(other.handle_, Handle{})), closer_(other.closer_) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Handle{});
            closer_ = other.closer_;
        }
        return *this;
    }
    Handle get() const { return handle_; }
    explicit operator bool() const { return !IsNoHandle(handle_); }
    void Reset(Handle handle = Handle{}) {
        if (!IsNoHandle(handle_)) closer_(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
    [[no_unique_address]] Closer closer_{};
};

}  // namespace quorvel::platform
