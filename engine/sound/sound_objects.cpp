// The sound object table and its loaders: WAVE files beside the program, WAVE resources compiled
// into it, and WAVE pack entries; freeing objects.
#include "engine/sound/sound_objects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/sound/sound_device.h"
#include "engine/sound/sound_internal.h"
#include "engine/sound/wave_pack.h"
#include "engine/system/error_report.h"
#include "engine/system/paths.h"
#include "platform/files.h"
#include "platform/present.h"

SoundObjectTable SoundObjects;

namespace {

constexpr const char* kMessageTooManyCopies = "ミックス数が多過ぎます";
constexpr const char* kMessageTooManyObjects = "オブジェクト数が多過ぎます";
constexpr const char* kMessageNoResource = "WAVEリソースが見つかりません";
constexpr const char* kMessageNoPack = "パックファイル名が指定されていません";
constexpr const char* kMessageNotInPack = "WAVEファイルを読み込めません";
constexpr const char* kMessageNoBuffer = "サウンドバッファが生成できません";
constexpr const char* kMessageNameTooLong = "ファイル名またはリソース名が長すぎます";
constexpr const char* kMessagePackNameTooLong = "ファイル名が長すぎます";

constexpr size_t kMaxNameLength = kSoundNameSize - 1;
constexpr size_t kResourceHeaderSize = 44;

// Sound data and the format it is played in, wherever it was read from.
struct SoundSource {
    platform::WaveFormat format;
    bool formatUsable = false;  // the block was long enough to describe a format at all
    const uint8_t* data = nullptr;
    uint32_t dataSize = 0;
    const char* name = "";  // for the line that tells why a load was refused
    std::string path;       // where it was read from, for the same line
};

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

SoundNo LowestFreeNumber() {
    for (SoundNo i = 0; i < kSoundObjectCount; ++i)
        if (!SoundObjects.objects[i].inUse) return i;
    return -1;
}

int Fail(const char* context, const char* message) {
    ReportError(context, message);
    return -1;
}

// Copies data into a locked buffer region by region.
void FillBuffer(platform::SoundBuffer buffer, const uint8_t* data, uint32_t size) {
    platform::LockedRegions regions;
    if (platform::LockSoundBuffer(buffer, 0, size, &regions) != platform::kAudioOk) return;
    const uint32_t first = regions.firstBytes < size ? regions.firstBytes : size;
    if (first > 0) std::memcpy(regions.first, data, first);
    const uint32_t rest = size - first;
    if (rest > 0 && regions.second != nullptr)
        std::memcpy(regions.second, data + first, rest < regions.secondBytes ? rest : regions.secondBytes);
    platform::UnlockSoundBuffer(buffer, regions);
}

void ReleaseCopies(SoundObject& object, int count) {
    for (int c = 0; c < count && c < kMaxSoundCopies; ++c) {
        SoundCopy& copy = object.copies[c];
        if (copy.buffer == 0) continue;
        platform::StopSoundBuffer(copy.buffer);
        platform::ReleaseSoundBuffer(copy.buffer);
        copy.buffer = 0;
    }
}

// Gives the object its copies, each a buffer of its own holding the data. A refused buffer
// releases the copies made before it; outside a reload the number stays free.
bool FillObject(SoundNo number, int count, const SoundSource& source, const char* context) {
    SoundObject& object = SoundObjects.objects[number];
    const bool reloading = SoundDevice.reloading != 0;
    const int copies = count == 0 ? 1 : std::abs(count);  // no copy at all would leave nothing to play
    object.copyCount = copies;
    object.echoState = count > 1 ? 0 : -1;
    if (!reloading) object.nextCopy = 0;
    if (object.nextCopy >= copies) object.nextCopy = 0;

    // Data that ends inside a sample frame plays its whole frames.
    const char* refusal = source.formatUsable ? platform::UnplayableReason(source.format)
                                              : "format block shorter than 16 bytes";
    const uint32_t size =
        refusal == nullptr ? source.dataSize - source.dataSize % source.format.blockAlign : 0;
    if (refusal == nullptr && size == 0) refusal = "no whole sample frame in the data";
    for (int c = 0; c < copies; ++c) {
        SoundCopy& copy = object.copies[c];
        int32_t result = platform::kAudioBadFormat;
        if (refusal == nullptr) {
            result = platform::CreateSoundBuffer(source.format, size, &copy.buffer);
            if (result != platform::kAudioOk)
                refusal =
                    result == platform::kAudioInvalidParam ? "data too large" : "no memory or device for it";
        }
        if (result != platform::kAudioOk) {
            copy.buffer = 0;
            ReleaseCopies(object, c);
            if (!reloading) object = SoundObject{};
            ExplainLoadFailure(context, source.name, std::string("cannot be played: ") + refusal,
                               source.path);
            ReportError(context, kMessageNoBuffer);
            return false;
        }
        FillBuffer(copy.buffer, source.data, size);
        SettleNewCopy(object, copy, reloading);
    }
    return true;
}

// The last steps of a load: a name that does not fit is reported, the object staying loaded.
SoundNo FinishLoad(SoundNo number, const char* name, const char* context, const char* tooLong) {
    SoundObject& object = SoundObjects.objects[number];
    object.inUse = 1;
    SoundObjects.streams[number].dataSize = 0;
    if (SoundDevice.reloading) return number;
    if (std::strlen(name) > kMaxNameLength) {
        object.name[0] = '\0';
        return Fail(context, tooLong);
    }
    std::snprintf(object.name, sizeof object.name, "%s", name);
    return number;
}

// A WAVE resource: a RIFF/WAVE image read chunk by chunk into `parsed`, or else one with the
// canonical 44-byte header: format record at byte 20, data size at 40.
bool SourceFromResource(const char* name, SoundSource* source, platform::WaveFile* parsed) {
    const platform::Resource* resource = platform::FindResource(name);
    if (resource == nullptr) return false;
    if (platform::ReadWave(resource->data, resource->size, parsed) == platform::WaveError::kNone) {
        source->format = parsed->format;
        source->formatUsable = true;
        source->data = parsed->data.data();
        source->dataSize = static_cast<uint32_t>(parsed->data.size());
        source->path = "a resource of the program";
        return true;
    }
    if (resource->size < kResourceHeaderSize) return false;
    const uint32_t dataSize = Read32(resource->data + 40);
    if (dataSize > resource->size - kResourceHeaderSize) return false;
    source->formatUsable = FormatFromRecord(resource->data + 20, 16, &source->format);
    source->data = resource->data + kResourceHeaderSize;
    source->dataSize = dataSize;
    source->path = "a resource of the program";
    return true;
}

}  // namespace

