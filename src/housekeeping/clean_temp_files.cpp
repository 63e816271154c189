#include "housekeeping/clean_temp_files.h"

#include <array>
#include <utility>

#include "platform/errors.h"

namespace quorvel {

void TempCleanup::RunToEnd() {
    while (!Over()) Work([] { return true; });
}

void TempCleanup::RunWhenIdle() {
    runtime_.WhenIdle([this] {
        const std::uint64_t began = runtime_.shell().NowUs();
        Work([&] { return runtime_.shell().NowUs() - began < kCleanupSliceUs; });
        if (!Over()) RunWhenIdle();
    });
}

bool TempCleanup::BeginListing() {
    if (folder_.empty()) {
        std::array<char, 255> windowsFolder{};
        const std::uint32_t announced = 254;
        std::uint32_t length = runtime_.api().GetWindowsDirectoryA(windowsFolder.data(), announced);
        // No Windows folder, or one too long for the buffer (the result is
        // then the size needed): any folder made from it would be the wrong one.
        if (length == 0 || length >= announced) return false;
        folder_.assign(windowsFolder.data(), length);
    }
    list_.BeginPath(folder_ + "\\TEMP");
    return true;
}

void TempCleanup::Work(const std::function<bool()>& goOn) {
    if (stage_ == Stage::Over) return;
    const Stage was = std::exchange(stage_, Stage::Over);  // unless the work gets on
    platform::ExitOnError([&] {
        if (was == Stage::NotBegun && !BeginListing()) return;
        if (was != Stage::Deleting) {
            // The list is read to its end before any file goes: deleting a
            // file does not change it.
            if (!list_.ReadMore(goOn)) {
                stage_ = Stage::Listing;
                return;
            }
            next_ = 0;
        }
        // A call that did nothing else yet deletes one file at least.
        bool gotOn = was != Stage::Deleting;
        const std::int16_t count = list_.ListCount();
        while (next_ < count) {
            if (std::exchange(gotOn, true) && !goOn()) {
                stage_ = Stage::Deleting;
                return;
            }
            // A file that cannot be deleted is skipped, and so is a listed
            // name that is not a plain name of the folder.
            const std::int16_t at = next_++;
            platform::ResumeNext([&] { runtime_.Kill(list_.Path(), list_.List(at)); });
        }
    });
    // Once: a later call returns at the top.
    if (Over()) runtime_.TraceNote("the cleanup is over");
}

void CleanTempFiles(platform::Control& fileList, platform::Runtime& runtime) {
    TempCleanup(fileList, runtime).RunToEnd();
}

void CleanTempFolder(platform::Control& list, platform::Runtime& runtime,
                     const std::string& windowsFolder) {
    TempCleanup(list, runtime, windowsFolder).RunToEnd();
}

}  // namespace quorvel
