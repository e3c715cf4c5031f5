// Streamed playback of long WAVE pack entries: a ring of four seconds refilled from the pack file
// by Streaming once per frame, two seconds ahead of the play cursor.
#include "engine/sound/streaming.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/sound/sound_device.h"
#include "engine/sound/sound_internal.h"
#include "engine/sound/sound_playback.h"
#include "engine/sound/wave_pack.h"
#include "engine/system/error_report.h"
#include "platform/audio.h"
#include "platform/files.h"

namespace {

constexpr const char* kMessageNoPack = "パックファイル名が指定されていません";
constexpr const char* kMessageNotInPack = "WAVEファイルを読み込めません";
constexpr const char* kMessageNoBuffer = "サウンドバッファが生成できません";
constexpr const char* kMessageNameTooLong = "ファイル名が長すぎます";
constexpr const char* kMessageCannotStream = "ストリーミング再生できません";
constexpr uint32_t kShortestStreamSeconds = 5;

// One block for every refill, kept by the module: it grows when a longer stream is loaded, so
// that Streaming itself never allocates.
std::vector<uint8_t> refillBlock;

int Fail(const char* context, const char* message) {
    ReportError(context, message);
    return -1;
}

// Copies `size` bytes (or zero bytes when `data` is null) into the ring from `offset`, wrapping
// past its end into the lock's second region.
void WriteRing(platform::SoundBuffer ring, uint32_t offset, const uint8_t* data, uint32_t size) {
    platform::LockedRegions regions;
    if (platform::LockSoundBuffer(ring, offset, size, &regions) != platform::kAudioOk) return;
    const uint32_t first = regions.firstBytes < size ? regions.firstBytes : size;
    const uint32_t second = size - first < regions.secondBytes ? size - first : regions.secondBytes;
    if (data == nullptr) {
        std::memset(regions.first, 0, first);
        if (second > 0) std::memset(regions.second, 0, second);
    } else {
        std::memcpy(regions.first, data, first);
        if (second > 0) std::memcpy(regions.second, data + first, second);
    }
    platform::UnlockSoundBuffer(ring, regions);
}

// Reads `size` bytes from `position` of the stream's pack into the refill block; a pack that cannot
// be opened or positioned is reported under `context`. The position after them goes to `after`.
bool ReadFromPack(const StreamRecord& stream, long position, uint32_t size, const char* context,
                  long* after) {
    FILE* file = platform::OpenFile(stream.packPath, "rb");
    if (file == nullptr) {
        ReportError(context, kMessageNoPack);
        return false;
    }
    if (std::fseek(file, position, SEEK_SET) != 0) {
        std::fclose(file);
        ReportError(context, kMessageCannotStream);
        return false;
    }
    // A pack cut short reads as silence rather than as whatever the block held before.
    const size_t got = std::fread(refillBlock.data(), 1, size, file);
    if (got < size) std::memset(refillBlock.data() + got, 0, size - got);
    *after = position + static_cast<long>(size);
    std::fclose(file);
    return true;
}

void Rewind(StreamRecord& stream) {
    stream.lastWrite = 0;
    stream.nextWrite = stream.halfSize;
    stream.consumed = stream.halfSize;
    stream.wrapMark = -1;
    stream.lastCursor = 0;
    stream.countdown = 0;
}

// Whether the play cursor X has left the part written last (W the last write, P the wrap mark,
// L the last cursor).
bool RefillDue(const StreamRecord& stream, uint32_t x) {
    const uint32_t w = stream.lastWrite;
    const int32_t p = stream.wrapMark;
    if (p == -1) return x >= w || x < stream.lastCursor;
    if (w < static_cast<uint32_t>(p)) return w <= x && x < static_cast<uint32_t>(p);
    return x >= w;
}

// The size of the next chunk: half the ring, the rest of the data, or half the rest when less
// than one more whole chunk would remain after this one.
uint32_t ChunkSize(const StreamRecord& stream) {
    uint32_t size = stream.halfSize;
    const uint32_t left = stream.dataSize - stream.consumed;
    if (stream.consumed + size > stream.dataSize)
        size = left;
    else if (left - size < size)
        size = left / 2;
    return size;
}

}  // namespace

