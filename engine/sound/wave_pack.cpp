// Reading and writing the records of WAVE pack files.
#include "engine/sound/wave_pack.h"

#include <cstring>

#include "platform/sjis.h"

namespace {

bool ReadUint32(FILE* file, uint32_t* value) {
    uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, file) != 4) return false;
    *value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
             static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

bool WriteUint32(FILE* file, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return std::fwrite(bytes, 1, 4, file) == 4;
}

}  // namespace

bool ReadPackRecordHeader(FILE* file, PackRecord* record) {
    *record = PackRecord{};
    if (!ReadUint32(file, &record->dataSize)) return false;
    // The whole name is read up to its terminator; what does not fit the buffer is passed over.
    size_t length = 0;
    for (;;) {
        int c = std::fgetc(file);
        if (c == EOF) return false;
        if (c == 0) break;
        if (length < kPackNameBuffer - 1) {
            record->name[length++] = static_cast<char>(c);
        } else {
            record->nameTooLong = true;
        }
    }
    record->name[length] = '\0';
    if (!ReadUint32(file, &record->formatSize)) return false;
    record->formatOffset = std::ftell(file);
    return record->formatOffset >= 0;
}

bool SkipPackRecord(FILE* file, const PackRecord& record) {
    const long step = static_cast<long>(record.formatSize) + static_cast<long>(record.dataSize);
    return std::fseek(file, record.formatOffset + step, SEEK_SET) == 0;
}

bool FindPackRecord(FILE* file, const char* upperName, PackRecord* record) {
    while (ReadPackRecordHeader(file, record)) {
        if (!record->nameTooLong && std::strcmp(record->name, upperName) == 0) return true;
        if (!SkipPackRecord(file, *record)) return false;
    }
    return false;
}

bool PackRecordFits(FILE* file, const PackRecord& record) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file);
    const bool seekBack = std::fseek(file, here, SEEK_SET) == 0;
    if (!seekBack || end < record.formatOffset) return false;
    const uint64_t remaining = static_cast<uint64_t>(end - record.formatOffset);
    return static_cast<uint64_t>(record.formatSize) + record.dataSize <= remaining;
}

bool WritePackRecord(FILE* file, const char* name, const uint8_t* format, uint32_t formatSize,
                     const uint8_t* data, uint32_t dataSize) {
    const size_t nameBytes = std::strlen(name) + 1;
    bool ok = WriteUint32(file, dataSize);
    ok = ok && std::fwrite(name, 1, nameBytes, file) == nameBytes;
    ok = ok && WriteUint32(file, formatSize);
    ok = ok && (formatSize == 0 || std::fwrite(format, 1, formatSize, file) == formatSize);
    ok = ok && (dataSize == 0 || std::fwrite(data, 1, dataSize, file) == dataSize);
    return ok;
}

void UpperCaseSjis(char* text) {
    platform::SjisUpperCase(text);
}
