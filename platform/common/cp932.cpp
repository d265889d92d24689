#include "platform/common/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace vintaro {

std::string cp932ToUtf8(std::string_view text) {
  // "CP932", not "SHIFT_JIS": only the former keeps 0x5C a backslash.
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char chunk[256];
  while (inLeft > 0) {
    char* dst = chunk;
    std::size_t dstLeft = sizeof chunk;
    const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";  // a byte that is no character
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace vintaro
