// The system's text bytes as characters for the text rasterizer, and face names between the
// system's bytes and fontconfig's UTF-8.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace platform::text {

// Drawn for bytes that are not a character of the text encoding (an invalid or cut-off
// double-byte sequence): the middle dot.
constexpr char32_t kReplacementChar = 0x30FB;

struct Char {
    char32_t code = 0;
    bool wide = false;     // a double-byte character: lines may break before and after it
    bool prefixed = false;  // drawn underlined (the "&x" prefix of boxes)
};

// Decodes the next character at p (p < end) and moves p past it; never reads at or beyond end.
Char DecodeNext(const unsigned char*& p, const unsigned char* end);

// Decodes a whole text into out (cleared first; its capacity is kept for the next call).
void DecodeText(const char* text, size_t length, std::vector<Char>& out);

// A NUL-terminated face name in the system's bytes to UTF-8; false when it does not decode.
bool FaceNameToUtf8(const char* name, size_t maxLength, std::string& out);
// UTF-8 to the system's bytes, NUL-terminated in out[size]; false when a character has no
// encoding or the name does not fit.
bool Utf8ToFaceName(const std::string& utf8, char* out, size_t size);
// The same, cut on a whole character where the name is too long; false when nothing is left.
bool Utf8ToCutFaceName(const std::string& utf8, char* out, size_t size);

}  // namespace platform::text
