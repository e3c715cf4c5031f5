// Standard MIDI files: the chunk structure checked and the tracks merged into one timed event list.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::midi {

// The most bytes of a MIDI file that are read. Pieces are far smaller; a larger file is refused
// without being read to its end.
constexpr size_t kLargestMidiFile = 16u << 20;

// Reads the file the engine's name gives (through OpenFile) into bytes: the whole file when it
// holds at most kLargestMidiFile bytes, else more than kLargestMidiFile of them and no more than
// 64 KiB past that. False when it cannot be opened or read.
bool ReadMidiFileBytes(const char* name, std::vector<uint8_t>& bytes);

enum class MidiFileError {
    kNone,
    kNotMidi,         // no "MThd" chunk at the start
    kBadHeader,       // header chunk shorter than 6 bytes or running past the file
    kBadFormat,       // a format other than 0, 1 or 2
    kBadDivision,     // a time division of 0 ticks
    kNoTracks,        // no "MTrk" chunk
    kTruncatedChunk,  // a chunk whose length runs past the end of the file
    kTruncatedEvent,  // an event or length running past the end of its track
    kBadEvent,        // a data byte without a status byte, or a status byte where data belongs
    kTooLong,         // a piece longer than the sequencer plays (about 12 days)
};

const char* MidiFileErrorText(MidiFileError error);

// One channel message or system-exclusive message, at its time from the start of the piece.
struct MidiEvent {
    uint64_t microseconds = 0;
    uint8_t status = 0;  // 0x80..0xEF channel messages, 0xF0 system exclusive
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t sysexOffset = 0;  // into MidiPiece::sysexBytes, for 0xF0 (without the leading F0)
    uint32_t sysexLength = 0;
};

struct MidiPiece {
    std::vector<MidiEvent> events;  // in time order; events at the same time keep track order
    std::vector<uint8_t> sysexBytes;
    uint64_t lengthMicroseconds = 0;  // the latest end of track (or event) over all tracks
};

// Reads a whole file held in memory. Tempo changes are applied to every track as they occur in
// time; meta events other than tempo and end of track are dropped.
MidiFileError ParseMidiFile(const uint8_t* data, size_t size, MidiPiece& piece);

}  // namespace platform::midi
