// The mixer's rows of bench_compare: 256 looping mono 16-bit voices, each with its own volume and
// pan, mixed into 48000 Hz stereo 16-bit, 4800 frames (0.1 s) a call. Ours against OpenAL Soft,
// rendered offline through its loopback device with the resampler chosen per source (band-limited
// sincs of 12 and 24 taps while resampling, nearest at the output rate), and against SDL_mixer,
// whose mixing callback is taken when it opens the device (a silent one is given to SDL instead)
// and called here; then our instruction-set levels against the baseline's loops. The voices read
// 16.5 to 27.5 kHz sounds (our kernel for reading slower: 32 taps), or sounds at 48000 Hz (read
// one frame per frame: copied). Anchors with a rule of their own (3D panning, their filters) are
// not compared sample by sample; our levels are.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/compare/compare_common.h"
#include "platform/audio.h"
#include "platform/blit.h"
#include "platform/soft/mixer.h"

#if EL_COMPARE_OPENAL
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#endif
#if EL_COMPARE_SDL_MIXER
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#endif

namespace {

using compare::Row;
using compare::Time;
using compare::Timing;
using platform::BlitLevel;

constexpr int kVoices = 256;
constexpr uint32_t kRate = 48000;
constexpr uint32_t kSoundRate = 22050;
constexpr uint32_t kSoundFrames = kSoundRate;  // one second each
constexpr uint32_t kCallFrames = 4800;
constexpr double kCallSeconds = static_cast<double>(kCallFrames) / kRate;

struct Setting {
    uint32_t hertz;
    int32_t volume;  // hundredths of a dB
    int32_t pan;
};

// Voice i's rate when resampled, its volume and its pan.
Setting SettingOf(int i) {
    return {static_cast<uint32_t>(kSoundRate * (0.75 + (i % 128) / 256.0 + (i / 128) / 512.0)),
            -(i * 37) % 2000, (i * 311) % 20001 - 10000};
}

// Sound i: a tone with a few harmonics, different for every voice.
std::vector<int16_t> Sound(int i) {
    std::vector<int16_t> s(kSoundFrames);
    const double f = 110.0 * (1 + i % 12) + 3 * i;
    for (uint32_t n = 0; n < kSoundFrames; ++n) {
        const double t = static_cast<double>(n) / kSoundRate;
        s[n] =
            static_cast<int16_t>(3000 * std::sin(2 * M_PI * f * t) + 1000 * std::sin(2 * M_PI * 3 * f * t));
    }
    return s;
}

// The rate voice i plays at: its own when resampled, else the output's.
uint32_t HertzOf(int i, bool atRate) {
    return atRate ? kRate : SettingOf(i).hertz;
}

struct Ours {
    platform::soft::Mixer mixer;
    std::vector<int16_t> out = std::vector<int16_t>(kCallFrames * 2);
    explicit Ours(bool atRate) {
        for (int i = 0; i < kVoices; ++i) {
            const std::vector<int16_t> sound = Sound(i);
            platform::WaveFormat f;
            f.formatTag = 1;
            f.channels = 1;
            f.samplesPerSec = HertzOf(i, atRate);
            f.bitsPerSample = 16;
            f.blockAlign = 2;
            f.avgBytesPerSec = f.samplesPerSec * 2;
            platform::SoundBuffer b = 0;
            if (mixer.Create(f, kSoundFrames * 2, &b) != platform::kAudioOk) std::abort();
            platform::LockedRegions r;
            mixer.Lock(b, 0, 0, &r);
            std::memcpy(r.first, sound.data(), r.firstBytes);
            mixer.Unlock(b, r);
            const Setting s = SettingOf(i);
            mixer.SetVolume(b, s.volume);
            mixer.SetPan(b, s.pan);
            mixer.Play(b, true);
        }
    }
    void Call() { mixer.Render(out.data(), kCallFrames); }
};

std::string PerVoice(const Timing& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f us a voice per second", t.median * 1e3 / kVoices / kCallSeconds);
    return text;
}

#if EL_COMPARE_OPENAL
// OpenAL Soft on a loopback device of the same format, one source a voice, its buffer at the
// voice's rate, positioned left to right for the pan, no distance attenuation.
struct OpenAl {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<ALuint> sources, buffers;
    std::vector<int16_t> out = std::vector<int16_t>(kCallFrames * 2);
    LPALCRENDERSAMPLESSOFT render = nullptr;
    std::string resamplerName;

