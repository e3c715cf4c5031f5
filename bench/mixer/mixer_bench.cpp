// Mixing cost per second of 48000 Hz stereo output for 64 voices of 22050 Hz 16-bit mono sounds,
// each with its own volume and pan, compared like with like:
//   step 1     OurMixer/resample:0 plays every voice at the output rate (no resampling) and
//              SdlMixer has SDL_mixer play the same sounds on 64 channels: SDL_mixer converts each
//              sound to 48000 Hz stereo when it loads it, so while timed it only mixes, with its
//              volume and panning. Neither resamples.
//   resampling OurMixer/resample:1 plays each voice at its own rate (16.5 to 27.4 kHz) and
//              resamples it to 48000 Hz; the anchor SdlStreamsResampling has one SDL audio stream a
//              voice resample its sound from the same rate and adds it with SDL_MixAudioFormat at
//              the voice's volume (SDL has no pan there), all while timed.
// SDL_mixer mixes in the callback it gives SDL_OpenAudioDevice; the benchmark takes that callback
// when the device opens (giving SDL a silent one instead) and calls it on the benchmark's thread.
// Nothing is drawn.
//
// Before the benchmarks: the latency from PlaySoundBuffer to the first rendered sample on the SDL
// device (dummy driver), in device periods. With --write DIR it renders test signals to WAVE files
// there instead; with --fixed SECONDS it only mixes that many seconds of the resampled voices, a
// fixed amount of work for counting instructions.
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/soft/mixer.h"

