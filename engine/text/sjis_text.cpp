// el::Sjis: UTF-8 texts turned into the Shift-JIS the engine takes, by the platform's converter.
#include <el/utf8.h>

#include "platform/sjis.h"

namespace el {

Sjis::Sjis(const char8_t* utf8) : Sjis(utf8 != nullptr ? std::u8string_view(utf8) : std::u8string_view()) {}

Sjis::Sjis(std::u8string_view utf8)
    : text_(platform::Utf8ToSjis(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()))) {
}

Sjis Sjis::FromUtf8(std::string_view utf8) {
    return Sjis(platform::Utf8ToSjis(utf8));
}

}  // namespace el
