// WAVE pack scan: any pack file is walked record by record, and any request found in it, without
// reading outside the file; a found record's format block and data lie inside the file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/sound/wave_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    // The first byte chooses how many bytes of the input name the request; the rest is the pack.
    if (size < 2) return 0;
    const size_t requestLength = bytes[0] % 16 < size - 1 ? bytes[0] % 16 : size - 1;
    std::vector<char> request(bytes + 1, bytes + 1 + requestLength);
    request.push_back('\0');
    UpperCaseSjis(request.data());
    const uint8_t* pack = bytes + 1 + requestLength;
    const size_t packSize = size - 1 - requestLength;
    if (packSize == 0) return 0;
    std::vector<uint8_t> copy(pack, pack + packSize);

    FILE* file = fmemopen(copy.data(), copy.size(), "rb");
    if (file == nullptr) return 0;
    // Every record in file order, as the listing shows them.
    PackRecord record;
    int records = 0;
    while (ReadPackRecordHeader(file, &record)) {
        if (record.formatOffset < 0 || static_cast<size_t>(record.formatOffset) > packSize) __builtin_trap();
        if (std::strlen(record.name) >= kPackNameBuffer) __builtin_trap();
        ++records;
        if (!PackRecordFits(file, record) || !SkipPackRecord(file, record)) break;
    }
    std::rewind(file);
    if (FindPackRecord(file, request.data(), &record) && PackRecordFits(file, record)) {
        if (std::strcmp(record.name, request.data()) != 0 || record.nameTooLong) __builtin_trap();
        std::vector<uint8_t> format(record.formatSize), data(record.dataSize);
        if (!format.empty() && std::fread(format.data(), 1, format.size(), file) != format.size())
            __builtin_trap();
        if (!data.empty() && std::fread(data.data(), 1, data.size(), file) != data.size()) __builtin_trap();
        const size_t end = static_cast<size_t>(record.formatOffset) + format.size() + data.size();
        if (end > packSize) __builtin_trap();
        if (!data.empty() && std::memcmp(data.data(), pack + end - data.size(), data.size()) != 0)
            __builtin_trap();
    }
    std::fclose(file);
    (void)records;
    return 0;
}
