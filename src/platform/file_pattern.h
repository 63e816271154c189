#pragma once

#include <cstddef>
#include <string_view>
#include <type_traits>

namespace quorvel::platform {

// Matches a file's own name against a pattern of the file-list control
// ("*" any run of characters, "?" one character), ignoring letter case.
// Unlike the file system's wildcard search it never looks at 8.3 short names.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// Whether `name` can be a file's own name directly in a folder: not empty,
// not only dots, and without a control character, a path separator ("\" or
// "/"), a colon (of a drive or a stream) or a wildcard ("*?\"<>|"), none of
// which a Windows file name holds. Each unit is one character: a byte of a
// single-byte code page, or a UTF-16 unit.
template <typename Char>
bool IsPlainFileName(std::basic_string_view<Char> name) {
    constexpr std::string_view kNeverInAName = "\\/:*?\"<>|";
    bool onlyDots = true;
    for (Char c : name) {
        const auto unit = static_cast<std::make_unsigned_t<Char>>(c);
        if (unit < 0x20) return false;
        if (unit < 0x80 && kNeverInAName.find(static_cast<char>(unit)) != std::string_view::npos)
            return false;
        if (unit != '.') onlyDots = false;
    }
    return !name.empty() && !onlyDots;
}

// The most names a file list holds: its ListCount is a 16-bit whole number.
inline constexpr std::size_t kMaxListCount = 32767;

}  // namespace quorvel::platform
