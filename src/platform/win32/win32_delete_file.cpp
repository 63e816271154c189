#include "platform/win32/win32_delete_file.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/file_pattern.h"
#include "platform/win32/handles.h"
#include "platform/win32/look_up.h"

namespace quorvel::win32 {

namespace {

// Vista and later; looked up at run time so that the program still starts
// where they are missing.
using SetFileInformationByHandleFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID,
                                                   DWORD);
using GetFileInformationByHandleExFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID,
                                                     DWORD);
// Every NT version; the disposition class is 13.
struct IoStatus {
    ULONG_PTR status;
    ULONG_PTR information;
};
using NtSetInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
constexpr int kFileDispositionInformation = 13;

// Both are loaded into every process: their functions are looked up there.
HMODULE Kernel32() {
    return GetModuleHandleA("kernel32.dll");
}
HMODULE Ntdll() {
    return GetModuleHandleA("ntdll.dll");
}

// NtQueryObject's name of an object; every NT version has it.
using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
constexpr int kObjectNameInformation = 1;
struct UnicodeString {
    USHORT length;  // in bytes
    USHORT maximumLength;
    PWSTR buffer;
};

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The system's own full name of an open file or folder, in capitals
// ("\DEVICE\HARDDISKVOLUME2\WINDOWS\TEMP\A.TMP"; Wine's are "\??\C:\...").
// Where a link was resolved when the file was opened (Wine follows a Unix
// link whatever the flags), it is the target's. Empty when there is none.
// One request for the name: the drive-letter form (GetFinalPathNameByHandle)
// costs Wine a look through every drive's device name per file.
std::wstring ObjectName(HANDLE handle, NtQueryObjectFn query) {
    std::vector<unsigned char> buffer(sizeof(UnicodeString) + 1024);
    for (int tries = 0; tries < 2; ++tries) {
        ULONG needed = 0;
        LONG status = query(handle, kObjectNameInformation, buffer.data(),
                            static_cast<ULONG>(buffer.size()), &needed);
        if (status >= 0) {
            const auto* name = reinterpret_cast<const UnicodeString*>(buffer.data());
            if (name->buffer == nullptr || name->length == 0) return {};
            return Upper(std::wstring(name->buffer, name->length / sizeof(wchar_t)));
        }
        if (needed <= buffer.size()) return {};
        buffer.resize(needed);
    }
    return {};
}

// The open file's attributes. Its basic information is all that is needed:
// the full information adds the volume's serial number, which costs Wine a
// look through the system's mounts for every file.
bool Attributes(HANDLE file, DWORD& attributes) {
    if (auto basic =
            LookUp<GetFileInformationByHandleExFn>(Kernel32(), "GetFileInformationByHandleEx")) {
        FILE_BASIC_INFO info{};
        if (!basic(file, FileBasicInfo, &info, sizeof info)) return false;
        attributes = info.FileAttributes;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    attributes = info.dwFileAttributes;
    return true;
}

// Marks the open file for deletion: it goes when the handle is closed, and it
// is the file of the handle, whatever its name leads to by then.
bool DeleteThroughHandle(HANDLE file) {
    if (auto set = LookUp<SetFileInformationByHandleFn>(Kernel32(), "SetFileInformationByHandle")) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        return set(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
    }
    if (auto set = LookUp<NtSetInformationFileFn>(Ntdll(), "NtSetInformationFile")) {
        IoStatus io{};
        BOOLEAN deleteFile = TRUE;
        return set(file, &io, &deleteFile, sizeof deleteFile, kFileDispositionInformation) >= 0;
    }
    return false;
}

}  // namespace

std::wstring PlainName(const std::string& name, UINT codePage) {
    if (name.empty()) return {};
    const int size = static_cast<int>(name.size());
    // A byte sequence the code page does not hold is no name of it.
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, name.data(), size, wide.data(), length);
    if (!platform::IsPlainFileName(std::wstring_view(wide))) return {};
    return wide;
}

const std::wstring& ListedFileDeleter::FolderName(const std::string& folder) {
    // Looked up again only for another folder. A folder replaced meanwhile
    // cannot widen anything: its files' names then differ from this one.
    if (folder == folder_ && !folderName_.empty()) return folderName_;
    folder_ = folder;
    folderName_.clear();
    auto query = LookUp<NtQueryObjectFn>(Ntdll(), "NtQueryObject");
    if (query == nullptr) return folderName_;
    HANDLE opened = CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return folderName_;
    KernelHandle held(opened);
    folderName_ = ObjectName(held.get(), query);
    // A volume's root, or a folder where another volume is mounted, is named
    // with a final "\" ("\??\C:\"): its files' names have only the one.
    while (!folderName_.empty() && folderName_.back() == L'\\') folderName_.pop_back();
    return folderName_;
}

bool ListedFileDeleter::Delete(const std::string& folder, const std::string& name,
                               const BeforeDeletion& beforeDeletion) {
    // The listed names are the files' own names mapped to the ANSI code
    // page, where a character the code page lacks becomes its "best fit": a
    // U+FF3C (fullwidth reverse solidus) is listed as "\", so a listed
    // "x\..\v.tmp" may be one file's name. Only a plain name is opened.
    const std::wstring wide = PlainName(name);
    if (wide.empty()) return false;
    const std::wstring& folderName = FolderName(folder);
    auto query = LookUp<NtQueryObjectFn>(Ntdll(), "NtQueryObject");
    if (folderName.empty() || query == nullptr) return false;
    const std::string path = folder + "\\" + name;
    // The name itself, not what a reparse point in its place leads to; no
    // sharing, so that nobody renames, replaces or writes it while it is
    // checked. A folder cannot be opened this way at all.
    HANDLE opened = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    KernelHandle file(opened);
    DWORD attributes = 0;
    if (!Attributes(file.get(), attributes)) return false;
    // Never a read-only file, nor a hidden or system one, which the list
    // leaves out: a listed name that is only the best fit of a file's name
    // opens another file of that name (a fullwidth h, U+FF48, then
    // "idden.tmp" is listed as "hidden.tmp").
    constexpr DWORD kNeverDeleted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (attributes & kNeverDeleted) return false;
    // Only the file whose own name is the listed one, directly in the
    // folder: where a link was resolved when it was opened, the open file is
    // elsewhere, and so is a device's name ("NUL.tmp" on older Windows).
    if (ObjectName(file.get(), query) != folderName + L"\\" + Upper(wide)) return false;
    if (beforeDeletion) beforeDeletion(path);
    return DeleteThroughHandle(file.get());
}

}  // namespace quorvel::win32
