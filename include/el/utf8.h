// UTF-8 texts for an engine that takes Shift-JIS: el::Sjis converts at the call, the same bytes
// under every compiler.
//
//     PutText(10, 10, el::Sjis(u8"こんにちは"));           // a u8 literal is UTF-8 everywhere
//     PutText(10, 30, el::Sjis::FromUtf8(someStdString));
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace el {

// A Shift-JIS copy of a UTF-8 text. Characters without a Shift-JIS form keep their UTF-8 bytes.
class Sjis {
  public:
    // Converts a null-terminated UTF-8 text (a null pointer gives "").
    explicit Sjis(const char8_t* utf8);
    // Converts a UTF-8 text of known length.
    explicit Sjis(std::u8string_view utf8);
    // Converts UTF-8 held in plain chars (a std::string read from a file, say).
    static Sjis FromUtf8(std::string_view utf8);

    // The Shift-JIS text, null-terminated, valid as long as this object.
    const char* c_str() const noexcept { return text_.c_str(); }
    operator const char*() const noexcept { return text_.c_str(); }
    // Its length in bytes, without the terminator.
    std::size_t size() const noexcept { return text_.size(); }
    // The Shift-JIS bytes as a string.
    const std::string& str() const noexcept { return text_; }

  private:
    explicit Sjis(std::string sjis) : text_(std::move(sjis)) {}
    std::string text_;
};

}  // namespace el
