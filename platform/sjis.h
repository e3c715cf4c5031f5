// Conversions between the system's Shift-JIS texts and this system's UTF-8 (iconv "CP932").
#pragma once
#include <string>
#include <string_view>

namespace platform {

// Shift-JIS to UTF-8. Bytes that do not form a character become U+FFFD; never fails.
std::string SjisToUtf8(std::string_view sjis);
// UTF-8 to Shift-JIS. Characters without a Shift-JIS form are kept as their UTF-8 bytes.
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace platform
