#include "platform/win32/win32_delete_file.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"

namespace quorvel::win32 {

namespace {

// Vista and later; looked up at run time so that the program still starts
// where they are missing.
using GetFinalPathNameByHandleFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
using SetFileInformationByHandleFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID,
                                                   DWORD);
// Every NT version; the disposition class is 13.
struct IoStatus {
    ULONG_PTR status;
    ULONG_PTR information;
};
using NtSetInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
constexpr int kFileDispositionInformation = 13;

template <typename Function>
Function Lookup(const char* module, const char* name) {
    HMODULE loaded = GetModuleHandleA(module);
    if (loaded == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

// A full name in the form two spellings of one place share: without the
// "\\?\" a final path starts with, with single separators (a Windows folder at
// the root of a drive gives "C:\\TEMP", which is "C:\TEMP"), in capitals.
std::string Comparable(std::string path) {
    if (path.rfind("\\\\?\\", 0) == 0) path.erase(0, 4);
    std::string single;
    single.reserve(path.size());
    for (char c : path) {
        if (c == '\\' && !single.empty() && single.back() == '\\') continue;
        single += c;
    }
    CharUpperBuffA(single.data(), static_cast<DWORD>(single.size()));
    return single;
}

// Whether the open file is `path` itself. Where a link is resolved when it
// is opened (Wine follows a Unix link whatever the flags), the final path is
// the target's and differs. Without GetFinalPathNameByHandleA the system has
// no links to files, and the listing's word stands.
bool IsTheListedFile(HANDLE file, const std::string& path) {
    auto finalPath =
        Lookup<GetFinalPathNameByHandleFn>("kernel32.dll", "GetFinalPathNameByHandleA");
    if (finalPath == nullptr) return true;
    std::vector<char> buffer(MAX_PATH + 16);
    DWORD length = 0;
    for (;;) {
        length = finalPath(file, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        if (length == 0) return false;
        if (length < buffer.size()) break;
        buffer.resize(length + 1);  // the size needed, NUL included
    }
    return Comparable(std::string(buffer.data(), length)) == Comparable(path);
}

// Marks the open file for deletion: it goes when the handle is closed, and it
// is the file of the handle, whatever its name leads to by then.
bool DeleteThroughHandle(HANDLE file) {
    if (auto set =
            Lookup<SetFileInformationByHandleFn>("kernel32.dll", "SetFileInformationByHandle")) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        return set(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
    }
    if (auto set = Lookup<NtSetInformationFileFn>("ntdll.dll", "NtSetInformationFile")) {
        IoStatus io{};
        BOOLEAN deleteFile = TRUE;
        return set(file, &io, &deleteFile, sizeof deleteFile, kFileDispositionInformation) >= 0;
    }
    return false;
}

}  // namespace

bool DeleteListedFile(const std::string& path, const BeforeDeletion& beforeDeletion) {
    // The name itself, not what a reparse point in its place leads to; no
    // sharing, so that nobody renames, replaces or writes it while it is
    // checked. A folder cannot be opened this way at all.
    HANDLE opened = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    KernelHandle file(opened);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return false;
    constexpr DWORD kNeverDeleted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    if (info.dwFileAttributes & kNeverDeleted) return false;
    if (!IsTheListedFile(file.get(), path)) return false;
    if (beforeDeletion) beforeDeletion(path);
    return DeleteThroughHandle(file.get());
}

}  // namespace quorvel::win32
