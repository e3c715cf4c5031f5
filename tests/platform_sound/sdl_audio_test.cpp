// The SDL audio device for real: SDL's dummy driver runs the callback thread while the engine's
// thread works the buffers, and the disk driver records what the device was given.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/sdl/sdl_backend.h"
#include "platform/soft/audio_device.h"
#include "platform/window.h"
#include "sound_test_support.h"

using namespace platform;
using namespace sound_test;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// <chrono> does not build with the system's execution character set; SDL's clock serves.
void SleepMs(int ms) {
    SDL_Delay(static_cast<Uint32>(ms));
}
Uint64 NowMs() {
    return SDL_GetTicks64();
}

// Waits (at most `limitMs`) for `done`.
template <typename F>
bool WaitFor(F done, int limitMs) {
    for (int t = 0; t < limitMs; t += 2) {
        if (done()) return true;
        SleepMs(2);
    }
    return done();
}

std::vector<int16_t> ReadRecording(const std::string& path) {
    std::vector<int16_t> samples;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return samples;
    int16_t block[4096];
    size_t n;
    while ((n = std::fread(block, 2, 4096, f)) > 0) samples.insert(samples.end(), block, block + n);
    std::fclose(f);
    return samples;
}

TEST(SdlAudio, ADriverThatDoesNotWorkMeansNoDevice) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_FALSE(OpenAudioDevice());
    EXPECT_FALSE(AudioDeviceOpen());
    SoundBuffer buffer = 0;
    EXPECT_EQ(CreateSoundBuffer(Pcm(1, 22050, 16), 2, &buffer), kAudioNoDevice);
}

TEST(SdlAudio, TheCallbackThreadPlaysWhileTheEngineChangesEveryBuffer) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    ASSERT_TRUE(OpenAudioDevice());
    const uint32_t period = sdl::AudioDevicePeriod();
    EXPECT_GT(period, 0u);
    EXPECT_LE(period, 1024u);

    // A long looping buffer at the device rate: its position moves by whole periods only.
    SoundBuffer clock = Buffer16(std::vector<int16_t>(48000 * 2, 100), 2, 48000);
    ASSERT_EQ(PlaySoundBuffer(clock, true), kAudioOk);
    // Three moves are watched; the limit only stops a device that never calls back.
    uint32_t last = SoundBufferPosition(clock);
    int moves = 0;
    const Uint64 until = NowMs() + 20000;
    while (moves < 3 && NowMs() < until) {
        const uint32_t now = SoundBufferPosition(clock);
        if (now != last) {
            const uint32_t frames = ((now + 192000 - last) % 192000) / 4;
            EXPECT_EQ(frames % period, 0u) << frames;
            ++moves;
            last = now;
        }
        SleepMs(1);
    }
    EXPECT_GE(moves, 3);

    // The engine's thread hammers the buffers while the callback mixes them.
    std::mt19937 random(7);
    std::vector<SoundBuffer> buffers;
    for (int i = 0; i < 24; ++i) {
        buffers.push_back(Buffer16(Sine(2000 + 100 * i, 300 + 20 * i, 22050, 8000), i % 2 + 1, 22050));
    }
    // A fixed number of operations, a few of them waiting a device period for a lock.
    int operations = 0;
    while (operations < 1500) {
        SoundBuffer& b = buffers[random() % buffers.size()];
        const uint32_t bytes = 2 * (2000 + 100 * static_cast<uint32_t>(&b - buffers.data()));
        switch (random() % 9) {
            case 0:
                EXPECT_EQ(PlaySoundBuffer(b, random() % 2), kAudioOk);
                break;
            case 1:
                EXPECT_EQ(StopSoundBuffer(b), kAudioOk);
                break;
            case 2:
                EXPECT_EQ(SetSoundBufferPosition(b, (random() % bytes) & ~3u), kAudioOk);
                break;
            case 3:
                EXPECT_EQ(SetSoundBufferVolume(b, -static_cast<int32_t>(random() % 10001)), kAudioOk);
                break;
            case 4:
                EXPECT_EQ(SetSoundBufferPan(b, static_cast<int32_t>(random() % 20001) - 10000), kAudioOk);
                break;
            case 5:
                EXPECT_EQ(SetSoundBufferFrequency(b, 100 + random() % 99901), kAudioOk);
                break;
            case 6:
                EXPECT_LE(SoundBufferPosition(b), bytes);
                break;
            case 7: {
                // Rewrite the buffer through a lock while it may be playing.
                LockedRegions r;
                ASSERT_EQ(LockSoundBuffer(b, 0, 0, &r), kAudioOk);
                static_cast<int16_t*>(r.first)[random() % (r.firstBytes / 2)] =
                    static_cast<int16_t>(random());
                UnlockSoundBuffer(b, r);
                break;
            }
            case 8: {
                const uint16_t channels = static_cast<uint16_t>(((&b - buffers.data()) % 2) + 1);
                ReleaseSoundBuffer(b);
                b = 0;
                ASSERT_EQ(CreateSoundBuffer(Pcm(channels, 22050, 16), bytes, &b), kAudioOk);
                break;
            }
        }
        if (++operations % 500 == 0) {
            static const WaveFormat formats[] = {Pcm(1, 22050, 8), Pcm(2, 44100, 16), Pcm(2, 48000, 16)};
            EXPECT_EQ(SetOutputFormat(formats[(operations / 500) % 3]), kAudioOk);
        }
        if (operations % 50 == 0) SleepMs(1);
    }
    CloseAudioDevice();
    EXPECT_FALSE(AudioDeviceOpen());
    EXPECT_EQ(soft::DeviceMixer().BufferCount(), 0);
}