namespace {

constexpr int kVoices = 64;
constexpr uint32_t kOutputRate = 48000;
constexpr uint32_t kPeriod = 512;
constexpr uint32_t kSoundRate = 22050;
constexpr uint32_t kSoundFrames = kSoundRate;  // one second each

// Captured SDL_mixer callback.
SDL_AudioCallback CapturedCallback = nullptr;
void* CapturedUser = nullptr;
bool Capture = false;

void SilentCallback(void*, Uint8* stream, int len) {
    std::memset(stream, 0, static_cast<size_t>(len));
}

struct VoiceSetting {
    uint32_t hertz;
    int32_t volume;  // hundredths of a dB
    int32_t pan;
};

VoiceSetting Setting(int i) {
    return {static_cast<uint32_t>(kSoundRate * (0.75 + i / 128.0)), -(i * 37) % 2000,
            (i * 311) % 20001 - 10000};
}

// Sound i: a tone with a few harmonics, different for every voice.
std::vector<int16_t> Sound(int i) {
    std::vector<int16_t> s(kSoundFrames);
    const double f = 110.0 * (1 + i % 12) + 3 * i;
    for (uint32_t n = 0; n < kSoundFrames; ++n) {
        const double t = static_cast<double>(n) / kSoundRate;
        s[n] =
            static_cast<int16_t>(6000 * std::sin(2 * M_PI * f * t) + 2000 * std::sin(2 * M_PI * 3 * f * t));
    }
    return s;
}

std::vector<uint8_t> WaveImage(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate) {
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
    put16(22, channels);
    put32(24, rate);
    put32(28, rate * channels * 2);
    put16(32, channels * 2);
    put16(34, 16);
    std::memcpy(out.data() + 36, "data", 4);
    put32(40, data);
    std::memcpy(out.data() + 44, samples.data(), data);
    return out;
}

platform::WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    platform::WaveFormat f;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

platform::SoundBuffer Load(platform::soft::Mixer& mixer, const std::vector<int16_t>& samples,
                           uint16_t channels, uint32_t rate) {
    platform::SoundBuffer b = 0;
    mixer.Create(Pcm(channels, rate, 16), static_cast<uint32_t>(samples.size() * 2), &b);
    platform::LockedRegions r;
    mixer.Lock(b, 0, 0, &r);
    std::memcpy(r.first, samples.data(), r.firstBytes);
    mixer.Unlock(b, r);
    return b;
}

// The 64 voices, each with its own frequency (or all at the output rate), volume and pan, looping.
void StartVoices(platform::soft::Mixer& mixer, bool resample) {
    for (int i = 0; i < kVoices; ++i) {
        platform::SoundBuffer b = Load(mixer, Sound(i), 1, kSoundRate);
        const VoiceSetting s = Setting(i);
        mixer.SetFrequency(b, resample ? s.hertz : kOutputRate);
        mixer.SetVolume(b, s.volume);
        mixer.SetPan(b, s.pan);
        mixer.Play(b, true);
    }
}

// One second of output in device periods.
void RenderSecond(platform::soft::Mixer& mixer, std::vector<int16_t>& out) {
    for (uint32_t done = 0; done < kOutputRate; done += kPeriod) {
        mixer.Render(out.data(), std::min(kPeriod, kOutputRate - done));
    }
}

void OurMixer(benchmark::State& state) {
    platform::soft::Mixer mixer;
    const bool resample = state.range(0) != 0;
    StartVoices(mixer, resample);
    std::vector<int16_t> out(kPeriod * 2);
    for (auto _ : state) {
        RenderSecond(mixer, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(resample
                       ? "ours: 64 voices resampled from their own rates, volume and pan; "
                         "compare with SdlStreamsResampling"
                       : "ours: 64 voices at step 1 (no resampling), volume and pan; compare with SdlMixer");
}

// A fixed amount of the same work, without the timing loop: for counting instructions
// (valgrind --tool=callgrind bench_mixer --fixed SECONDS).
void FixedRun(int seconds) {
    platform::soft::Mixer mixer;
    StartVoices(mixer, true);
    std::vector<int16_t> out(kPeriod * 2);
    int64_t sum = 0;
    for (int s = 0; s < seconds; ++s) {
        RenderSecond(mixer, out);
        for (int16_t v : out) sum += v;
    }
    std::printf("rendered %d s of 64 resampled voices (checksum %lld)\n", seconds,
                static_cast<long long>(sum));
}

void SdlMixer(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        state.SkipWithError("no SDL audio");
        return;
    }
    Capture = true;
    const int opened = Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, 2, kPeriod);
    Capture = false;
    if (opened != 0 || CapturedCallback == nullptr) {
        state.SkipWithError("SDL_mixer did not open");
        SDL_Quit();
        return;
    }
    Mix_AllocateChannels(kVoices);
    std::vector<Mix_Chunk*> chunks;
    for (int i = 0; i < kVoices; ++i) {
        const std::vector<uint8_t> image = WaveImage(Sound(i), 1, kSoundRate);
        Mix_Chunk* chunk =
            Mix_LoadWAV_RW(SDL_RWFromConstMem(image.data(), static_cast<int>(image.size())), 1);
        chunks.push_back(chunk);
        const VoiceSetting s = Setting(i);
        const double gain = std::pow(10.0, s.volume / 2000.0);
        const double left = std::pow(10.0, -std::max(s.pan, 0) / 2000.0);
        const double right = std::pow(10.0, std::min(s.pan, 0) / 2000.0);
        Mix_Volume(i, static_cast<int>(std::lrint(128 * gain)));
        Mix_SetPanning(i, static_cast<Uint8>(std::lrint(255 * left)),
                       static_cast<Uint8>(std::lrint(255 * right)));
        Mix_PlayChannel(i, chunk, -1);
    }
    std::vector<int16_t> out(kPeriod * 2);
    for (auto _ : state) {
        for (uint32_t done = 0; done < kOutputRate; done += kPeriod) {
            const uint32_t n = std::min(kPeriod, kOutputRate - done);
            CapturedCallback(CapturedUser, reinterpret_cast<Uint8*>(out.data()), static_cast<int>(n * 4));
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(
        "SDL_mixer: sounds converted to 48000 Hz stereo at load, step 1 (no resampling), volume "
        "and pan; compare with OurMixer/resample:0");
    Mix_HaltChannel(-1);
    for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
    Mix_CloseAudio();
    SDL_Quit();
}

// The resampling anchor: per voice an SDL audio stream from the voice's rate (mono) to 48000 Hz
// stereo, fed from the looping sound as it asks, and SDL_MixAudioFormat at the voice's volume.
void SdlStreamsResampling(benchmark::State& state) {
    struct Voice {
        SDL_AudioStream* stream = nullptr;
        std::vector<int16_t> sound;
        size_t at = 0;
        int volume = 0;
    };
    std::vector<Voice> voices(kVoices);
    for (int i = 0; i < kVoices; ++i) {
        const VoiceSetting s = Setting(i);
        voices[i].stream = SDL_NewAudioStream(AUDIO_S16SYS, 1, static_cast<int>(s.hertz), AUDIO_S16SYS, 2,
                                              static_cast<int>(kOutputRate));
        if (voices[i].stream == nullptr) {
            state.SkipWithError("no SDL audio stream");
            for (Voice& v : voices)
                if (v.stream != nullptr) SDL_FreeAudioStream(v.stream);
            return;
        }
        voices[i].sound = Sound(i);
        voices[i].volume =
            static_cast<int>(std::lrint(SDL_MIX_MAXVOLUME * std::pow(10.0, s.volume / 2000.0)));
    }
    constexpr size_t kFeed = 256;  // source frames put at a time
    std::vector<int16_t> out(kPeriod * 2), piece(kPeriod * 2);
    for (auto _ : state) {
        for (uint32_t done = 0; done < kOutputRate; done += kPeriod) {
            const uint32_t n = std::min(kPeriod, kOutputRate - done);
            const int bytes = static_cast<int>(n * 4);
            std::fill(out.begin(), out.begin() + n * 2, 0);
            for (Voice& v : voices) {
                while (SDL_AudioStreamAvailable(v.stream) < bytes) {
                    const size_t take = std::min(kFeed, v.sound.size() - v.at);
                    SDL_AudioStreamPut(v.stream, v.sound.data() + v.at, static_cast<int>(take * 2));
                    v.at = (v.at + take) % v.sound.size();
                }
                SDL_AudioStreamGet(v.stream, piece.data(), bytes);
                SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()),
                                   reinterpret_cast<const Uint8*>(piece.data()), AUDIO_S16SYS,
                                   static_cast<Uint32>(bytes), v.volume);
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(
        "SDL streams: 64 voices resampled from their own rates, volume only (no pan); compare "
        "with OurMixer/resample:1");
    for (Voice& v : voices) SDL_FreeAudioStream(v.stream);
}

BENCHMARK(OurMixer)->Arg(1)->Arg(0)->ArgName("resample")->Unit(benchmark::kMillisecond);
BENCHMARK(SdlMixer)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlStreamsResampling)->Unit(benchmark::kMillisecond);

// Latency on the SDL device: from PlaySoundBuffer to the first rendered frame (the position moves
// once the callback has rendered it), in device periods.
void MeasureLatency() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!platform::OpenAudioDevice()) {
        std::printf("latency: no audio device\n");
        return;
    }
    const uint32_t period = platform::sdl::AudioDevicePeriod();
    const double periodUs = 1e6 * period / kOutputRate;
    platform::SoundBuffer b = 0;
    std::vector<int16_t> tone(48000, 1000);
    platform::CreateSoundBuffer(Pcm(1, 48000, 16), static_cast<uint32_t>(tone.size() * 2), &b);
    std::vector<double> periods;
    uint32_t seed = 1;
    for (int trial = 0; trial < 60; ++trial) {
        platform::StopSoundBuffer(b);
        platform::SetSoundBufferPosition(b, 0);
        seed = seed * 1103515245 + 12345;
        std::this_thread::sleep_for(std::chrono::microseconds(20000 + (seed >> 8) % 11000));
        const auto t0 = std::chrono::steady_clock::now();
        platform::PlaySoundBuffer(b, false);
        while (platform::SoundBufferPosition(b) == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        periods.push_back(us / periodUs);
    }
    platform::CloseAudioDevice();
    std::sort(periods.begin(), periods.end());
    double mean = 0;
    for (double p : periods) mean += p / periods.size();
    std::printf(
        "latency Play -> first rendered sample, %u-frame periods (dummy driver, %zu trials): "
        "mean %.2f, median %.2f, 90%% %.2f, max %.2f\n",
        period, periods.size(), mean, periods[periods.size() / 2], periods[periods.size() * 9 / 10],
        periods.back());
}

void WriteWave(const std::string& path, const std::vector<int16_t>& samples, uint16_t channels,
               uint32_t rate) {
    const std::vector<uint8_t> image = WaveImage(samples, channels, rate);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
    std::printf("wrote %s\n", path.c_str());
}

// Renders test signals through the mixer to WAVE files in `folder`.
void WriteRenders(const std::string& folder) {
    using platform::soft::Mixer;
    auto render = [](Mixer& mixer, uint32_t frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * mixer.Format().channels);
        mixer.Render(out.data(), frames);
        return out;
    };
    auto sine = [](uint32_t frames, double hz, uint32_t rate, double amp) {
        std::vector<int16_t> s(frames);
        for (uint32_t n = 0; n < frames; ++n)
            s[n] = static_cast<int16_t>(std::lrint(amp * std::sin(2 * M_PI * hz * n / rate)));
        return s;
    };
    {
        // 1 kHz at 22050 Hz, 3 s, to 48000 Hz stereo.
        Mixer mixer;
        platform::SoundBuffer b = Load(mixer, sine(3 * 22050, 1000, 22050, 16000), 1, 22050);
        mixer.Play(b, false);
        WriteWave(folder + "/sine1k_22050_to_48000.wav", render(mixer, 3 * 48000), 2, 48000);
    }
    {
        // The same at volume -600 and pan +1200 (left attenuated by 12 dB).
        Mixer mixer;
        platform::SoundBuffer b = Load(mixer, sine(3 * 22050, 1000, 22050, 16000), 1, 22050);
        mixer.SetVolume(b, -600);
        mixer.SetPan(b, 1200);
        mixer.Play(b, false);
        WriteWave(folder + "/sine1k_vol-600_pan+1200.wav", render(mixer, 3 * 48000), 2, 48000);
    }
    {
        // A sweep 100 Hz .. 10 kHz at 22050 Hz, 4 s, to 48000 Hz (imaging of the resampler).
        Mixer mixer;
        std::vector<int16_t> sweep(4 * 22050);
        double phase = 0;
        for (size_t n = 0; n < sweep.size(); ++n) {
            const double f = 100.0 * std::pow(100.0, static_cast<double>(n) / sweep.size());
            phase += 2 * M_PI * f / 22050;
            sweep[n] = static_cast<int16_t>(std::lrint(16000 * std::sin(phase)));
        }
        platform::SoundBuffer b = Load(mixer, sweep, 1, 22050);
        mixer.Play(b, false);
        WriteWave(folder + "/sweep_22050_to_48000.wav", render(mixer, 4 * 48000), 2, 48000);
    }
    {
        // 1 kHz mixed at 22050 Hz mono 8 bits, rendered as 16-bit samples.
        Mixer mixer;
        mixer.SetFormat({22050, 1, 8});
        platform::SoundBuffer b = Load(mixer, sine(3 * 22050, 1000, 22050, 16000), 1, 22050);
        mixer.Play(b, false);
        std::vector<uint8_t> bytes(3 * 22050);
        mixer.Render(bytes.data(), 3 * 22050);
        std::vector<int16_t> wide(bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i) wide[i] = static_cast<int16_t>((bytes[i] - 128) * 256);
        WriteWave(folder + "/sine1k_mix_22050_mono_8bit.wav", wide, 1, 22050);
    }
    {
        // 441 Hz at 22050 Hz (50 frames a period) looping over 110 periods, with frequency changes
        // while it plays.
        Mixer mixer;
        platform::SoundBuffer b = Load(mixer, sine(5500, 441, 22050, 12000), 1, 22050);
        mixer.Play(b, true);
        std::vector<int16_t> all;
        for (uint32_t hz : {22050u, 33075u, 11025u, 44100u}) {
            mixer.SetFrequency(b, hz);
            std::vector<int16_t> part = render(mixer, 48000);
            all.insert(all.end(), part.begin(), part.end());
        }
        WriteWave(folder + "/loop441_frequency_steps.wav", all, 2, 48000);
    }
    {
        // A loud 1 kHz sine (0.8 of full scale) at the output rate, stopped at a crest a quarter
        // second in, then started again from its beginning and stopped at a crest once more.
        Mixer mixer;
        platform::SoundBuffer b = Load(mixer, sine(48000, 1000, 48000, 0.8 * 32767), 1, 48000);
        mixer.Play(b, true);
        std::vector<int16_t> all = render(mixer, 12012);
        mixer.Stop(b);
        std::vector<int16_t> part = render(mixer, 12000);
        all.insert(all.end(), part.begin(), part.end());
        mixer.SetPosition(b, 0);  // from its start, which is silent
        mixer.Play(b, true);
        part = render(mixer, 12012);
        all.insert(all.end(), part.begin(), part.end());
        mixer.Stop(b);
        part = render(mixer, 12000);
        all.insert(all.end(), part.begin(), part.end());
        WriteWave(folder + "/stop_loud_sine.wav", all, 2, 48000);
    }
}

}  // namespace

// Takes SDL_mixer's callback while Capture is set; every other caller gets SDL's own device as asked.
extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture,
                                                 const SDL_AudioSpec* desired, SDL_AudioSpec* obtained,
                                                 int allowed_changes) {
    using Open = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const Open real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "SDL_OpenAudioDevice"));
    SDL_AudioSpec spec = *desired;
    if (Capture) {
        CapturedCallback = desired->callback;
        CapturedUser = desired->userdata;
        spec.callback = SilentCallback;
        spec.userdata = nullptr;
        allowed_changes = 0;  // SDL_mixer's callback then mixes in exactly the format it asked for
    }
    return real(device, iscapture, &spec, obtained, allowed_changes);
}

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--write") == 0) {
            WriteRenders(argv[i + 1]);
            return 0;
        }
        if (std::strcmp(argv[i], "--fixed") == 0) {
            FixedRun(std::atoi(argv[i + 1]));
            return 0;
        }
    }
    MeasureLatency();
    std::printf(
        "each iteration: %d voices of 22050 Hz 16-bit mono, one second of %u Hz stereo output in "
        "%u-frame periods\n",
        kVoices, kOutputRate, kPeriod);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
