// The headless audio device: the mixer is pulled by the caller, so every sample is heard on demand.
#include <algorithm>
#include <cstring>

#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/soft/audio_device.h"

namespace platform {

namespace headless {

HeadlessAudio Audio;

bool RenderAudioBytes(void* out, uint32_t frames) {
    soft::Mixer& mixer = soft::DeviceMixer();
    if (!AudioDeviceOpen()) {
        std::memset(out, 0, static_cast<size_t>(frames) * mixer.Format().BlockAlign());
        return false;
    }
    mixer.Render(out, frames);
    return true;
}

bool RenderAudio(int16_t* out, uint32_t frames) {
    soft::Mixer& mixer = soft::DeviceMixer();
    const soft::MixFormat format = mixer.Format();
    if (!AudioDeviceOpen()) {
        std::fill_n(out, static_cast<size_t>(frames) * format.channels, int16_t{0});
        return false;
    }
    if (format.bits == 16) {
        mixer.Render(out, frames);
        return true;
    }
    // 8-bit: render in pieces into a small buffer and widen each sample.
    uint8_t bytes[soft::Mixer::kBlockFrames * 2];
    while (frames > 0) {
        const uint32_t n = std::min(frames, soft::Mixer::kBlockFrames);
        mixer.Render(bytes, n);
        for (uint32_t i = 0; i < n * format.channels; ++i) {
            *out++ = static_cast<int16_t>((static_cast<int>(bytes[i]) - 128) * 256);
        }
        frames -= n;
    }
    return true;
}

}  // namespace headless

bool OpenAudioDevice() {
    if (AudioDeviceOpen()) return true;
    if (!headless::Audio.deviceAvailable) return false;
    soft::AttachAudioDevice(soft::AudioBackendHooks{}, false);
    return true;
}

void CloseAudioDevice() {
    if (AudioDeviceOpen()) soft::DetachAudioDevice();
}

const char* AudioDeviceProblem() {
    if (AudioDeviceOpen() || headless::Audio.deviceAvailable) return "";
    return "this run was started without a sound device";
}

bool PlayWaveFileSync(const char* path) {
    if (path == nullptr) return false;
    WaveFile wave;
    if (ReadWaveFile(path, &wave) != WaveError::kNone) return false;
    if (!PlayableFormat(wave.format)) return false;
    const uint32_t bytes =
        static_cast<uint32_t>(wave.data.size() - wave.data.size() % wave.format.blockAlign);
    // A mixer of its own, like a player beside the program's device.
    soft::Mixer mixer;
    SoundBuffer buffer = 0;
    if (mixer.Create(wave.format, bytes, &buffer) != kAudioOk) return false;
    LockedRegions regions;
    mixer.Lock(buffer, 0, 0, &regions);
    std::memcpy(regions.first, wave.data.data(), regions.firstBytes);
    mixer.Unlock(buffer, regions);
    mixer.Play(buffer, false);
    std::vector<int16_t>& render = headless::Audio.lastSyncRender;
    render.clear();
    int16_t block[soft::Mixer::kBlockFrames * 2];
    while (mixer.Playing(buffer)) {
        mixer.Render(block, soft::Mixer::kBlockFrames);
        render.insert(render.end(), block, block + soft::Mixer::kBlockFrames * 2);
    }
    // Up to the frame where the sound ends at the output rate.
    const uint64_t frames = bytes / wave.format.blockAlign;
    const uint64_t heard =
        (frames * mixer.Format().rate + wave.format.samplesPerSec - 1) / wave.format.samplesPerSec;
    render.resize(std::min<size_t>(render.size(), static_cast<size_t>(heard) * 2));
    headless::Audio.syncPlays.emplace_back(path);
    return true;
}

}  // namespace platform