// A format record of 16 bytes, followed for formats other than PCM by its count and extra bytes.
bool FormatFromRecord(const uint8_t* block, size_t size, platform::WaveFormat* format) {
    if (size < 16) return false;
    format->formatTag = Read16(block);
    format->channels = Read16(block + 2);
    format->samplesPerSec = Read32(block + 4);
    format->avgBytesPerSec = Read32(block + 8);
    format->blockAlign = Read16(block + 12);
    format->bitsPerSample = Read16(block + 14);
    format->extra.clear();
    if (format->formatTag != 1 && size > 16) format->extra.assign(block + 16, block + size);
    platform::PcmFromExtensible(format);
    return true;
}

void SettleNewCopy(SoundObject& object, SoundCopy& copy, bool reloading) {
    if (!reloading) {
        copy.frequency = platform::SoundBufferFrequency(copy.buffer);
        object.defaultFrequency = copy.frequency;
        copy.volume = 0;
        copy.pan = 0;
    } else {
        platform::SetSoundBufferVolume(copy.buffer, copy.volume);
        platform::SetSoundBufferFrequency(copy.buffer, copy.frequency);
        platform::SetSoundBufferPan(copy.buffer, copy.pan);
    }
}

// The number a loader fills: the lowest free one, or the reload slot while reloading.
SoundNo TakeNumber(const char* context) {
    if (SoundDevice.reloading) return SoundDevice.reloadSlot;
    SoundNo number = LowestFreeNumber();
    if (number < 0) ReportError(context, kMessageTooManyObjects);
    return number;
}

void ExplainPackMiss(const char* context, const char* name, const char* packPath, bool opened, bool found) {
    if (packPath == nullptr || packPath[0] == '\0') {
        ExplainLoadFailure(context, name, "no WAVE pack chosen with SetPackName", "");
        return;
    }
    const std::string system = platform::ResolvePath(packPath);
    if (!opened)
        ExplainLoadFailure(context, name, "pack file " + CannotOpenReason(system), system);
    else if (!found)
        ExplainLoadFailure(context, name, "no entry of that name in the pack", system);
    else
        ExplainLoadFailure(context, name, "its entry runs past the end of the pack", system);
}

void ResetSoundObjects() {
    for (int i = 0; i < kSoundObjectCount; ++i) {
        SoundObject& object = SoundObjects.objects[i];
        object.inUse = 0;
        object.copyCount = 1;
        object.nextCopy = 0;
        object.defaultFrequency = 0;
        object.name[0] = '\0';
        object.echoState = -1;
        object.fromPack = 0;
        SoundObjects.streams[i].dataSize = 0;
        for (SoundCopy& copy : object.copies) {
            copy.volume = 0;
            copy.frequency = 0;
            copy.pan = 0;
        }
    }
}

