#pragma once

#include <cstddef>
#include <string_view>

namespace quorvel::platform {

// Matches a file's own name against a pattern of the file-list control
// ("*" any run of characters, "?" one character), ignoring letter case.
// Unlike the file system's wildcard search it never looks at 8.3 short names.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The most names a file list holds: its ListCount is a 16-bit whole number.
inline constexpr std::size_t kMaxListCount = 32767;

}  // namespace quorvel::platform
