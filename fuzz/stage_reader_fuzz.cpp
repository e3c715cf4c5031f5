// Fuzz target: the stage files' number reader gives, value for value, what "%d" conversions of the
// C library read from the same bytes until the first one fails, the value read last standing in
// from then on (the rule the stage files have always been read by).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/world/value_reader.h"

namespace {

constexpr int kValues = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Both read the same bytes, NUL bytes included (neither takes one for white space or a digit).
    std::string text(reinterpret_cast<const char*>(data), size);
    FILE* file = fmemopen(text.data(), text.size(), "r");
    if (file == nullptr) return 0;
    ValueReader reader{std::string(text)};
    int32_t last = 0;
    bool stopped = false;
    for (int i = 0; i < kValues; ++i) {
        int value = 0;
        if (!stopped && std::fscanf(file, "%d", &value) == 1) {
            last = value;
        } else {
            stopped = true;
        }
        if (reader.Next() != last) std::abort();
    }
    std::fclose(file);
    return 0;
}
