// The buffer operations of platform/audio.h on the device's mixer; the backends open and close it.
#include "platform/soft/audio_device.h"

#include <cstdio>

#include "platform/sjis.h"
#include "platform/soft/sequencer_mix.h"

namespace platform {

void WriteSoundRefusal(const char* context, const char* name, const char* reason) {
    std::fprintf(stderr, "%s: %s: %s\n", context != nullptr ? context : "",
                 SjisToUtf8(name != nullptr ? name : "").c_str(), reason != nullptr ? reason : "");
}

namespace soft {

namespace {

struct DeviceState {
    bool open = false;
    AudioBackendHooks hooks;
};

DeviceState Device;

}  // namespace

Mixer& DeviceMixer() {
    static Mixer mixer;
    return mixer;
}

void AttachAudioDevice(const AudioBackendHooks& hooks, bool concurrent) {
    Device.hooks = hooks;
    Mixer& mixer = DeviceMixer();
    mixer.SetConcurrent(false);
    mixer.SetFormat(MixFormat{});
    if (Device.hooks.formatChanged) Device.hooks.formatChanged(mixer.Format());
    mixer.SetConcurrent(concurrent);
    Device.open = true;
    sequencer::SetMixed(true);
}

void DetachAudioDevice() {
    sequencer::SetMixed(false);
    Mixer& mixer = DeviceMixer();
    mixer.SetConcurrent(false);
    mixer.ReleaseAll();
    Device = DeviceState{};
}

}  // namespace soft

using soft::Device;
using soft::DeviceMixer;

bool AudioDeviceOpen() {
    return Device.open;
}

int32_t SetOutputFormat(const WaveFormat& format) {
    if (!Device.open) return kAudioNoDevice;
    if (!soft::MixableOutputFormat(format)) return kAudioBadFormat;
    soft::MixFormat mix{format.samplesPerSec, format.channels, format.bitsPerSample};
    if (Device.hooks.lock) Device.hooks.lock();
    DeviceMixer().SetFormat(mix);
    if (Device.hooks.formatChanged) Device.hooks.formatChanged(mix);
    if (Device.hooks.unlock) Device.hooks.unlock();
    return kAudioOk;
}

WaveFormat OutputFormat() {
    const soft::MixFormat& mix = DeviceMixer().Format();
    WaveFormat format;
    format.channels = mix.channels;
    format.samplesPerSec = mix.rate;
    format.bitsPerSample = mix.bits;
    format.blockAlign = static_cast<uint16_t>(mix.BlockAlign());
    format.avgBytesPerSec = mix.rate * mix.BlockAlign();
    return format;
}

int32_t CreateSoundBuffer(const WaveFormat& format, uint32_t bytes, SoundBuffer* buffer) {
    if (buffer != nullptr) *buffer = 0;
    if (!Device.open) return kAudioNoDevice;
    return DeviceMixer().Create(format, bytes, buffer);
}

void ReleaseSoundBuffer(SoundBuffer buffer) {
    if (Device.open) DeviceMixer().Release(buffer);
}

int32_t LockSoundBuffer(SoundBuffer buffer, uint32_t offset, uint32_t bytes, LockedRegions* regions) {
    if (regions != nullptr) *regions = LockedRegions{};
    if (!Device.open) return kAudioNoDevice;
    return DeviceMixer().Lock(buffer, offset, bytes, regions);
}

void UnlockSoundBuffer(SoundBuffer buffer, const LockedRegions& regions) {
    if (Device.open) DeviceMixer().Unlock(buffer, regions);
}

int32_t PlaySoundBuffer(SoundBuffer buffer, bool looping) {
    return Device.open ? DeviceMixer().Play(buffer, looping) : kAudioNoDevice;
}
int32_t StopSoundBuffer(SoundBuffer buffer) {
    return Device.open ? DeviceMixer().Stop(buffer) : kAudioNoDevice;
}
bool SoundBufferPlaying(SoundBuffer buffer) {
    return Device.open && DeviceMixer().Playing(buffer);
}
uint32_t SoundBufferPosition(SoundBuffer buffer) {
    return Device.open ? DeviceMixer().Position(buffer) : 0;
}
int32_t SetSoundBufferPosition(SoundBuffer buffer, uint32_t bytes) {
    return Device.open ? DeviceMixer().SetPosition(buffer, bytes) : kAudioNoDevice;
}
int32_t SetSoundBufferVolume(SoundBuffer buffer, int32_t volume) {
    return Device.open ? DeviceMixer().SetVolume(buffer, volume) : kAudioNoDevice;
}
int32_t SoundBufferVolume(SoundBuffer buffer) {
    return Device.open ? DeviceMixer().Volume(buffer) : 0;
}
int32_t SetSoundBufferPan(SoundBuffer buffer, int32_t pan) {
    return Device.open ? DeviceMixer().SetPan(buffer, pan) : kAudioNoDevice;
}
int32_t SoundBufferPan(SoundBuffer buffer) {
    return Device.open ? DeviceMixer().Pan(buffer) : 0;
}
int32_t SetSoundBufferFrequency(SoundBuffer buffer, uint32_t hertz) {
    return Device.open ? DeviceMixer().SetFrequency(buffer, hertz) : kAudioNoDevice;
}
uint32_t SoundBufferFrequency(SoundBuffer buffer) {
    return Device.open ? DeviceMixer().Frequency(buffer) : 0;
}

}  // namespace platform
