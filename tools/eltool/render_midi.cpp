// eltool render-midi IN.mid OUT.wav [--loops N]: plays a MIDI file through the sequencer and the
// mixer of the headless backend, the way a scene does (MidiPlay, the end report through the window
// procedure's share, MidiNotify), N passes in all, and writes what a listener would hear: 16-bit
// PCM at the output format, from the start of play until the piece has closed and its last notes
// and echoes have faded.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/sound/midi.h"
#include "names.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/messages.h"
#include "platform/soft/midi_file.h"
#include "platform/window.h"
#include "wave_output.h"

namespace eltool {
namespace {

constexpr uint32_t kBlockFrames = 640;             // 1/75 s at 48000 Hz
constexpr uint32_t kLongestRender = 48000 * 3600;  // an hour of output at most
constexpr uint32_t kFadeFrames = 48000 * 5;        // the tail after the close, at most

long passesWanted = 1;
long passesEnded = 0;

// The window procedure's share of the sequencer's end report; once the last pass asked for has
// begun, the loop is stopped so that it ends the piece.
intptr_t EndReportProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == platform::MM_MCINOTIFY) {
        if (wParam == 1) ++passesEnded;
        HandleMidiEndReport(wParam);
        if (passesEnded + 1 >= passesWanted) MidiStopLoop();
        return 0;
    }
    return platform::DefWindowProc(message, wParam, lParam);
}

void HandleMessages() {
    platform::Message message;
    while (platform::PeekMessage(message)) platform::DispatchMessage(message);
}

// The file is checked first so that a refusal can name its reason.
bool CheckPiece(const char* path) {
    FILE* file = OpenInput("render-midi", path, kLargestMidi);
    if (file == nullptr) return false;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    platform::midi::MidiPiece piece;
    const platform::midi::MidiFileError error =
        platform::midi::ParseMidiFile(bytes.data(), bytes.size(), piece);
    if (error != platform::midi::MidiFileError::kNone) {
        std::fprintf(stderr, "eltool render-midi: %s: %s\n", path, platform::midi::MidiFileErrorText(error));
        return false;
    }
    return true;
}

bool Silent(const int16_t* samples, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (std::abs(int(samples[i])) > 3) return false;
    return true;
}

}  // namespace

int RenderMidi(int argc, char** argv) {
    const char* usage = "usage: eltool render-midi IN.mid OUT.wav [--loops N]\n";
    long& passes = passesWanted;
    if (argc == 4 && std::strcmp(argv[2], "--loops") == 0) {
        char* end = nullptr;
        passes = std::strtol(argv[3], &end, 10);
        if (*end != '\0' || passes < 1 || passes > 1000) {
            std::fprintf(stderr, "eltool render-midi: --loops takes a number of passes from 1 to 1000\n");
            return kExitUsage;
        }
    } else if (argc != 2) {
        std::fputs(usage, stderr);
        return kExitUsage;
    }
    if (!CheckPiece(argv[0])) return kExitFailed;

    platform::headless::Reset();
    platform::CreateMainWindow("eltool", 0, 0, 1, 1, EndReportProcedure);
    if (!platform::OpenAudioDevice()) {
        std::fprintf(stderr, "eltool render-midi: the headless sound device does not open\n");
        return kExitFailed;
    }
    const platform::WaveFormat format = platform::OutputFormat();
    // The piece is opened by its Shift-JIS name below its own folder, or through a link.
    const PlacedFile placed(argv[0], "PIECE.MID", 200);
    PlaceProgramIn(placed.folder());
    const std::string& name = placed.name();
    MidiInit();
    passesEnded = 0;
    if (MidiPlay(name.c_str(), passes > 1 ? 1 : 0) != 0) {
        std::fprintf(stderr, "eltool render-midi: %s: the sequencer does not play it\n", argv[0]);
        return kExitFailed;
    }
    std::vector<int16_t> output;
    std::vector<int16_t> block(kBlockFrames * format.channels);
    uint32_t rendered = 0, afterClose = 0;
    while (rendered < kLongestRender && afterClose < kFadeFrames) {
        platform::headless::RenderAudio(block.data(), kBlockFrames);
        output.insert(output.end(), block.begin(), block.end());
        rendered += kBlockFrames;
        HandleMessages();
        if (Midi.open == 0) {
            afterClose += kBlockFrames;
            if (afterClose >= 48000 / 2 && Silent(block.data(), block.size())) break;
        }
    }
    platform::CloseAudioDevice();
    if (!WriteWave16(argv[1], format.channels, format.samplesPerSec, output)) {
        std::fprintf(stderr, "eltool render-midi: %s: cannot write\n", argv[1]);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace eltool
