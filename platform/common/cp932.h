// Code page 932 (Windows Shift-JIS) to UTF-8, for platforms whose window
// system speaks UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vintaro {

// Bytes that do not decode come out as U+FFFD.
std::string cp932ToUtf8(std::string_view text);

}  // namespace vintaro
