// Eight streams of ten seconds (22050 Hz, 16-bit stereo) looping from a pack; per frame of 1/75 s
// the mixer renders and Streaming runs. Prints the CPU time of Streaming per frame (mean, the
// frames that refilled, and the slowest) over 60 s of sound.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound/elsound.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void WriteWave(const std::filesystem::path& path, uint32_t frames, int seed) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    Put32(out, 36 + frames * 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 2);
    Put32(out, 22050);
    Put32(out, 88200);
    Put16(out, 4);
    Put16(out, 16);
    for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, frames * 4);
    for (uint32_t i = 0; i < frames; ++i) {
        Put16(out, static_cast<uint16_t>((i * (seed + 3)) & 0x3FFF));
        Put16(out, static_cast<uint16_t>((i * (seed + 5)) & 0x3FFF));
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
}

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("el_bench_streaming_" + std::to_string(::getpid()));
    fs::create_directories(folder / "waves");
    for (int i = 0; i < 8; ++i)
        WriteWave(folder / "waves" / ("song" + std::to_string(i) + ".wav"), 220500, i);
    std::string program = (folder / "bench").string();
    std::replace(program.begin(), program.end(), '/', '\\');
    platform::SetModuleFileNameForTesting(program.c_str());
    platform::headless::Reset();
    if (elSound::Init() != 1) return 1;
    ResetSoundObjects();
    elSound::Convert("music.pak", "waves", 1);
    elSound::SetPackName("music.pak");
    for (int i = 0; i < 8; ++i) {
        const SoundNo number =
            elSound::LoadStream(("song" + std::to_string(i) + ".wav").c_str(), 88200u * i / 2);
        if (number < 0) return 1;
        elSound::PlayLoop(number, -1);
    }
    const platform::WaveFormat output = platform::OutputFormat();
    const uint32_t turn = output.samplesPerSec / 75;
    std::vector<int16_t> block(turn * output.channels);
    double total = 0, slowest = 0, refillTotal = 0;
    int refills = 0;
    const int frames = 75 * 60;
    for (int f = 0; f < frames; ++f) {
        platform::headless::RenderAudio(block.data(), turn);
        uint32_t before = 0;
        for (int n = 0; n < 8; ++n) before += SoundObjects.streams[n].consumed;
        const double start = ThreadSeconds();
        elSound::Streaming();
        const double spent = ThreadSeconds() - start;
        uint32_t after = 0;
        for (int n = 0; n < 8; ++n) after += SoundObjects.streams[n].consumed;
        total += spent;
        slowest = std::max(slowest, spent);
        if (after != before) {
            ++refills;
            refillTotal += spent;
        }
    }
    std::printf(
        "8 looping streams of 22050 Hz stereo from a pack, mixed to %u Hz, %u channels; %d frames of "
        "1/75 s: Streaming %.2f us per frame on average, %.1f us in the %d frames that refilled, "
        "slowest %.1f us (nothing drawn)\n",
        output.samplesPerSec, output.channels, frames, total / frames * 1e6,
        refills ? refillTotal / refills * 1e6 : 0.0, refills, slowest * 1e6);
    elSound::Release();
    fs::remove_all(folder);
    return 0;
}
