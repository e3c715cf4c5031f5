// The sound object table: 70 objects of up to 10 copies each, loaded from WAVE files, WAVE
// resources compiled into the program or WAVE pack entries; the selected pack file.
#pragma once
#include <el/sound.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio.h"

constexpr size_t kSoundNameSize = 31;  // up to 30 bytes and a terminator
constexpr size_t kSoundPathSize = 256;
constexpr size_t kSoundPackPathSize = 512;

struct SoundCopy {
    platform::SoundBuffer buffer = 0;
    int32_t volume = 0;          // hundredths of a decibel, -10000..0
    uint32_t frequency = 0;      // Hz, 100..100000
    int32_t pan = 0;             // -10000 (left)..10000 (right)
    uint32_t savedPosition = 0;  // bytes, kept by Pause
};

// What a streamed object reads from its pack; a data size of 0 marks an object that is not streamed.
struct StreamRecord {
    int32_t dataStart = 0;
    int32_t loopPosition = 0;
    int32_t filePosition = 0;
    uint32_t dataSize = 0;
    uint32_t consumed = 0;
    uint32_t lastWrite = 0;
    uint32_t nextWrite = 0;
    uint32_t halfSize = 0;
    uint32_t ringSize = 0;
    int32_t wrapMark = -1;
    uint32_t lastCursor = 0;
    uint8_t countdown = 0;
    char packPath[kSoundPackPathSize] = {};
};

struct SoundObject {
    int32_t inUse = 0;
    int32_t copyCount = 1;
    int32_t nextCopy = 0;  // the copy the next round-robin play uses
    uint32_t defaultFrequency = 0;
    char name[kSoundNameSize] = {};
    int32_t echoState = -1;  // -1 no echo, 0 ready, n >= 1 running with the n-th repeat next
    float echoTimer = 0.0f;  // milliseconds since the last repeat
    int32_t echoLoops = 0;
    float sweepPan = 0.0f;  // pan steps of 100 units, -30..30
    int32_t sweepDirection = 1;
    int32_t loop = 0;  // 1 when last started with PlayLoop
    int32_t fromPack = 0;
    SoundCopy copies[kMaxSoundCopies];
};

struct SoundObjectTable {
    SoundObject objects[kSoundObjectCount];
    StreamRecord streams[kSoundObjectCount];
    char packPath[kSoundPackPathSize] = {};  // the selected pack file; empty until one is selected
};

extern SoundObjectTable SoundObjects;

// Every object free, every copy at volume 0, frequency 0 and pan 0; the buffers must already be none.
void ResetSoundObjects();

// A WAVE file's format block (the 16 bytes of its format record, a 16-bit count of extra bytes
// and those bytes) and its sound data.
struct WaveBlocks {
    std::vector<uint8_t> format;
    std::vector<uint8_t> data;
};

namespace elSound {

// Reads a RIFF/WAVE file: 0 on success, non-zero (with both blocks empty) on failure: the
// platform::WaveError that tells why.
int ReadWave(const char* path, WaveBlocks* wave);
// Convert's work: false when the pack could not be written, which leaves it as it was (the
// failure is said on standard error and in the debug log).
bool ConvertPack(const char* pack, const char* folder, int fresh);

}  // namespace elSound
