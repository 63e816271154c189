// What both backends' run times share about raising events.
#pragma once

#include <cmath>
#include <utility>

#include "platform/errors.h"
#include "platform/types.h"

namespace quorvel::platform {

// Twips are 1/1440 inch: 15 to the pixel on a screen of 96 pixels per inch,
// 10 at 144. Geometry follows the real density of the place a window is, so
// that it grows with the fonts, which do.
inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(double twips, int pixelsPerInch) {
    return static_cast<int>(std::lround(twips * pixelsPerInch / kTwipsPerInch));
}
inline double PixelsToTwips(int pixels, int pixelsPerInch) {
    return static_cast<double>(pixels) * kTwipsPerInch / pixelsPerInch;
}

// Leaves a flag set while a scope runs, also when it is left by an exception.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
};

// Raises the program's events and knows whether one of its handlers runs.
// Activations that happen while a handler runs are the program's own doing
// (SetWindowPos without SWP_NOACTIVATE, a message box closing, a pop-up
// menu's owner): they are no change of its current form and raise no
// Activate. A message loop inside a handler (modal dialog, DoEvents) takes the
// user's input again: what it dispatches comes from outside.
class EventDispatcher {
public:
    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args&... args) {
        ++depth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        RaiseEvent(handler, args...);
    }
    bool InHandler() const { return depth_ > 0; }

    // A step of the run time's own (the start-up activation): what it causes
    // is the program's doing, as inside a handler.
    class OwnDoing {
    public:
        explicit OwnDoing(EventDispatcher& d) : d_(d) { ++d_.depth_; }
        ~OwnDoing() { --d_.depth_; }
        OwnDoing(const OwnDoing&) = delete;
        OwnDoing& operator=(const OwnDoing&) = delete;

    private:
        EventDispatcher& d_;
    };

    class OutsideInput {
    public:
        explicit OutsideInput(EventDispatcher& d) : d_(d), saved_(std::exchange(d.depth_, 0)) {}
        ~OutsideInput() { d_.depth_ = saved_; }
        OutsideInput(const OutsideInput&) = delete;
        OutsideInput& operator=(const OutsideInput&) = delete;

    private:
        EventDispatcher& d_;
        int saved_;
    };

private:
    int depth_ = 0;
};

}  // namespace quorvel::platform