    // Resampler: the first whose name holds `resampler`.
    bool Open(const char* resampler, bool atRate) {
        auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        if (open == nullptr || render == nullptr) return false;
        device = open(nullptr);
        if (device == nullptr) return false;
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_SHORT_SOFT,
                                     ALC_FREQUENCY,
                                     static_cast<ALCint>(kRate),
                                     ALC_MONO_SOURCES,
                                     kVoices + 16,
                                     ALC_STEREO_SOURCES,
                                     4,
                                     ALC_HRTF_SOFT,
                                     ALC_FALSE,
                                     0};
        context = alcCreateContext(device, attributes);
        if (context == nullptr || !alcMakeContextCurrent(context)) return false;
        auto nameOf = reinterpret_cast<LPALGETSTRINGISOFT>(alGetProcAddress("alGetStringiSOFT"));
        if (nameOf == nullptr) return false;
        const ALint count = alGetInteger(AL_NUM_RESAMPLERS_SOFT);
        ALint chosen = -1;
        for (ALint r = 0; r < count && chosen < 0; ++r) {
            const char* name = nameOf(AL_RESAMPLER_NAME_SOFT, r);
            if (name != nullptr && std::strstr(name, resampler) != nullptr) {
                chosen = r;
                resamplerName = name;
            }
        }
        if (chosen < 0) return false;
        alDistanceModel(AL_NONE);
        sources.resize(kVoices);
        buffers.resize(kVoices);
        alGenSources(kVoices, sources.data());
        alGenBuffers(kVoices, buffers.data());
        if (alGetError() != AL_NO_ERROR) return false;
        for (int i = 0; i < kVoices; ++i) {
            const std::vector<int16_t> sound = Sound(i);
            const Setting s = SettingOf(i);
            alBufferData(buffers[i], AL_FORMAT_MONO16, sound.data(), static_cast<ALsizei>(sound.size() * 2),
                         static_cast<ALsizei>(HertzOf(i, atRate)));
            const ALuint src = sources[i];
            alSourcei(src, AL_BUFFER, static_cast<ALint>(buffers[i]));
            alSourcei(src, AL_LOOPING, AL_TRUE);
            alSourcei(src, AL_SOURCE_RELATIVE, AL_TRUE);
            alSourcei(src, AL_SOURCE_RESAMPLER_SOFT, chosen);
            const float x = static_cast<float>(s.pan) / 10000.0f;
            alSource3f(src, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
            alSourcef(src, AL_GAIN, static_cast<float>(std::pow(10.0, s.volume / 2000.0)));
        }
        alSourcePlayv(kVoices, sources.data());
        return alGetError() == AL_NO_ERROR;
    }
    void Call() { render(device, out.data(), kCallFrames); }
    ~OpenAl() {
        if (context != nullptr) {
            alcMakeContextCurrent(context);
            if (!sources.empty()) alDeleteSources(kVoices, sources.data());
            if (!buffers.empty()) alDeleteBuffers(kVoices, buffers.data());
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device != nullptr) alcCloseDevice(device);
    }
};

void OpenAlRow(const char* name, const char* anchorName, const char* resampler, bool atRate,
               int repetitions) {
    Ours ours(atRate);
    OpenAl theirs;
    if (!theirs.Open(resampler, atRate)) {
        std::printf("%-36s     OpenAL Soft: no loopback device or no resampler \"%s\"\n", name, resampler);
        return;
    }
    Timing o, a;
    Time(
        repetitions, 5, [&] { ours.Call(); }, [&] { theirs.Call(); }, o, a);
    Row(name, anchorName, 16, o, a, "own rule (" + theirs.resamplerName + "); ours " + PerVoice(o));
}
#endif

#if EL_COMPARE_SDL_MIXER
SDL_AudioCallback capturedCallback = nullptr;
void* capturedUser = nullptr;
bool capture = false;

void SilentCallback(void*, Uint8* stream, int len) {
    std::memset(stream, 0, static_cast<size_t>(len));
}

std::vector<uint8_t> WaveImage(const std::vector<int16_t>& samples, uint32_t rate) {
    const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out(44 + data);
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = v & 0xFF;
        out[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    std::memcpy(out.data(), "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(out.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, rate);
    put32(28, rate * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(out.data() + 36, "data", 4);
    put32(40, data);
    std::memcpy(out.data() + 44, samples.data(), data);
    return out;
}

// SDL_mixer playing the same sounds at 48000 Hz on 256 channels with the same volumes and pans.
void SdlMixerRow(int repetitions) {
    const char* name = "Mixer 256 voices at 48 kHz (copy)";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::printf("%-36s     SDL_mixer: no SDL audio\n", name);
        return;
    }
    capture = true;
    const int opened = Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 512);
    capture = false;
    if (opened != 0 || capturedCallback == nullptr) {
        std::printf("%-36s     SDL_mixer did not open\n", name);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(kVoices);
    std::vector<Mix_Chunk*> chunks;
    for (int i = 0; i < kVoices; ++i) {
        const std::vector<uint8_t> image = WaveImage(Sound(i), kRate);
        Mix_Chunk* chunk =
            Mix_LoadWAV_RW(SDL_RWFromConstMem(image.data(), static_cast<int>(image.size())), 1);
        chunks.push_back(chunk);
        const Setting s = SettingOf(i);
        const double gain = std::pow(10.0, s.volume / 2000.0);
        const double left = std::pow(10.0, -std::max(s.pan, 0) / 2000.0);
        const double right = std::pow(10.0, std::min(s.pan, 0) / 2000.0);
        Mix_Volume(i, static_cast<int>(std::lrint(128 * gain)));
        Mix_SetPanning(i, static_cast<Uint8>(std::lrint(255 * left)),
                       static_cast<Uint8>(std::lrint(255 * right)));
        Mix_PlayChannel(i, chunk, -1);
    }
    std::vector<int16_t> out(kCallFrames * 2);
    Ours ours(true);
    Timing o, a;
    Time(
        repetitions, 5, [&] { ours.Call(); },
        [&] {
            capturedCallback(capturedUser, reinterpret_cast<Uint8*>(out.data()),
                             static_cast<int>(kCallFrames * 4));
        },
        o, a);
    Row(name, "SDL_mixer Mix_PlayChannel", 16, o, a, "own rule (8-bit volume, pan); ours " + PerVoice(o));
    Mix_HaltChannel(-1);
    for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
#endif

}  // namespace

#if EL_COMPARE_SDL_MIXER
// SDL_mixer's call to SDL_OpenAudioDevice reaches this definition first (the program exports it).
extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture,
                                                 const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
                                                 int allowed_changes) {
    using Open = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const Open real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "SDL_OpenAudioDevice"));
    SDL_AudioSpec spec = *desired;
    if (capture) {
        capturedCallback = desired->callback;
        capturedUser = desired->userdata;
        spec.callback = SilentCallback;
        spec.userdata = nullptr;
        allowed_changes = 0;  // SDL_mixer's callback then mixes in exactly the format it asked for
    }
    return real(device, iscapture, &spec, obtained, allowed_changes);
}
#endif

