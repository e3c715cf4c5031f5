// WAVE pack files: records of data size, upper-case entry name, format block and sound data,
// concatenated without header or index, read from the start and written by appending.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr size_t kPackNameBuffer = 128;  // 127 bytes of entry name and a terminator

struct PackRecord {
    uint32_t dataSize = 0;
    char name[kPackNameBuffer] = {};
    bool nameTooLong = false;  // the name did not fit the buffer: it matches no request
    uint32_t formatSize = 0;
    long formatOffset = 0;  // where the format block begins in the file
};

// Reads the header of the record at the file's position (data size, name, format size) and leaves
// the file at its format block. False at the end of the file or on a short read.
bool ReadPackRecordHeader(FILE* file, PackRecord* record);
// Steps from a record's format block over the block and the data to the next record. A record
// steps by its own format size, so records with extra format bytes do not misalign the ones behind.
bool SkipPackRecord(FILE* file, const PackRecord& record);
// Scans from the file's position for the first record named exactly `upperName`; on success the
// file stands at its format block. False when no record matches.
bool FindPackRecord(FILE* file, const char* upperName, PackRecord* record);
// Whether the rest of the file, from the format block, holds the record's format block and data.
bool PackRecordFits(FILE* file, const PackRecord& record);
// Writes one record at the file's position.
bool WritePackRecord(FILE* file, const char* name, const uint8_t* format, uint32_t formatSize,
                     const uint8_t* data, uint32_t dataSize);

// Upper-cases the ASCII letters of a Shift-JIS text in place, leaving double-byte characters whole.
void UpperCaseSjis(char* text);
