// The sound device: opening, releasing and rebuilding it with every loaded object, the output
// format, and the synchronous play of a wave file on its own.
#include "engine/sound/sound_device.h"

#include <cstdio>

#include "engine/sound/sound_objects.h"
#include "engine/sound/streaming.h"
#include "engine/system/error_report.h"
#include "platform/audio.h"
#include "platform/window.h"

SoundDeviceState SoundDevice;

namespace {

void ReleaseCopyBuffers() {
    for (SoundObject& object : SoundObjects.objects) {
        if (!object.inUse) continue;
        for (int c = 0; c < object.copyCount && c < kMaxSoundCopies; ++c) {
            SoundCopy& copy = object.copies[c];
            if (copy.buffer == 0) continue;
            platform::StopSoundBuffer(copy.buffer);
            platform::ReleaseSoundBuffer(copy.buffer);
            copy.buffer = 0;
        }
    }
}

// Loads every object in use again under its own number, from where it came from. The sign of the
// count keeps whether the object has an echo.
void ReloadTable() {
    SoundDevice.reloading = 1;
    for (SoundNo number = 0; number < kSoundObjectCount; ++number) {
        SoundObject& object = SoundObjects.objects[number];
        if (!object.inUse) continue;
        SoundDevice.reloadSlot = number;
        const StreamRecord& stream = SoundObjects.streams[number];
        if (stream.dataSize != 0) {
            // A stream reads its own pack again, which becomes the selected one.
            const uint32_t loopPoint = static_cast<uint32_t>(stream.loopPosition - stream.dataStart);
            std::snprintf(SoundObjects.packPath, sizeof SoundObjects.packPath, "%s", stream.packPath);
            elSound::LoadStream(object.name, loopPoint);
            continue;
        }
        const int count = object.echoState >= 0 ? object.copyCount : -object.copyCount;
        if (object.fromPack) {
            elSound::LoadPack(object.name, count);
        } else {
            elSound::LoadObject(object.name, count);
        }
    }
    SoundDevice.reloading = 0;
}

}  // namespace

namespace elSound {

int Init() {
    // A device still open from an earlier set-up is given up first, with every buffer it holds.
    if (SoundDevice.open) platform::CloseAudioDevice();
    SoundDevice.open = false;
    if (!platform::OpenAudioDevice()) {
        SoundDevice.soundAvailable = 0;
        return 0;
    }
    SoundDevice.open = true;
    for (SoundObject& object : SoundObjects.objects)
        for (SoundCopy& copy : object.copies) copy.buffer = 0;
    SoundDevice.reloading = 0;
    SoundDevice.soundAvailable = 1;
    return 1;
}

void Release() {
    if (!SoundDevice.soundAvailable) return;
    ReleaseCopyBuffers();
    if (SoundDevice.open) platform::CloseAudioDevice();
    SoundDevice.open = false;
}

void RestoreSounds() {
    if (!SoundDevice.soundAvailable) return;
    Init();
    ReloadTable();
}

int SelectFormat(int channels, int rate, int bits) {
    if (!SoundDevice.soundAvailable) return 1;
    ReleaseCopyBuffers();
    uint32_t samplesPerSec = static_cast<uint32_t>(rate);
    if (rate == 8) samplesPerSec = 8000;
    if (rate == 11) samplesPerSec = 11025;
    if (rate == 22) samplesPerSec = 22050;
    if (rate == 44) samplesPerSec = 44100;
    platform::WaveFormat format;
    format.formatTag = 1;
    format.channels = static_cast<uint16_t>(channels);
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = static_cast<uint16_t>(bits);
    format.blockAlign = static_cast<uint16_t>(channels * (bits / 8));
    format.avgBytesPerSec = format.blockAlign * samplesPerSec;
    // Values that do not fit the format's fields cannot name a format the mixer plays.
    const bool representable = channels > 0 && channels <= 0xFFFF && bits > 0 && bits <= 0xFFFF && rate > 0 &&
                               static_cast<int64_t>(channels) * (bits / 8) <= 0xFFFF;
    int result = 1;
    if (!SoundDevice.open || !representable || platform::SetOutputFormat(format) != platform::kAudioOk) {
        // The output stays in the format it had: the objects are rebuilt in it and keep playing.
        ReportError("elSound::SelectFormat", "再生フォーマットを変更できません");
        result = 0;
    }
    if (SoundDevice.open) ReloadTable();
    return result;
}

void PlayWaveSync(const char* sound) {
    Release();
    // A name that is no playable file (a system sound's name among them) sounds the default beep.
    if (sound == nullptr || !platform::PlayWaveFileSync(sound)) platform::Beep();
    RestoreSounds();
}

}  // namespace elSound
