// MIDI music through the sequencer's command strings.
#include "engine/sound/midi.h"

#include <cstdio>
#include <cstring>

#include "engine/system/paths.h"
#include "platform/sequencer.h"

MidiState Midi;

namespace {

uint32_t Send(const char* command) {
    return platform::SendSequencerCommand(command);
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
    if (fits) Send(command);
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
