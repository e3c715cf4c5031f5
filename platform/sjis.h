// Shift-JIS names and texts: conversions to and from this system's UTF-8 (iconv "CP932"), and the
// character-aware helpers every name path shares (split off a folder, upper-case).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Shift-JIS to UTF-8. Bytes that do not form a character become U+FFFD; never fails.
std::string SjisToUtf8(std::string_view sjis);
// UTF-8 to Shift-JIS. Characters without a Shift-JIS form are kept as their UTF-8 bytes.
std::string Utf8ToSjis(std::string_view utf8);

// The same conversions for names, where a stand-in would name another file: false (out then holds
// nothing useful) when a byte sequence is not a character or a character has no form on the other side.
bool SjisToUtf8Exact(std::string_view sjis, std::string& out);
bool Utf8ToSjisExact(std::string_view utf8, std::string& out);
// UTF-8 to Shift-JIS for a message: characters without a Shift-JIS form become "?".
std::string Utf8ToSjisForMessage(std::string_view utf8);

// Whether a byte begins a double-byte character. Its trail byte may be any byte from 0x40 on,
// among them "\" (0x5C), "|" (0x7C) and letters, so a byte search must never split a character.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Upper-cases the single-byte letters of a Shift-JIS text in place; both bytes of a double-byte
// character stay as they are (a lead byte at the very end is left alone too).
inline void SjisUpperCase(char* text) {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p != 0; ++p) {
        if (IsSjisLeadByte(*p)) {
            if (p[1] == 0) break;
            ++p;
        } else if (*p >= 'a' && *p <= 'z') {
            *p = static_cast<unsigned char>(*p - 'a' + 'A');
        }
    }
}

inline std::string SjisUpperCased(std::string_view text) {
    std::string copy(text);
    SjisUpperCase(copy.data());
    return copy;
}

// Where the last component of a "\"-separated Shift-JIS name begins: just after the last "\" that
// is a character of its own, or 0 when there is none.
inline size_t SjisNameStart(std::string_view name) {
    size_t start = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsSjisLeadByte(c) && i + 1 < name.size()) {
            ++i;
        } else if (c == '\\') {
            start = i + 1;
        }
    }
    return start;
}

// The last component of a "\"-separated Shift-JIS name (the file name without its folder).
inline const char* SjisFileName(const char* name) {
    return name + SjisNameStart(name);
}

}  // namespace platform
