// The stage files' number reader: "%d" conversions one after the other, over a whole file.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

// Reads values the way "%d" conversions read them one after the other, from the whole file taken
// in at once: white space is skipped, then an optional sign and at least one digit. When the file
// ends or holds something that is not a number, the value read last is handed out again; before
// the first value that is 0. Numbers too large for 32 bits keep their low 32 bits, and numbers too
// large even for 64 bits stand at the 64-bit limit first, as the C library's conversion does.
class ValueReader {
  public:
    explicit ValueReader(FILE* file) {
        char chunk[16384];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text_.append(chunk, got);
    }
    explicit ValueReader(std::string text) : text_(std::move(text)) {}
    // Once the text has run out every call hands out the same value: that case stays small enough
    // to be inlined into the loops over a whole map layer.
    int32_t Next() { return failed_ ? last_ : Read(); }
    // Whether the text has run out: from here on Next() hands out the value read last.
    bool Exhausted() const { return failed_; }
    // Hands out count values into cells, as count calls of Next() would.
    void Fill(int32_t* cells, size_t count) {
        size_t i = 0;
        while (i < count && !failed_) cells[i++] = Read();
        std::fill(cells + i, cells + count, last_);
    }

  private:
    int32_t Read() {
        const size_t size = text_.size();
        while (at_ < size && IsSpace(text_[at_])) ++at_;
        bool negative = false;
        if (at_ < size && IsSign(text_[at_])) negative = text_[at_++] == '-';
        if (at_ >= size || !IsDigit(text_[at_])) {
            failed_ = true;
            return last_;
        }
        uint64_t magnitude = 0;
        bool tooLarge = false;
        for (; at_ < size && IsDigit(text_[at_]); ++at_) {
            const uint64_t digit = static_cast<uint64_t>(text_[at_] - '0');
            if (magnitude > (UINT64_MAX - digit) / 10u) tooLarge = true;
            magnitude = magnitude * 10u + digit;
        }
        // The 64-bit conversion saturates at its limits; the 32-bit result keeps the low bits.
        const uint64_t limit = negative ? (uint64_t{1} << 63) : (uint64_t{1} << 63) - 1u;
        if (tooLarge || magnitude > limit) magnitude = limit;
        const uint64_t bits = negative ? 0u - magnitude : magnitude;
        last_ = static_cast<int32_t>(static_cast<uint32_t>(bits));
        return last_;
    }

    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsSign(char c) { return c == '-' || c == '+'; }

    std::string text_;
    size_t at_ = 0;
    int32_t last_ = 0;
    bool failed_ = false;
};
