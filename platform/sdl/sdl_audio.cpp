// The SDL backend's audio device: SDL's callback thread pulls the mixer at 48000 Hz, 16-bit stereo;
// a mix in another format is converted on the way. Also the blocking player and the beep.
#include <SDL.h>
#include <dlfcn.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/soft/audio_device.h"
#include "platform/soft/output_converter.h"

namespace platform {

namespace {

constexpr int kDeviceRate = 48000;
constexpr Uint16 kDevicePeriod = 512;  // frames per callback

// One open SDL device and the mixer it pulls.
struct Output {
    SDL_AudioDeviceID id = 0;
    soft::Mixer* mixer = nullptr;
    soft::OutputConverter converter;
    uint32_t period = 0;
};

Output DeviceOutput;
SoundBuffer BeepBuffer = 0;

void Callback(void* user, Uint8* stream, int len) {
    Output* output = static_cast<Output*>(user);
    output->converter.Render(*output->mixer, reinterpret_cast<int16_t*>(stream),
                             static_cast<uint32_t>(len) / 4);
}

// Why the device could not be opened, for the player; said once on standard error.
std::string DeviceProblem;
bool ProblemReported = false;

void NoteDeviceProblem(const char* what) {
    const char* detail = SDL_GetError();
    DeviceProblem = what;
    if (detail != nullptr && detail[0] != '\0') DeviceProblem += std::string(" (") + detail + ")";
    if (ProblemReported) return;
    ProblemReported = true;
    std::fprintf(stderr, "%s: sound is off: %s\n", program_invocation_short_name, DeviceProblem.c_str());
}

// The sound library under SDL writes its own diagnostics on standard error when it finds no card
// (eight lines for one failed open). The program says once, in its own words, that sound is off,
// so those lines are routed nowhere. The library stays loaded, so the handler outlives SDL's use.
void SilentSoundLibraryHandler(const char*, int, const char*, int, const char*, ...) {}

void QuietSoundLibrary() {
    static bool done = false;
    if (done) return;
    done = true;
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"));
    if (set != nullptr) set(SilentSoundLibraryHandler);
}

// SDL's audio part, started once and kept until SDL itself is shut down: stopping it waits for its
// device-watching thread, which sleeps 100 ms at a time, and a start-up without a sound device
// would otherwise pay that before its first frame.
bool StartAudioSubsystem() {
    QuietSoundLibrary();
    return SDL_WasInit(SDL_INIT_AUDIO) != 0 || SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

// Opens a device (paused) for `mixer`; false when SDL has no audio device to give.
bool OpenOutput(Output& output, soft::Mixer& mixer) {
    if (!StartAudioSubsystem()) return false;
    output.mixer = &mixer;
    output.converter.Configure(mixer.Format(), kDeviceRate);
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDevicePeriod;
    want.callback = Callback;
    want.userdata = &output;
    SDL_AudioSpec have{};
    output.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (output.id == 0) return false;
    output.period = have.samples;
    return true;
}

void CloseOutput(Output& output) {
    if (output.id == 0) return;
    SDL_CloseAudioDevice(output.id);  // waits for the callback thread to end
    output.id = 0;
}

void LockDevice() {
    SDL_LockAudioDevice(DeviceOutput.id);
}
void UnlockDevice() {
    SDL_UnlockAudioDevice(DeviceOutput.id);
}
void DeviceFormatChanged(const soft::MixFormat& format) {
    DeviceOutput.converter.Configure(format, kDeviceRate);
}

}  // namespace

bool OpenAudioDevice() {
    if (AudioDeviceOpen()) return true;
    if (!StartAudioSubsystem()) {
        NoteDeviceProblem("no sound system could be started");
        return false;
    }
    if (!OpenOutput(DeviceOutput, soft::DeviceMixer())) {
        NoteDeviceProblem("no sound device could be opened");
        return false;
    }
    DeviceProblem.clear();
    soft::AudioBackendHooks hooks;
    hooks.lock = LockDevice;
    hooks.unlock = UnlockDevice;
    hooks.formatChanged = DeviceFormatChanged;
    soft::AttachAudioDevice(hooks, true);
    SDL_PauseAudioDevice(DeviceOutput.id, 0);
    return true;
}

void CloseAudioDevice() {
    if (!AudioDeviceOpen()) return;
    CloseOutput(DeviceOutput);
    soft::DetachAudioDevice();
    BeepBuffer = 0;
}

bool PlayWaveFileSync(const char* path) {
    if (path == nullptr) return false;
    WaveFile wave;
    if (ReadWaveFile(path, &wave) != WaveError::kNone || !PlayableFormat(wave.format)) return false;
    const uint32_t bytes =
        static_cast<uint32_t>(wave.data.size() - wave.data.size() % wave.format.blockAlign);
    auto mixer = std::make_unique<soft::Mixer>();
    SoundBuffer buffer = 0;
    if (mixer->Create(wave.format, bytes, &buffer) != kAudioOk) return false;
    LockedRegions regions;
    mixer->Lock(buffer, 0, 0, &regions);
    std::memcpy(regions.first, wave.data.data(), regions.firstBytes);
    mixer->Unlock(buffer, regions);
    auto output = std::make_unique<Output>();
    if (!OpenOutput(*output, *mixer)) return false;
    mixer->SetConcurrent(true);
    mixer->Play(buffer, false);
    SDL_PauseAudioDevice(output->id, 0);
    while (mixer->Playing(buffer)) SDL_Delay(5);
    // Let the device play out the last periods it was given.
    SDL_Delay(2 * output->period * 1000 / kDeviceRate + 10);
    CloseOutput(*output);
    mixer->SetConcurrent(false);
    return true;
}

const char* AudioDeviceProblem() {
    return DeviceProblem.c_str();
}

namespace sdl {

void QuietSoundLibraryMessages() {
    QuietSoundLibrary();
}

bool BeepThroughMixer() {
    if (!AudioDeviceOpen()) return false;
    if (BeepBuffer == 0) {
        // The same short tone as the stand-alone beep, as a buffer of the mixer.
        WaveFormat format;
        format.channels = 1;
        format.samplesPerSec = 22050;
        format.bitsPerSample = 16;
        format.blockAlign = 2;
        format.avgBytesPerSec = 44100;
        const uint32_t frames = 22050 / 8;
        if (CreateSoundBuffer(format, frames * 2, &BeepBuffer) != kAudioOk) return false;
        LockedRegions regions;
        if (LockSoundBuffer(BeepBuffer, 0, 0, &regions) != kAudioOk) return false;
        int16_t* tone = static_cast<int16_t*>(regions.first);
        for (uint32_t i = 0; i < frames; ++i) {
            const double fade = 1.0 - static_cast<double>(i) / frames;
            tone[i] = static_cast<int16_t>(4000.0 * fade * std::sin(2.0 * M_PI * 880.0 * i / 22050.0));
        }
        UnlockSoundBuffer(BeepBuffer, regions);
    }
    SetSoundBufferPosition(BeepBuffer, 0);
    return PlaySoundBuffer(BeepBuffer, false) == kAudioOk;
}

uint32_t AudioDevicePeriod() {
    return AudioDeviceOpen() ? DeviceOutput.period : 0;
}

}  // namespace sdl

}  // namespace platform
