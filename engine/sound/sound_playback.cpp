// Playback control of the sound objects: starting copies round-robin, stopping, pausing, the
// volume, pan and frequency of each copy, and the echo advanced once per frame.
#include "engine/sound/sound_playback.h"

#include <cstdlib>

#include "engine/sound/sound_device.h"
#include "engine/sound/streaming.h"
#include "engine/system/frame_pacing.h"
#include "platform/audio.h"

namespace {

// The loaded object of that number, or none without a device or for a number not in use.
SoundObject* LoadedObject(SoundNo number) {
    if (!SoundDevice.soundAvailable || number < 0 || number >= kSoundObjectCount) return nullptr;
    SoundObject& object = SoundObjects.objects[number];
    return object.inUse ? &object : nullptr;
}

bool ValidCopy(const SoundObject& object, int copy) {
    return copy >= 0 && copy < object.copyCount;
}

void StartCopy(SoundCopy& copy, bool looping) {
    if (copy.buffer == 0) return;
    platform::StopSoundBuffer(copy.buffer);
    platform::SetSoundBufferPosition(copy.buffer, 0);
    platform::PlaySoundBuffer(copy.buffer, looping);
}

void StopCopy(SoundCopy& copy) {
    if (copy.buffer == 0) return;
    platform::StopSoundBuffer(copy.buffer);
    platform::SetSoundBufferPosition(copy.buffer, 0);
}

void PauseCopy(SoundCopy& copy, bool looping) {
    if (copy.buffer == 0) return;
    if (platform::SoundBufferPlaying(copy.buffer)) {
        copy.savedPosition = platform::SoundBufferPosition(copy.buffer);
        platform::StopSoundBuffer(copy.buffer);
    } else {
        platform::SetSoundBufferPosition(copy.buffer, copy.savedPosition);
        platform::PlaySoundBuffer(copy.buffer, looping);
    }
}

int32_t Clamp(int64_t value, int64_t low, int64_t high) {
    return static_cast<int32_t>(value < low ? low : value > high ? high : value);
}

constexpr int64_t kMaxSteps = 1000000;  // far beyond every range, so that steps never overflow

enum class Setting { Volume, Pan, Frequency };

// Stores and applies the new value of one copy; `value` computes it from the copy's old one.
template <typename NewValue>
void ApplySetting(SoundObject& object, int copyNumber, Setting setting, NewValue value) {
    SoundCopy& copy = object.copies[copyNumber];
    switch (setting) {
        case Setting::Volume:
            copy.volume = Clamp(value(copy.volume), platform::kVolumeMin, platform::kVolumeMax);
            if (copy.buffer != 0) platform::SetSoundBufferVolume(copy.buffer, copy.volume);
            break;
        case Setting::Pan:
            copy.pan = Clamp(value(copy.pan), platform::kPanLeft, platform::kPanRight);
            if (copy.buffer != 0) platform::SetSoundBufferPan(copy.buffer, copy.pan);
            break;
        case Setting::Frequency:
            copy.frequency = static_cast<uint32_t>(
                Clamp(value(copy.frequency), platform::kFrequencyMin, platform::kFrequencyMax));
            if (copy.buffer != 0) platform::SetSoundBufferFrequency(copy.buffer, copy.frequency);
            break;
    }
}

// The copy argument of the volume, pan and frequency operations: one copy, the next round-robin
// copy (-2) or every copy (other negative values).
template <typename NewValue>
void Shape(SoundNo number, int copy, Setting setting, NewValue value) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr) return;
    if (copy >= 0) {
        if (ValidCopy(*object, copy)) ApplySetting(*object, copy, setting, value);
    } else if (copy == -2) {
        ApplySetting(*object, object->nextCopy, setting, value);
    } else {
        for (int c = 0; c < object->copyCount; ++c) ApplySetting(*object, c, setting, value);
    }
}

// A streamed object starts from the beginning of its data with its ring refilled, and the ring
// always loops: the loop flag decides whether the stream's sound repeats or ends.
void StartStream(SoundNo number, SoundCopy& copy) {
    if (copy.buffer == 0) return;
    platform::StopSoundBuffer(copy.buffer);
    elSound::ResetStream(number);
    platform::SetSoundBufferPosition(copy.buffer, 0);
    platform::PlaySoundBuffer(copy.buffer, true);
}

void StartPlay(SoundNo number, int copy, bool looping) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr) return;
    if (SoundObjects.streams[number].dataSize != 0) {
        if (copy < 0 || ValidCopy(*object, copy)) StartStream(number, object->copies[0]);
        object->loop = looping ? 1 : 0;
        return;
    }
    if (copy >= 0) {
        if (ValidCopy(*object, copy)) StartCopy(object->copies[copy], looping);
    } else {
        if (copy == -2 && object->echoState >= 0) {
            elSound::ResetFrequency(number, -1);
            elSound::ResetPan(number, -1);
            elSound::ResetVolume(number, -1);
            object->echoState = 1;
            object->echoTimer = 0.0f;
            object->echoLoops = looping ? 1 : 0;
            object->sweepPan = static_cast<float>(object->copies[object->nextCopy].pan);
            object->sweepDirection = std::rand() % 2 == 0 ? -1 : 1;
        }
        StartCopy(object->copies[object->nextCopy], looping);
        object->nextCopy += 1;
        if (object->nextCopy >= object->copyCount) object->nextCopy = 0;
    }
    object->loop = looping ? 1 : 0;
}