namespace elSound {

SoundNo LoadStream(const char* name, uint32_t loopPoint) {
    if (name == nullptr) name = "";
    constexpr const char* kContext = "elSound::LoadStream";
    if (!SoundDevice.soundAvailable) return -1;
    const SoundNo number = TakeNumber(kContext);
    if (number < 0) return -1;
    const bool reloading = SoundDevice.reloading != 0;

    StreamRecord stream;
    std::snprintf(stream.packPath, sizeof stream.packPath, "%s", SoundObjects.packPath);
    FILE* file = stream.packPath[0] != '\0' ? platform::OpenFile(stream.packPath, "rb") : nullptr;
    if (file == nullptr) {
        ExplainPackMiss(kContext, name, stream.packPath, false, false);
        return Fail(kContext, kMessageNoPack);
    }

    std::vector<char> request(name, name + std::strlen(name) + 1);
    UpperCaseSjis(request.data());
    PackRecord record;
    std::vector<uint8_t> formatBlock;
    platform::WaveFormat format;
    const bool named = FindPackRecord(file, request.data(), &record);
    bool found = named && PackRecordFits(file, record);
    if (!found) ExplainPackMiss(kContext, name, stream.packPath, true, named);
    if (found) {
        formatBlock.resize(record.formatSize);
        found = (record.formatSize == 0 ||
                 std::fread(formatBlock.data(), 1, record.formatSize, file) == record.formatSize) &&
                FormatFromRecord(formatBlock.data(), formatBlock.size(), &format) &&
                format.avgBytesPerSec != 0;
        if (!found)
            ExplainLoadFailure(kContext, name, "format block unreadable or without a byte rate",
                               platform::ResolvePath(stream.packPath));
    }
    if (!found) {
        std::fclose(file);
        return Fail(kContext, kMessageNotInPack);
    }
    // Data that ends inside a sample frame plays its whole frames.
    stream.dataSize =
        format.blockAlign > 1 ? record.dataSize - record.dataSize % format.blockAlign : record.dataSize;
    if (stream.dataSize / format.avgBytesPerSec < kShortestStreamSeconds) {
        // Shorter than five seconds: loaded whole, as an ordinary object of one copy.
        std::fclose(file);
        return LoadPack(name, 1);
    }
    // The refills would count below zero from a loop point at or past the end of the data, and a
    // loop point inside a sample frame would shift every later frame by part of a sample.
    if (loopPoint >= stream.dataSize) {
        std::fclose(file);
        return Fail(kContext, kMessageCannotStream);
    }
    if (format.blockAlign > 1) loopPoint -= loopPoint % format.blockAlign;

    stream.ringSize = format.avgBytesPerSec * 4;
    stream.halfSize = stream.ringSize / 2;
    stream.dataStart = static_cast<int32_t>(std::ftell(file));
    stream.loopPosition = stream.dataStart + static_cast<int32_t>(loopPoint);
    if (refillBlock.size() < stream.halfSize) refillBlock.resize(stream.halfSize);
    const size_t got = std::fread(refillBlock.data(), 1, stream.halfSize, file);
    if (got < stream.halfSize) std::memset(refillBlock.data() + got, 0, stream.halfSize - got);
    stream.filePosition = stream.dataStart + static_cast<int32_t>(stream.halfSize);
    std::fclose(file);
    Rewind(stream);

    SoundObject& object = SoundObjects.objects[number];
    SoundCopy& copy = object.copies[0];
    object.copyCount = 1;
    object.echoState = -1;
    if (!reloading) object.nextCopy = 0;
    const int32_t result = platform::CreateSoundBuffer(format, stream.ringSize, &copy.buffer);
    if (result != platform::kAudioOk) {
        copy.buffer = 0;
        if (!reloading) object = SoundObject{};
        const char* reason = platform::UnplayableReason(format);
        ExplainLoadFailure(kContext, name,
                           std::string("cannot be played: ") +
                               (reason != nullptr ? reason : "byte rate not a whole number of sample frames"),
                           platform::ResolvePath(stream.packPath));
        ReportError(kContext, kMessageNoBuffer);
        return -1;
    }
    WriteRing(copy.buffer, 0, refillBlock.data(), stream.halfSize);
    SettleNewCopy(object, copy, reloading);
    object.inUse = 1;
    object.fromPack = 1;
    SoundObjects.streams[number] = stream;
    if (reloading) return number;
    if (std::strlen(name) > kSoundNameSize - 1) {
        object.name[0] = '\0';
        return Fail(kContext, kMessageNameTooLong);
    }
    std::snprintf(object.name, sizeof object.name, "%s", name);
    return number;
}

int ResetStream(SoundNo number) {
    constexpr const char* kContext = "elSound::ResetStream";
    if (!SoundDevice.soundAvailable || number < 0 || number >= kSoundObjectCount) return 0;
    StreamRecord& stream = SoundObjects.streams[number];
    if (stream.dataSize == 0) return 0;
    long after = 0;
    if (!ReadFromPack(stream, stream.dataStart, stream.halfSize, kContext, &after)) return 0;
    Rewind(stream);
    stream.filePosition = static_cast<int32_t>(after);
    const platform::SoundBuffer ring = SoundObjects.objects[number].copies[0].buffer;
    if (ring != 0) WriteRing(ring, 0, refillBlock.data(), stream.halfSize);
    return 1;
}

int Streaming() {
    constexpr const char* kContext = "elSound::Streaming";
    if (!SoundDevice.soundAvailable) return 0;
    for (SoundNo number = 0; number < kSoundObjectCount; ++number) {
        StreamRecord& stream = SoundObjects.streams[number];
        if (stream.dataSize == 0) continue;
        SoundObject& object = SoundObjects.objects[number];
        const platform::SoundBuffer ring = object.copies[0].buffer;
        if (ring == 0 || !platform::SoundBufferPlaying(ring)) continue;
        const uint32_t x = platform::SoundBufferPosition(ring);
        if (!RefillDue(stream, x)) continue;
        stream.lastCursor = x;
        if (stream.countdown > 0 && --stream.countdown == 0) {
            Stop(number, -1);
            continue;
        }
        const uint32_t size = ChunkSize(stream);
        long after = 0;
        if (!ReadFromPack(stream, stream.filePosition, size, kContext, &after)) return 0;
        stream.filePosition = static_cast<int32_t>(after);
        stream.consumed += size;
        if (stream.consumed >= stream.dataSize) {
            // The data is used up: the next read starts at the loop point.
            stream.filePosition = stream.loopPosition;
            stream.consumed = static_cast<uint32_t>(stream.loopPosition - stream.dataStart);
            if (object.loop == 0) stream.countdown = 2;
        }
        WriteRing(ring, stream.nextWrite, stream.countdown == 1 ? nullptr : refillBlock.data(), size);
        stream.wrapMark = stream.nextWrite < stream.lastWrite ? static_cast<int32_t>(x) : -1;
        stream.lastWrite = stream.nextWrite;
        stream.nextWrite += size;
        if (stream.nextWrite >= stream.ringSize) stream.nextWrite -= stream.ringSize;
    }
    return 1;
}

}  // namespace elSound