namespace elSound {

SoundNo LoadObject(const char* name, int count) {
    if (name == nullptr) name = "";
    constexpr const char* kContext = "elSound::LoadObject";
    if (!SoundDevice.soundAvailable) return -1;
    if (count > kMaxSoundCopies || count < -kMaxSoundCopies) return Fail(kContext, kMessageTooManyCopies);
    const SoundNo number = TakeNumber(kContext);
    if (number < 0) return -1;

    SoundSource source;
    source.name = name;
    WaveBlocks wave;
    platform::WaveFile resourceWave;
    char path[kSoundPathSize];
    const int length = std::snprintf(path, sizeof path, "%s%s", ModulePath(0), name);
    const bool pathFits = length >= 0 && static_cast<size_t>(length) < sizeof path;
    const int read = pathFits ? ReadWave(path, &wave) : -1;
    const std::string system = pathFits ? platform::ResolvePath(path) : std::string();
    if (read == 0) {
        source.formatUsable = FormatFromRecord(wave.format.data(), wave.format.size(), &source.format);
        source.data = wave.data.data();
        source.dataSize = static_cast<uint32_t>(wave.data.size());
        source.path = system;
    } else if (!SourceFromResource(name, &source, &resourceWave)) {
        const auto error = static_cast<platform::WaveError>(read);
        const std::string reason = read < 0 ? "path too long"
                                   : error == platform::WaveError::kUnreadable
                                       ? CannotOpenReason(system)
                                       : std::string("not a WAVE file: ") + platform::WaveErrorText(error);
        ExplainLoadFailure(kContext, name, reason + "; no resource of that name", system);
        return Fail(kContext, kMessageNoResource);
    }

    if (!FillObject(number, count, source, kContext)) return -1;
    SoundObjects.objects[number].fromPack = 0;
    return FinishLoad(number, name, kContext, kMessageNameTooLong);
}

void SetPackName(const char* name) {
    if (name == nullptr) name = "";
    const int length =
        std::snprintf(SoundObjects.packPath, sizeof SoundObjects.packPath, "%s%s", ModulePath(0), name);
    // A path that does not fit selects nothing, rather than some other file.
    if (length < 0 || static_cast<size_t>(length) >= sizeof SoundObjects.packPath)
        SoundObjects.packPath[0] = '\0';
}

SoundNo LoadPack(const char* name, int count) {
    if (name == nullptr) name = "";
    constexpr const char* kContext = "elSound::LoadPack";
    if (!SoundDevice.soundAvailable) return -1;
    if (count > kMaxSoundCopies || count < -kMaxSoundCopies) return Fail(kContext, kMessageTooManyCopies);
    const SoundNo number = TakeNumber(kContext);
    if (number < 0) return -1;

    FILE* file = SoundObjects.packPath[0] != '\0' ? platform::OpenFile(SoundObjects.packPath, "rb") : nullptr;
    if (file == nullptr) {
        ExplainPackMiss(kContext, name, SoundObjects.packPath, false, false);
        return Fail(kContext, kMessageNoPack);
    }

    std::vector<char> request(name, name + std::strlen(name) + 1);
    UpperCaseSjis(request.data());
    PackRecord record;
    WaveBlocks wave;
    const bool named = FindPackRecord(file, request.data(), &record);
    bool found = named && PackRecordFits(file, record);
    if (found) {
        wave.format.resize(record.formatSize);
        wave.data.resize(record.dataSize);
        found = (record.formatSize == 0 ||
                 std::fread(wave.format.data(), 1, record.formatSize, file) == record.formatSize) &&
                (record.dataSize == 0 ||
                 std::fread(wave.data.data(), 1, record.dataSize, file) == record.dataSize);
    }
    std::fclose(file);
    if (!found) {
        ExplainPackMiss(kContext, name, SoundObjects.packPath, true, named);
        return Fail(kContext, kMessageNotInPack);
    }

    SoundSource source;
    source.name = name;
    source.path = platform::ResolvePath(SoundObjects.packPath);
    source.formatUsable = FormatFromRecord(wave.format.data(), wave.format.size(), &source.format);
    source.data = wave.data.data();
    source.dataSize = record.dataSize;
    if (!FillObject(number, count, source, kContext)) return -1;
    SoundObjects.objects[number].fromPack = 1;
    return FinishLoad(number, name, kContext, kMessagePackNameTooLong);
}

void FreeObject(SoundNo number) {
    if (!SoundDevice.soundAvailable || number < 0 || number >= kSoundObjectCount) return;
    SoundObject& object = SoundObjects.objects[number];
    if (!object.inUse) return;
    object.inUse = 0;
    object.defaultFrequency = 0;
    object.name[0] = '\0';
    object.fromPack = 0;
    SoundObjects.streams[number].dataSize = 0;
    for (int c = 0; c < object.copyCount && c < kMaxSoundCopies; ++c) {
        SoundCopy& copy = object.copies[c];
        copy.volume = 0;
        copy.frequency = 0;
        copy.pan = 0;
    }
    ReleaseCopies(object, object.copyCount);
    object.copyCount = 1;
}

}  // namespace elSound
