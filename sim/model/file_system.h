// The file system of drive C: on the simulated desktop: a folder of the host's,
// made for the desktop and removed with it, and Windows' reading of a path on it.
#pragma once

#include <filesystem>
#include <string>

namespace quorvel::sim {

class FileSystem {
public:
    // With the folders Windows has there from the start.
    FileSystem();
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // The host folder standing for drive C:.
    const std::filesystem::path& root() const { return root_; }
    // Where a path of drive C: is on the host; empty for another drive.
    std::filesystem::path HostPath(const std::string& windowsPath) const;

private:
    std::filesystem::path root_;
};

}  // namespace quorvel::sim
