// The one module that touches the registry. Each procedure opens its key,
// does one thing, closes the key and reports only through its result.
#pragma once

#include <string>
#include <string_view>

#include "platform/winapi.h"

namespace quorvel {

// Size of the read buffer; one byte more than is announced to the registry.
inline constexpr std::size_t kReadBufferSize = 33;

bool RegValueExists(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                    std::string_view valueName);
// The whole 33-byte buffer as the read left it (data, then the spaces it was
// filled with), or empty text when the key or value cannot be read.
std::string RegReadText(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                        std::string_view valueName);
// Creates the key and any missing keys on its path; failures are silent.
void RegWriteText(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                  std::string_view valueName, std::string_view data);

}  // namespace quorvel