TEST(SdlAudio, TheDiskDriverRecordsEverySampleTheMixerGaveTheDevice) {
    const std::string path = TempPath("el_disk_audio.raw");
    std::remove(path.c_str());
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", path);
    ASSERT_TRUE(OpenAudioDevice());
    // At the device's own format the samples reach the device unchanged.
    std::vector<int16_t> noise(2 * 4000);
    std::mt19937 random(11);
    for (int16_t& s : noise) s = static_cast<int16_t>(static_cast<int>(random() % 40001) - 20000);
    noise[0] = 12345;  // a first sample that is not silence
    SoundBuffer a = Buffer16(noise, 2, 48000);
    ASSERT_EQ(PlaySoundBuffer(a, false), kAudioOk);
    ASSERT_TRUE(WaitFor([&] { return !SoundBufferPlaying(a); }, 20000));
    SleepMs(50);
    CloseAudioDevice();

    const std::vector<int16_t> recorded = ReadRecording(path);
    const auto start = std::find_if(recorded.begin(), recorded.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(start, recorded.end());
    EXPECT_EQ((start - recorded.begin()) % 2, 0);  // on a frame boundary
    ASSERT_GE(recorded.end() - start, static_cast<long>(noise.size()));
    EXPECT_TRUE(std::equal(noise.begin(), noise.end(), start));
    EXPECT_TRUE(std::all_of(start + noise.size(), recorded.end(), [](int16_t s) { return s == 0; }));
    std::remove(path.c_str());
}

TEST(SdlAudio, AnEightBitMonoMixIsConvertedToTheDevicesFormat) {
    const std::string path = TempPath("el_disk_audio_8bit.raw");
    std::remove(path.c_str());
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", path);
    ASSERT_TRUE(OpenAudioDevice());
    ASSERT_EQ(SetOutputFormat(Pcm(1, 22050, 8)), kAudioOk);
    SoundBuffer a = Buffer16(Sine(22050 / 4, 1000, 22050, 16000), 1, 22050);
    ASSERT_EQ(PlaySoundBuffer(a, false), kAudioOk);
    ASSERT_TRUE(WaitFor([&] { return !SoundBufferPlaying(a); }, 20000));
    SleepMs(50);
    CloseAudioDevice();

    const std::vector<int16_t> recorded = ReadRecording(path);
    const std::vector<double> left = Channel(recorded, 2, 0), right = Channel(recorded, 2, 1);
    EXPECT_EQ(left, right);
    const auto start = std::find_if(left.begin(), left.end(), [](double s) { return s != 0; });
    ASSERT_NE(start, left.end());
    const size_t from = static_cast<size_t>(start - left.begin()) + 500;
    ASSERT_GT(left.size(), from + 9600);
    // 250 ms of 1 kHz at 48000 Hz: 200 ms in the middle hold 400 crossings, and the 8-bit steps
    // leave noise well above what 16 bits would (but far below the tone).
    EXPECT_NEAR(ZeroCrossings(left, from, from + 9600), 400, 2);
    std::vector<double> middle(left.begin() + from, left.begin() + from + 9600);
    const double thd = ThdPlusNoiseDb(middle, 1000, 48000);
    EXPECT_LT(thd, -30.0);
    EXPECT_GT(thd, -55.0);
    std::remove(path.c_str());
}

TEST(SdlAudio, PlayWaveFileSyncPlaysTheFileOnItsOwnDevice) {
    const std::string record = TempPath("el_disk_sync.raw");
    std::remove(record.c_str());
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", record);
    // 100 ms of a 48000 Hz stereo ramp in a file.
    std::vector<int16_t> ramp(2 * 4800);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(1 + i % 3000);
    const std::string wav = TempPath("el_sync.wav");
    {
        FILE* f = std::fopen(wav.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const uint32_t data = static_cast<uint32_t>(ramp.size() * 2), riff = 36 + data;
        const uint8_t fmt[16] = {1, 0, 2, 0, 0x80, 0xBB, 0, 0, 0x00, 0xEE, 2, 0, 4, 0, 16, 0};
        const uint32_t sixteen = 16;
        std::fwrite("RIFF", 1, 4, f);
        std::fwrite(&riff, 4, 1, f);
        std::fwrite("WAVEfmt ", 1, 8, f);
        std::fwrite(&sixteen, 4, 1, f);
        std::fwrite(fmt, 1, 16, f);
        std::fwrite("data", 1, 4, f);
        std::fwrite(&data, 4, 1, f);
        std::fwrite(ramp.data(), 2, ramp.size(), f);
        std::fclose(f);
    }
    const Uint64 before = NowMs();
    EXPECT_TRUE(PlayWaveFileSync(wav.c_str()));
    EXPECT_GE(NowMs() - before, 90u);  // it waited
    const std::vector<int16_t> recorded = ReadRecording(record);
    const auto start = std::find_if(recorded.begin(), recorded.end(), [](int16_t s) { return s != 0; });
    ASSERT_GE(recorded.end() - start, static_cast<long>(ramp.size()));
    EXPECT_TRUE(std::equal(ramp.begin(), ramp.end(), start));
    EXPECT_FALSE(PlayWaveFileSync(TempPath("el_absent.wav").c_str()));
    std::remove(wav.c_str());
    std::remove(record.c_str());
}

TEST(SdlAudio, TheBeepPlaysThroughTheMixerWhileTheDeviceIsOpen) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(soft::DeviceMixer().BufferCount(), 0);
    Beep();
    EXPECT_EQ(soft::DeviceMixer().BufferCount(), 1);
    Beep();  // the same buffer again
    EXPECT_EQ(soft::DeviceMixer().BufferCount(), 1);
    CloseAudioDevice();
    EXPECT_EQ(soft::DeviceMixer().BufferCount(), 0);
}

}  // namespace
