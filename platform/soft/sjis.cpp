// Shift-JIS <-> UTF-8 through iconv, one character at a time on failure so that nothing is lost.
#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; on a bad sequence calls onBad (input, remaining) which returns
    // the number of input bytes it consumed after appending its own output.
    template <typename OnBad>
    std::string Run(std::string_view in, OnBad onBad) {
        std::string out;
        if (handle_ == reinterpret_cast<iconv_t>(-1)) return std::string(in);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                size_t used = onBad(out, std::string_view(src, srcLeft));
                src += used;
                srcLeft -= used;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Run(sjis, [](std::string& out, std::string_view rest) -> size_t {
        out += "\xEF\xBF\xBD";
        unsigned char lead = static_cast<unsigned char>(rest[0]);
        bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        return (doubleByte && rest.size() >= 2) ? 2 : 1;
    });
}

bool SjisToUtf8Exact(std::string_view sjis, std::string& out) {
    thread_local Converter converter("UTF-8", "CP932");
    bool exact = true;
    out = converter.Run(sjis, [&exact](std::string&, std::string_view rest) -> size_t {
        exact = false;
        return rest.size();
    });
    return exact;
}

bool Utf8ToSjisExact(std::string_view utf8, std::string& out) {
    thread_local Converter converter("CP932", "UTF-8");
    bool exact = true;
    out = converter.Run(utf8, [&exact](std::string&, std::string_view rest) -> size_t {
        exact = false;
        return rest.size();
    });
    return exact;
}

std::string Utf8ToSjisForMessage(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Run(utf8, [](std::string& out, std::string_view rest) -> size_t {
        out += '?';
        unsigned char lead = static_cast<unsigned char>(rest[0]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        return length > rest.size() ? rest.size() : length;
    });
}

std::string Utf8ToSjis(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Run(utf8, [](std::string& out, std::string_view rest) -> size_t {
        // Keep the character's own UTF-8 bytes.
        unsigned char lead = static_cast<unsigned char>(rest[0]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length > rest.size()) length = rest.size();
        out.append(rest.substr(0, length));
        return length;
    });
}

}  // namespace platform
