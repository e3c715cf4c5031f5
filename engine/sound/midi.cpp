// MIDI music through the sequencer's command strings.
#include "engine/sound/midi.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/system/error_report.h"
#include "engine/system/paths.h"
#include "platform/files.h"
#include "platform/sequencer.h"
#include "platform/soft/midi_file.h"

MidiState Midi;

namespace {

uint32_t Send(const char* command) {
    return platform::SendSequencerCommand(command);
}

// What has been explained already: a piece or sound font that is missing is said once, however
// often the program asks for it. Kept apart from MidiState, which every display set-up resets.
std::vector<std::string> explained;
constexpr size_t kExplainedLimit = 256;

bool FirstTime(const std::string& key) {
    for (const std::string& said : explained)
        if (said == key) return false;
    if (explained.size() < kExplainedLimit) explained.push_back(key);
    return true;
}

// Why the piece (the engine's name of it, and the system's) is not a MIDI file the sequencer reads.
std::string InvalidPieceReason(const std::string& path, const std::string& system) {
    std::vector<uint8_t> bytes;
    if (!platform::midi::ReadMidiFileBytes(path.c_str(), bytes)) return CannotOpenReason(system);
    if (bytes.size() > platform::midi::kLargestMidiFile) return "larger than the sequencer reads";
    platform::midi::MidiPiece piece;
    const platform::midi::MidiFileError error =
        platform::midi::ParseMidiFile(bytes.data(), bytes.size(), piece);
    if (error == platform::midi::MidiFileError::kNone) return "larger than the sequencer reads";
    return std::string("not a MIDI file: ") + platform::midi::MidiFileErrorText(error);
}

// Explains, once for each piece and once for the sound font, why the open failed. What was said
// already is not looked into again: a scene that asks for a broken piece every frame does not read
// it a second time each frame to find the reason.
void ExplainOpenFailure(const char* name, const std::string& path, uint32_t result) {
    std::string where = path.empty() ? std::string() : platform::ResolvePath(path.c_str());
    const bool piece =
        result == platform::kSequencerFileNotFound || result == platform::kSequencerInvalidFile;
    std::string key;
    if (path.empty()) {
        key = std::string("long:") + name;
    } else if (piece) {
        key = "piece:" + where;
    } else if (result == platform::kSequencerCannotLoadDriver) {
        where = platform::SequencerSoundFont();
        key = "font:" + where;
    } else {
        return;  // the alias already open and the like: not the file's fault
    }
    if (!FirstTime(key)) return;
    std::string reason;
    if (path.empty()) {
        reason = "path too long";
    } else if (result == platform::kSequencerFileNotFound) {
        reason = CannotOpenReason(where);
    } else if (piece) {
        reason = InvalidPieceReason(path, where);
    } else {
        const std::string problem = CannotOpenReason(where);
        reason = "the synthesizer cannot load its sound font: " +
                 (problem == "cannot be read" ? std::string("not a sound font it reads") : problem);
    }
    ExplainLoadFailure("MidiPlay", name, reason, where);
}

}  // namespace

int MidiInit() {
    Midi = MidiState{};
    return 1;
}

int MidiPlay(const char* name, int loop) {
    if (name == nullptr) name = "";
    char command[kMidiCommandSize];
    const int length = std::snprintf(command, sizeof command, "open \"%s%s\" type sequencer alias midi",
                                     ModulePath(0), name);
    // A command cut at its bound would name another file: such a piece is not opened at all, and
    // the seek and play below fail on the alias that is not open.
    const bool fits = length >= 0 && length < static_cast<int>(sizeof command);
    if (Midi.open == 1) MidiClose();
    const uint32_t opened = fits ? Send(command) : platform::kSequencerFileNotFound;
    if (opened != platform::kSequencerOk)
        ExplainOpenFailure(name, fits ? std::string(ModulePath(0)) + name : std::string(), opened);
    Send("seek midi to start");
    const uint32_t result = Send("play midi notify");
    Midi.open = 1;
    Midi.loop = loop;
    return static_cast<int>(result);
}

void MidiNotify() {
    if (Midi.loop != 0) {
        Send("seek midi to start");
        Send("play midi notify");
    } else {
        MidiClose();
    }
}

void MidiClose() {
    if (Midi.open != 1) return;
    Send("stop midi");
    Send("close midi");
    Midi.open = 0;
}

void MidiStopLoop() {
    Midi.loop = 0;
}

void MidiAbort() {
    Send("stop midi");
    Send("close midi");
}

void HandleMidiEndReport(uintptr_t notifyCode) {
    // Only a piece that played to its end (notify code 1) while one is open; a piece restarted in
    // the meantime no longer reports a mode beginning with "st".
    if (notifyCode != 1 || Midi.open != 1) return;
    char mode[kMidiStatusSize] = {};
    platform::SendSequencerCommand("status midi mode", mode, sizeof mode);
    if (std::strncmp(mode, "st", 2) == 0) MidiNotify();
}