void MixerRows(int repetitions) {
    using platform::soft::ActiveMixLevel;
    using platform::soft::SetMixLevel;
    const BlitLevel best = ActiveMixLevel();
#if EL_COMPARE_OPENAL
    OpenAlRow("Mixer 256 voices resampled, 32 taps", "OpenAL Soft bsinc12", "11th order", false, repetitions);
    OpenAlRow("Mixer 256 voices resampled, 32 taps", "OpenAL Soft bsinc24", "23rd order", false, repetitions);
    OpenAlRow("Mixer 256 voices at 48 kHz (copy)", "OpenAL Soft nearest", "Nearest", true, repetitions);
#else
    std::printf("(no OpenAL Soft development files: its rows are left out)\n");
#endif
#if EL_COMPARE_SDL_MIXER
    SdlMixerRow(repetitions);
#else
    std::printf("(no SDL_mixer development files: its row is left out)\n");
#endif
    {
        // Reading at the output rate against reading slower, both ours.
        Ours atRate(true), resampled(false);
        Timing o, a;
        Time(
            repetitions, 5, [&] { atRate.Call(); }, [&] { resampled.Call(); }, o, a);
        Row("Mixer 256 voices at 48 kHz (copy)", "ours resampled, 32 taps", 16, o, a, "ours " + PerVoice(o));
    }
    // Every level the processor has against the baseline's loops, on the same voices.
    for (BlitLevel level : {BlitLevel::AVX2, BlitLevel::AVX512}) {
        if (level > platform::BestBlitLevel()) continue;
        Ours wide(false), base(false);
        Timing o, a;
        Time(
            repetitions, 5,
            [&] {
                SetMixLevel(level);
                wide.Call();
            },
            [&] {
                SetMixLevel(BlitLevel::SSE2);
                base.Call();
            },
            o, a);
        const bool same = wide.out == base.out;
        const std::string name =
            std::string("Mixer 256 resampled, 32 taps, ") + platform::BlitLevelName(level);
        Row(name.c_str(), "ours at sse2", 16, o, a,
            std::string(same ? "same samples" : "DIFFERENT SAMPLES") + "; " + PerVoice(o));
    }
    SetMixLevel(best);
}
