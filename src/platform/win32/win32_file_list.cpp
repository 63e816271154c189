// The file-list control: the matching files of one folder, read once, a
// part at a time where the caller asks.
#include <windows.h>

#include "platform/errors.h"
#include "platform/file_pattern.h"
#include "platform/win32/handles.h"
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

// The folder's entries as FindFirstFileA and FindNextFileA give them, one
// at a time: the search stays open between two calls of Next.
class FindReading : public Control::FolderReading {
public:
    FindReading(const std::string& path, const std::string& pattern) : pattern_(pattern) {
        // The system's search narrows the folder down to the pattern (so only
        // those entries are looked at further), but it also matches 8.3
        // names: "report.tmpl" is REPORT~1.TMP. Each name found is matched
        // again below.
        find_.Reset(FindFirstFileA((path + "\\" + pattern).c_str(), &found_));
        pending_ = static_cast<bool>(find_);
    }

    bool Next(std::string& name) override {
        if (!pending_) return false;
        name.clear();
        // Files only, the hidden and system ones left out, as a file list
        // shows by default; the pattern against the file's own name.
        constexpr DWORD kLeftOut =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!(found_.dwFileAttributes & kLeftOut) && MatchesPattern(found_.cFileName, pattern_)) {
            name = found_.cFileName;
        }
        pending_ = FindNextFileA(find_.get(), &found_) != FALSE;
        return true;
    }

private:
    std::string pattern_;
    FindHandle find_;
    WIN32_FIND_DATAA found_{};
    bool pending_ = false;  // found_ holds an entry not given yet
};

}  // namespace

// The list is never shown and is read once: the names stay in the order the
// system returns them, which is the cheapest order to delete them in.
std::unique_ptr<Control::FolderReading> Win32Control::OpenFolder(std::string& path) const {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw RuntimeError("Path not found");
    }
    path = SpeltAsStored(path);
    return std::make_unique<FindReading>(path, Pattern());
}

}  // namespace quorvel::win32