// The repeat of a running echo that is due: the next copy, fade decibels per repeat quieter.
void EchoStep(SoundNo number, int interval, int repeats, int fade, const int* sway) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr || object->echoState < 1 || repeats < 1) return;
    object->echoTimer += FrameStep * 1000.0f;
    if (object->echoTimer < static_cast<float>(interval)) return;
    object->echoTimer = 0.0f;
    if (sway != nullptr) {
        object->sweepPan +=
            static_cast<float>(object->sweepDirection) * FrameStep * 100.0f * static_cast<float>(*sway);
        if (object->sweepPan < -30.0f) {
            object->sweepPan = -30.0f;
            object->sweepDirection = -object->sweepDirection;
        } else if (object->sweepPan > 30.0f) {
            object->sweepPan = 30.0f;
            object->sweepDirection = -object->sweepDirection;
        }
        elSound::SetPan(number, static_cast<int>(object->sweepPan), -2);
    }
    const int64_t fadeSteps = -static_cast<int64_t>(object->echoState) * fade;
    elSound::SetVolume(number, Clamp(fadeSteps, -kMaxSteps, kMaxSteps), -2);
    if (object->echoLoops) {
        elSound::PlayLoop(number, -3);
    } else {
        elSound::Play(number, -3);
    }
    object->echoState += 1;
    if (object->echoState > repeats) object->echoState = 0;
}

}  // namespace

namespace elSound {

void Play(SoundNo number, int copy) {
    StartPlay(number, copy, false);
}
void PlayLoop(SoundNo number, int copy) {
    StartPlay(number, copy, true);
}

void Stop(SoundNo number, int copy) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr) return;
    if (copy >= 0) {
        if (ValidCopy(*object, copy)) StopCopy(object->copies[copy]);
        return;
    }
    if (object->echoState >= 0) object->echoState = 0;
    for (int c = 0; c < object->copyCount; ++c) StopCopy(object->copies[c]);
}

void Pause(SoundNo number, int copy) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr) return;
    // A stream's ring resumes looping whatever the loop flag: played once, it would otherwise stop
    // at the ring's end, four seconds into the sound.
    const bool looping = object->loop == 1 || SoundObjects.streams[number].dataSize != 0;
    if (copy >= 0) {
        if (ValidCopy(*object, copy)) PauseCopy(object->copies[copy], looping);
        return;
    }
    for (int c = 0; c < object->copyCount; ++c) PauseCopy(object->copies[c], looping);
}

uint32_t GetPosition(SoundNo number) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr || object->copies[0].buffer == 0) return 0;
    return platform::SoundBufferPosition(object->copies[0].buffer);
}

void AddFrequency(SoundNo number, int steps, int copy) {
    Shape(number, copy, Setting::Frequency, [&](int64_t old) { return old + int64_t{steps} * 100; });
}
void SetFrequency(SoundNo number, int steps, int copy) {
    SoundObject* object = LoadedObject(number);
    if (object == nullptr) return;
    const int64_t base = object->defaultFrequency;
    Shape(number, copy, Setting::Frequency, [&](int64_t) { return base + int64_t{steps} * 100; });
}
void ResetFrequency(SoundNo number, int copy) {
    SetFrequency(number, 0, copy);
}

void AddPan(SoundNo number, int steps, int copy) {
    Shape(number, copy, Setting::Pan, [&](int64_t old) { return old + int64_t{steps} * 100; });
}
void SetPan(SoundNo number, int steps, int copy) {
    Shape(number, copy, Setting::Pan, [&](int64_t) { return int64_t{steps} * 100; });
}
void ResetPan(SoundNo number, int copy) {
    SetPan(number, 0, copy);
}
void PanLeft(SoundNo number, int copy) {
    SetPan(number, -100, copy);
}
void PanRight(SoundNo number, int copy) {
    SetPan(number, 100, copy);
}

void AddVolume(SoundNo number, int steps, int copy) {
    Shape(number, copy, Setting::Volume, [&](int64_t old) { return old + int64_t{steps} * 100; });
}
void SetVolume(SoundNo number, int steps, int copy) {
    Shape(number, copy, Setting::Volume, [&](int64_t) { return int64_t{steps} * 100; });
}
void ResetVolume(SoundNo number, int copy) {
    SetVolume(number, 0, copy);
}

void UpdateEcho(SoundNo number, int interval, int repeats, int fade) {
    EchoStep(number, interval, repeats, fade, nullptr);
}
void UpdateEchoSweep(SoundNo number, int interval, int repeats, int fade, int sway) {
    EchoStep(number, interval, repeats, fade, &sway);
}

}  // namespace elSound
