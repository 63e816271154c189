#include "sim/model/file_system.h"

#include <cstdlib>

#include <stdexcept>
#include <system_error>
#include <vector>

#include "sim/model/ansi.h"
#include "sim/model/registry_hive.h"

namespace quorvel::sim {

FileSystem::FileSystem() {
    char pattern[] = "/tmp/quorvel-sim-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("cannot make the simulated drive C:");
    root_ = made;
    std::filesystem::create_directories(root_ / "WINDOWS" / "TEMP");
}

FileSystem::~FileSystem() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path FileSystem::HostPath(const std::string& windowsPath) const {
    // "C:..." or, on the current drive (which is C:), "\...".
    std::size_t start = 0;
    if (windowsPath.size() >= 2 && Lower(windowsPath.substr(0, 2)) == "c:") {
        start = 2;
    } else if (windowsPath.empty() || (windowsPath[0] != '\\' && windowsPath[0] != '/')) {
        return {};
    }
    // The names of the path as Windows reads it before it looks at the disk:
    // "\" and "/" both separate names, "." is no name, and ".." takes the
    // name before it away (at the drive's root it stays there), whether or
    // not that name exists.
    std::vector<std::string> names;
    std::string part;
    for (std::size_t i = start; i <= windowsPath.size(); ++i) {
        if (i < windowsPath.size() && windowsPath[i] != '\\' && windowsPath[i] != '/') {
            part += windowsPath[i];
            continue;
        }
        if (part == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!part.empty() && part != ".") {
            names.push_back(AnsiToUtf8(part));
        }
        part.clear();
    }
    std::error_code ec;
    // Spelled as it is on disk (the common case): one look, no search.
    std::filesystem::path whole = root_;
    for (const std::string& name : names) whole /= name;
    if (std::filesystem::exists(std::filesystem::symlink_status(whole, ec))) return whole;
    std::filesystem::path host = root_;
    for (const std::string& name : names) {
        // The file system ignores letter case: the name as given first, and
        // only when it is not there a search for one that differs in case.
        std::string actual = name;
        if (!std::filesystem::exists(std::filesystem::symlink_status(host / name, ec)) &&
            std::filesystem::is_directory(host, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(host, ec)) {
                std::string found = entry.path().filename().string();
                if (Lower(found) == Lower(name)) {
                    actual = found;
                    break;
                }
            }
        }
        host /= actual;
    }
    return host;
}

}  // namespace quorvel::sim
