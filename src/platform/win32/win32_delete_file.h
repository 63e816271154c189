// Deletes a file that a folder listing named, and nothing else.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace quorvel::win32 {

// Called with the file's full name after it has been opened and checked and
// before it is deleted; tests use it to change the folder at that moment.
using BeforeDeletion = std::function<void(const std::string& path)>;

// `name`, read in `codePage`, in the system's characters when it is a plain
// file name (platform::IsPlainFileName), else empty. Read in the code page,
// the second byte of a double-byte character (0x5C in code page 932's "\x95\x5C")
// is never taken for a separator.
std::wstring PlainName(const std::string& name, UINT codePage = CP_ACP);

// Deletes the plain file `name` directly in `folder`, and only when the file
// it opens is really that name in that folder: never a file a best-fit name
// leads to, never a link's target elsewhere, never a folder, never a
// read-only file. The file is held, with no sharing, from the check to its
// deletion, and it is deleted through that hold, so a name that is swapped
// for a link meanwhile cannot redirect the deletion. Returns false, having
// deleted nothing, when any step fails. Keeps the system's name of the last
// folder it was given: one cleanup deletes many files of one folder.
class ListedFileDeleter {
public:
    bool Delete(const std::string& folder, const std::string& name,
                const BeforeDeletion& beforeDeletion = {});

private:
    // The system's name of `folder`, in capitals, without a final "\".
    const std::wstring& FolderName(const std::string& folder);
    std::string folder_;       // as given
    std::wstring folderName_;  // the system's name of it; empty when unknown
};

}  // namespace quorvel::win32
