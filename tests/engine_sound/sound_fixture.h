// elSound on the headless audio device, with a program folder of its own for WAVE files and packs.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound/elsound.h"
#include "engine/sound/wave_pack.h"
#include "engine/system/error_report.h"
#include "engine/system/frame_pacing.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/soft/audio_device.h"
#include "tests/engine_sound/wave_builder.h"

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::headless::Reset();
        platform::CloseAudioDevice();
        platform::headless::Audio = platform::headless::HeadlessAudio{};
        SoundDevice = SoundDeviceState{};
        SoundObjects = SoundObjectTable{};
        Errors = ErrorState{};
        folder = std::filesystem::temp_directory_path() /
                 ("el_sound_test_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        std::string program = (folder / "program").string();
        for (char& c : program)
            if (c == '/') c = '\\';
        platform::SetModuleFileNameForTesting(program.c_str());
    }
    void TearDown() override {
        elSound::Release();
        platform::CloseAudioDevice();
        platform::SetModuleFileNameForTesting("");
        std::filesystem::remove_all(folder);
    }

    // The bytes of copy 0 of a loaded object.
    static std::vector<uint8_t> CopyBytes(SoundNo number) {
        const platform::SoundBuffer buffer = SoundObjects.objects[number].copies[0].buffer;
        platform::LockedRegions regions;
        if (platform::LockSoundBuffer(buffer, 0, 0, &regions) != platform::kAudioOk) return {};
        const uint8_t* first = static_cast<const uint8_t*>(regions.first);
        std::vector<uint8_t> bytes(first, first + regions.firstBytes);
        platform::UnlockSoundBuffer(buffer, regions);
        return bytes;
    }
    // The record names of a WAVE pack, in file order.
    static std::vector<std::string> PackEntries(const std::filesystem::path& pack) {
        std::vector<std::string> names;
        FILE* file = std::fopen(pack.c_str(), "rb");
        if (file == nullptr) return names;
        PackRecord record;
        while (ReadPackRecordHeader(file, &record)) {
            names.push_back(record.name);
            if (!SkipPackRecord(file, record)) break;
        }
        std::fclose(file);
        return names;
    }

    // The device as the display set-up opens it.
    void OpenDevice() {
        ASSERT_EQ(elSound::Init(), 1);
        ResetSoundObjects();
    }

    void WriteWave(const std::string& name, int channels, uint32_t rate, int bits,
                   const std::vector<uint8_t>& data) {
        std::filesystem::create_directories((folder / name).parent_path());
        ASSERT_TRUE(
            wavetest::WriteBytes((folder / name).string(), wavetest::WaveFile(channels, rate, bits, data)));
    }
    // A short mono 16-bit sound at 22050 Hz.
    void WriteShortWave(const std::string& name, size_t frames = 441) {
        WriteWave(name, 1, 22050, 16, wavetest::Samples16(wavetest::Sine(441.0, 22050, frames, 8000.0)));
    }

    std::string LastMessage() const {
        const auto& boxes = platform::headless::Headless.messageBoxes;
        return boxes.empty() ? std::string() : boxes.back().text;
    }
    size_t MessageCount() const { return platform::headless::Headless.messageBoxes.size(); }

    // Renders frames of the mix (interleaved 16-bit samples at the output format).
    std::vector<int16_t> Render(uint32_t frames) {
        const uint32_t channels = platform::OutputFormat().channels;
        std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
        platform::headless::RenderAudio(out.data(), frames);
        return out;
    }

    bool CopyPlaying(SoundNo number, int copy) const {
        return platform::SoundBufferPlaying(SoundObjects.objects[number].copies[copy].buffer);
    }

    std::filesystem::path folder;
};
