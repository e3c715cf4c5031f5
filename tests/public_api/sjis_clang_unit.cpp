// Compiled by clang into the GCC-built public_api_tests: el::Sjis as a clang-built scene calls it.
#include <el/utf8.h>

#include <string>

// A u8 literal is UTF-8 under every compiler: "ミ" is E3 83 9F.
static_assert(static_cast<unsigned char>(u8"ミ"[0]) == 0xE3 &&
              static_cast<unsigned char>(u8"ミ"[1]) == 0x83 && static_cast<unsigned char>(u8"ミ"[2]) == 0x9F);

std::string SjisOfNameFromClang() {
    return el::Sjis(u8"ミルカネット！").str();
}

std::string SjisFromUtf8FromClang(const std::string& utf8) {
    return std::string(el::Sjis::FromUtf8(utf8).c_str());
}
