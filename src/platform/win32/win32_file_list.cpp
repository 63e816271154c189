// The file-list control: the matching files of one folder, read once.
#include <windows.h>

#include "platform/errors.h"
#include "platform/file_pattern.h"
#include "platform/win32/win32_form.h"

namespace quorvel::win32 {

using namespace platform;

namespace {

// The path with each of its names in the case the file system stores it
// ("C:\windows\TEMP" is "C:\windows\temp" under Wine). Wine finds a name of
// the right case at once but searches the folder for any other spelling, and
// would do so again for every file name built from the path. Nothing but the
// case changes: a name found in another form (an 8.3 alias) is kept as given.
std::string SpeltAsStored(const std::string& path) {
    std::size_t at = path.find('\\');
    if (at == std::string::npos) return path;
    std::string stored = path.substr(0, at);  // the drive, kept as it is
    while (at != std::string::npos) {
        std::size_t next = path.find('\\', at + 1);
        std::string name = path.substr(at + 1, next == std::string::npos ? next : next - at - 1);
        stored += '\\';
        if (!name.empty()) {
            WIN32_FIND_DATAA found;
            FindHandle find(FindFirstFileA((stored + name).c_str(), &found));
            if (find && lstrlenA(found.cFileName) == static_cast<int>(name.size()) &&
                lstrcmpiA(found.cFileName, name.c_str()) == 0) {
                name = found.cFileName;
            }
        }
        stored += name;
        at = next;
    }
    return stored;
}

}  // namespace

std::vector<std::string> Win32Control::ReadFolder(std::string& path) const {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw RuntimeError("Path not found");
    }
    path = SpeltAsStored(path);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    // The system's search narrows the folder down to the pattern (so only
    // those entries are looked at further), but it also matches 8.3 names:
    // "report.tmpl" is REPORT~1.TMP. Each name found is matched again below.
    FindHandle find(FindFirstFileA((path + "\\" + Pattern()).c_str(), &found));
    if (find) {
        do {
            // Files only, the hidden and system ones left out, as a file list
            // shows by default; the pattern against the file's own name.
            constexpr DWORD kLeftOut =
                FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
            if (found.dwFileAttributes & kLeftOut) continue;
            if (!MatchesPattern(found.cFileName, Pattern())) continue;
            names.emplace_back(found.cFileName);
        } while (FindNextFileA(find.get(), &found));
    }
    // The list is never shown and is read once: the names stay in the order
    // the system returns them, which is the cheapest order to delete them in.
    return names;
}

}  // namespace quorvel::win32
