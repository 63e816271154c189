// Deletes a file that a folder listing named, and nothing else.
#pragma once

#include <functional>
#include <string>

namespace quorvel::win32 {

// Called with the file's full name after it has been opened and checked and
// before it is deleted; tests use it to change the folder at that moment.
using BeforeDeletion = std::function<void(const std::string& path)>;

// Deletes the plain file `path` ("folder\name") only when the file it opens is
// really that name in that folder: never a link's target elsewhere, never a
// folder, never a read-only file. The file is held, with no sharing, from the
// check to its deletion, and it is deleted through that hold, so a name that
// is swapped for a link meanwhile cannot redirect the deletion. Returns false,
// having deleted nothing, when any step fails.
bool DeleteListedFile(const std::string& path, const BeforeDeletion& beforeDeletion = {});

// The same for the many files of one cleanup: keeps the system's name of the
// last folder it saw instead of looking it up for every file.
class ListedFileDeleter {
public:
    bool Delete(const std::string& path, const BeforeDeletion& beforeDeletion = {});

private:
    bool IsTheListedFile(void* file, const std::string& path);
    std::string folder_;       // as listed
    std::wstring folderName_;  // the system's name of it, in capitals
};

}  // namespace quorvel::win32
