#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/form.h"
#include "platform/runtime.h"

namespace quorvel {

// The longest stretch the cleanup keeps the program's thread from its
// messages when it runs from the message loop: a click, a second start's
// message or a shut-down coming meanwhile waits this long at most.
inline constexpr std::uint64_t kCleanupSliceUs = 10'000;

// Deletes the "*.tmp" files of the Windows folder's TEMP, through the
// taskbar form's file list: the folder listed once, then each name listed
// deleted. Reports nothing and never stops the program. The work goes on
// where it stopped, a file at a time: no file is ever left half handled, and
// what the process's end leaves is deleted at the next start.
class TempCleanup {
public:
    // `windowsFolder`: the folder TEMP is under, where it is known already;
    // else the one GetWindowsDirectoryA reports.
    TempCleanup(platform::Control& fileList, platform::Runtime& runtime,
                std::string windowsFolder = {})
        : list_(fileList), runtime_(runtime), folder_(std::move(windowsFolder)) {}

    // All of it, now.
    void RunToEnd();
    // From the message loop, a slice of at most kCleanupSliceUs each time it
    // is idle, until it is over.
    void RunWhenIdle();
    bool Over() const { return stage_ == Stage::Over; }

private:
    enum class Stage { NotBegun, Listing, Deleting, Over };
    // Goes on while `goOn()` holds (a listed name or a file at least); a
    // run-time error but a file's own ends the cleanup.
    void Work(const std::function<bool()>& goOn);
    // Opens TEMP's listing; false where there is no Windows folder to read.
    bool BeginListing();

    platform::Control& list_;
    platform::Runtime& runtime_;
    Stage stage_ = Stage::NotBegun;
    std::string folder_;     // the Windows folder; TEMP is listed under it
    std::int16_t next_ = 0;  // the next listed name to delete
};

// The whole cleanup (a second start's, once its request is answered).
void CleanTempFiles(platform::Control& fileList, platform::Runtime& runtime);

// The work of CleanTempFiles once the Windows folder is known: lists the
// "TEMP" folder under it with `list` and deletes each name with `runtime`'s
// Kill, which is trusted to delete nothing but that name in that folder.
void CleanTempFolder(platform::Control& list, platform::Runtime& runtime,
                     const std::string& windowsFolder);

}  // namespace quorvel
