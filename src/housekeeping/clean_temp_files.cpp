#include "housekeeping/clean_temp_files.h"

#include <array>
#include <string>

#include "platform/errors.h"

namespace quorvel {

void CleanTempFiles(platform::Control& fileList, platform::Runtime& runtime) {
    std::array<char, 255> windowsFolder{};
    const std::uint32_t announced = 254;
    std::uint32_t length = runtime.api().GetWindowsDirectoryA(windowsFolder.data(), announced);
    // No Windows folder, or one too long for the buffer (the result is then
    // the size needed): any folder made from it would be the wrong one.
    if (length == 0 || length >= announced) return;

    platform::ExitOnError(
        [&] { CleanTempFolder(fileList, runtime, std::string(windowsFolder.data(), length)); });
}

void CleanTempFolder(platform::Control& list, platform::Runtime& runtime,
                     const std::string& windowsFolder) {
    platform::ExitOnError([&] {
        list.SetPath(windowsFolder + "\\TEMP");
        // The list is read once: deleting a file does not change it.
        const std::int16_t count = list.ListCount();
        for (std::int16_t i = 0; i < count; ++i) {
            // A file that cannot be deleted is skipped, and so is a listed
            // name that is not a plain name of the folder.
            platform::ResumeNext([&] { runtime.Kill(list.Path(), list.List(i)); });
        }
    });
}

}  // namespace quorvel
