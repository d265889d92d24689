// Code page 932 to UTF-8 where the C library has no such conversion: the
// JavaScript engine's Shift_JIS decoder, which is code page 932 (0x5C stays
// a backslash).
#include <emscripten.h>

#include "platform/common/cp932.h"

// clang-format off
EM_JS(int, vt_cp932ToUtf8Length, (const char* text, int length), {
  const decoded = new TextDecoder('shift_jis').decode(HEAPU8.subarray(text, text + length));
  Module.vtDecoded = decoded;
  return lengthBytesUTF8(decoded);
});
EM_JS(void, vt_takeDecoded, (char* out, int capacity), {
  stringToUTF8(Module.vtDecoded, out, capacity);
  Module.vtDecoded = undefined;
});
// clang-format on

namespace vintaro {

std::string cp932ToUtf8(std::string_view text) {
  const int size = vt_cp932ToUtf8Length(text.data(), static_cast<int>(text.size()));
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  vt_takeDecoded(out.data(), size + 1);
  out.resize(static_cast<std::size_t>(size));
  return out;
}

}  // namespace vintaro
