// Shift-JIS (code page 932) decoding for the text rasterizer: tables filled from iconv on first use,
// one row of double-byte codes at a time; builds that keep UTF-8 texts decode UTF-8 instead.
#include "platform/soft/text_encoding.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>

namespace platform::text {
namespace {

// Converts with a descriptor opened once; the conversion state is reset before each call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in; returns the bytes written to out, or -1 when any of in fails to convert.
    long Convert(const char* in, size_t inLength, char* out, size_t outSize) {
        if (!ok()) return -1;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t srcLeft = inLength;
        char* dst = out;
        size_t dstLeft = outSize;
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) return -1;
        if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return -1;
        return static_cast<long>(dst - out);
    }

private:
    iconv_t cd_;
};

#ifndef EL_TEXT_UTF8

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
int LeadRow(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31; }

constexpr int kLeadRows = 60;

// Code points of the single bytes and of the double-byte rows; 0 marks a code without a character.
struct Cp932Tables {
    bool singlesReady = false;
    char32_t singles[256] = {};
    bool rowReady[kLeadRows] = {};
    char32_t rows[kLeadRows][256] = {};
};
Cp932Tables g_tables;

Converter& ToCodePoints() {
    static Converter converter("UTF-32LE", "CP932");
    return converter;
}

char32_t ConvertOne(const char* bytes, size_t length) {
    unsigned char out[16];
    long written = ToCodePoints().Convert(bytes, length, reinterpret_cast<char*>(out), sizeof out);
    if (written != 4) return 0;
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24);
}

void FillSingles() {
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80) {
            g_tables.singles[b] = static_cast<char32_t>(b);
        } else if (!IsLeadByte(static_cast<unsigned char>(b))) {
            char byte = static_cast<char>(b);
            g_tables.singles[b] = ConvertOne(&byte, 1);
        }
    }
    g_tables.singlesReady = true;
}

void FillRow(unsigned char lead) {
    char32_t* row = g_tables.rows[LeadRow(lead)];
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
        char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        row[trail] = ConvertOne(pair, 2);
    }
    g_tables.rowReady[LeadRow(lead)] = true;
}

#endif  // !EL_TEXT_UTF8

}  // namespace

#ifndef EL_TEXT_UTF8

Char DecodeNext(const unsigned char*& p, const unsigned char* end) {
    unsigned char b = *p++;
    if (b < 0x80) return Char{b, false};
    if (!IsLeadByte(b)) {
        if (!g_tables.singlesReady) FillSingles();
        char32_t code = g_tables.singles[b];
        return Char{code != 0 ? code : kReplacementChar, false};
    }
    // A lead byte at the end of the text, or before a byte that cannot follow it: the lead byte
    // alone is one bad character and the next byte starts afresh.
    if (p == end || !IsTrailByte(*p)) return Char{kReplacementChar, true};
    unsigned char trail = *p++;
    if (!g_tables.rowReady[LeadRow(b)]) FillRow(b);
    char32_t code = g_tables.rows[LeadRow(b)][trail];
    return Char{code != 0 ? code : kReplacementChar, true};
}

bool FaceNameToUtf8(const char* name, size_t maxLength, std::string& out) {
    static Converter converter("UTF-8", "CP932");
    size_t length = strnlen(name, maxLength);
    char buffer[256];
    long written = converter.Convert(name, length, buffer, sizeof buffer);
    if (written < 0) return false;
    out.assign(buffer, static_cast<size_t>(written));
    return true;
}

bool Utf8ToFaceName(const std::string& utf8, char* out, size_t size) {
    static Converter converter("CP932", "UTF-8");
    if (size == 0) return false;
    char buffer[256];
    long written = converter.Convert(utf8.data(), utf8.size(), buffer, sizeof buffer);
    if (written < 0 || static_cast<size_t>(written) >= size) return false;
    memcpy(out, buffer, static_cast<size_t>(written));
    out[written] = '\0';
    return true;
}

bool Utf8ToCutFaceName(const std::string& utf8, char* out, size_t size) {
    static Converter converter("CP932", "UTF-8");
    if (size == 0) return false;
    char buffer[256];
    long written = converter.Convert(utf8.data(), utf8.size(), buffer, sizeof buffer);
    if (written <= 0) return false;
    size_t kept = 0;
    while (kept < static_cast<size_t>(written)) {
        const auto lead = static_cast<unsigned char>(buffer[kept]);
        const size_t length = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
        if (kept + length > size - 1) break;
        kept += length;
    }
    memcpy(out, buffer, kept);
    out[kept] = '\0';
    return kept > 0;
}

#else  // EL_TEXT_UTF8: the build keeps its texts in UTF-8.

namespace {

bool IsWideCode(char32_t code) { return code >= 0x1100 && !(code >= 0xFF61 && code <= 0xFFDC); }

// One UTF-8 sequence; a malformed, overlong or cut-off one gives the replacement and valid = false.
char32_t DecodeUtf8(const unsigned char*& p, const unsigned char* end, bool& valid) {
    valid = false;
    unsigned char b = *p++;
    if (b < 0x80) {
        valid = true;
        return b;
    }
    int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
    if (extra < 0) return kReplacementChar;
    char32_t code = b & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (p == end || (*p & 0xC0) != 0x80) return kReplacementChar;
        code = code << 6 | (*p++ & 0x3F);
    }
    bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacementChar;
    valid = true;
    return code;
}

}  // namespace

Char DecodeNext(const unsigned char*& p, const unsigned char* end) {
    bool valid = false;
    char32_t code = DecodeUtf8(p, end, valid);
    return Char{code, code >= 0x80 && (!valid || IsWideCode(code))};
}

bool FaceNameToUtf8(const char* name, size_t maxLength, std::string& out) {
    size_t length = strnlen(name, maxLength);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name);
    const unsigned char* end = p + length;
    bool valid = true;
    while (p < end && valid) DecodeUtf8(p, end, valid);
    if (!valid) return false;
    out.assign(name, length);
    return true;
}

bool Utf8ToFaceName(const std::string& utf8, char* out, size_t size) {
    if (size == 0 || utf8.size() >= size) return false;
    memcpy(out, utf8.data(), utf8.size());
    out[utf8.size()] = '\0';
    return true;
}

bool Utf8ToCutFaceName(const std::string& utf8, char* out, size_t size) {
    if (size == 0) return false;
    size_t kept = 0;
    while (kept < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[kept]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (kept + length > size - 1 || kept + length > utf8.size()) break;
        kept += length;
    }
    memcpy(out, utf8.data(), kept);
    out[kept] = '\0';
    return kept > 0;
}

#endif  // EL_TEXT_UTF8

void DecodeText(const char* text, size_t length, std::vector<Char>& out) {
    out.clear();
    if (text == nullptr) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) out.push_back(DecodeNext(p, end));
}

}  // namespace platform::text
