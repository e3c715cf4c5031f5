// Fuzz target: the MIDI file reader never reads outside its input, and what it accepts is a
// well-formed piece (events in time order within the piece, system-exclusive data in bounds).
#include <cstdint>
#include <cstdlib>

#include "platform/soft/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace platform::midi;
    MidiPiece piece;
    if (ParseMidiFile(data, size, piece) != MidiFileError::kNone) return 0;
    uint64_t previous = 0;
    for (const MidiEvent& event : piece.events) {
        if (event.microseconds < previous || event.microseconds > piece.lengthMicroseconds) std::abort();
        if (event.status < 0x80 || event.data1 >= 0x80 || event.data2 >= 0x80) std::abort();
        if (event.status == 0xF0 && (event.sysexOffset > piece.sysexBytes.size() ||
                                     event.sysexLength > piece.sysexBytes.size() - event.sysexOffset))
            std::abort();
        previous = event.microseconds;
    }
    return 0;
}
