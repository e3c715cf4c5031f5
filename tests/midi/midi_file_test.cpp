// The MIDI file reader: timing through tempo changes, merged tracks, and malformed files refused.
#include "platform/soft/midi_file.h"

#include <gtest/gtest.h>

#include "tests/midi/midi_builder.h"

namespace {

using miditest::Track;
using platform::midi::MidiEvent;
using platform::midi::MidiFileError;
using platform::midi::MidiPiece;
using platform::midi::ParseMidiFile;

MidiFileError Parse(const std::vector<uint8_t>& bytes, MidiPiece& piece) {
    return ParseMidiFile(bytes.data(), bytes.size(), piece);
}

TEST(MidiFile, TracksMergeInTimeWithRunningStatusAndTheirLength) {
    MidiPiece piece;
    ASSERT_EQ(Parse(miditest::ShortPiece(), piece), MidiFileError::kNone);
    EXPECT_EQ(piece.lengthMicroseconds, 2000000u);
    // Program changes and first notes of both tracks at 0 keep track order; then every 0.5 s.
    ASSERT_EQ(piece.events.size(), 10u);
    EXPECT_EQ(piece.events[0].status, 0xC0);
    EXPECT_EQ(piece.events[1].status, 0x90);
    EXPECT_EQ(piece.events[2].status, 0xC1);
    EXPECT_EQ(piece.events[3].status, 0x91);
    const MidiEvent& runningNote = piece.events[6];
    EXPECT_EQ(runningNote.microseconds, 1000000u);
    EXPECT_EQ(runningNote.status, 0x90);
    EXPECT_EQ(runningNote.data1, 64);
    EXPECT_EQ(runningNote.data2, 0);
    EXPECT_EQ(piece.events[8].microseconds, 1250000u);  // the pad's note off, between the piano's
    EXPECT_EQ(piece.events[8].status, 0x81);
}

TEST(MidiFile, TempoChangesOfOneTrackTimeEveryTrack) {
    Track conductor;
    conductor.Tempo(0, 1000000).Tempo(96, 250000).End(0);  // 1 s a quarter, then 0.25 s
    Track notes;
    notes.Event(48, {0x90, 60, 1}).Event(96, {0x80, 60, 0}).Event(96, {0x90, 62, 1}).End(0);
    MidiPiece piece;
    ASSERT_EQ(Parse(miditest::File(1, 96, {conductor, notes}), piece), MidiFileError::kNone);
    ASSERT_EQ(piece.events.size(), 3u);
    EXPECT_EQ(piece.events[0].microseconds, 500000u);   // half a quarter at 1 s
    EXPECT_EQ(piece.events[1].microseconds, 1125000u);  // a whole 1 s quarter, then half a 0.25 s one
    EXPECT_EQ(piece.events[2].microseconds, 1375000u);  // and one and a half 0.25 s quarters
    EXPECT_EQ(piece.lengthMicroseconds, 1375000u);
}

TEST(MidiFile, FrameBasedDivisionAndSystemExclusiveMessages) {
    Track track;
    track.Event(0, {0xF0, 0x04, 0x7E, 0x7F, 0x09, 0xF7}).Event(50, {0x90, 60, 1}).End(25);
    MidiPiece piece;
    // 25 frames a second of 40 ticks: a tick is a millisecond.
    ASSERT_EQ(Parse(miditest::File(0, static_cast<uint16_t>((0xE7 << 8) | 40), {track}), piece),
              MidiFileError::kNone);
    ASSERT_EQ(piece.events.size(), 2u);
    EXPECT_EQ(piece.events[0].status, 0xF0);
    ASSERT_EQ(piece.events[0].sysexLength, 3u);  // without the closing F7
    EXPECT_EQ(piece.sysexBytes[piece.events[0].sysexOffset + 2], 0x09);
    EXPECT_EQ(piece.events[1].microseconds, 50000u);
    EXPECT_EQ(piece.lengthMicroseconds, 75000u);
}

TEST(MidiFile, MalformedFilesAreRefusedWithTheirReason) {
    MidiPiece piece;
    std::vector<uint8_t> good = miditest::ShortPiece();
    EXPECT_EQ(Parse({'R', 'I', 'F', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, piece), MidiFileError::kNotMidi);

    std::vector<uint8_t> format3 = good;
    format3[9] = 3;
    EXPECT_EQ(Parse(format3, piece), MidiFileError::kBadFormat);

    std::vector<uint8_t> noDivision = good;
    noDivision[12] = noDivision[13] = 0;
    EXPECT_EQ(Parse(noDivision, piece), MidiFileError::kBadDivision);

    // Every cut of the file inside its chunks is refused, never read past.
    for (size_t size = 8; size < good.size(); ++size) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(size));
        EXPECT_NE(Parse(cut, piece), MidiFileError::kNone) << size;
    }

    Track orphanData;
    orphanData.Event(0, {60, 100}).End(0);  // data without any status before it
    EXPECT_EQ(Parse(miditest::File(0, 96, {orphanData}), piece), MidiFileError::kBadEvent);

    Track statusAsData;
    statusAsData.Event(0, {0x90, 60, 0x90}).End(0);
    EXPECT_EQ(Parse(miditest::File(0, 96, {statusAsData}), piece), MidiFileError::kBadEvent);

    Track longDelta;
    longDelta.Event(0, {0x90, 60, 1});
    std::vector<uint8_t> bytes = miditest::File(0, 96, {longDelta});
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x80, 60, 0});
    bytes[21] = static_cast<uint8_t>(bytes.size() - 22);  // the track's length covers the new bytes
    EXPECT_EQ(Parse(bytes, piece), MidiFileError::kBadEvent);

    Track realTime;
    realTime.Event(0, {0xF8}).End(0);
    EXPECT_EQ(Parse(miditest::File(0, 96, {realTime}), piece), MidiFileError::kBadEvent);
}

TEST(MidiFile, ForeignChunksAreSkippedAndAMissingEndOfTrackEndsAtTheLastEvent) {
    Track track;
    track.Event(0, {0x90, 60, 1}).Event(96, {0x80, 60, 0});
    std::vector<uint8_t> bytes = miditest::File(0, 96, {});
    bytes[11] = 1;  // one track, which follows a chunk of another kind
    bytes.insert(bytes.end(), {'X', 'f', 'I', 'h', 0, 0, 0, 2, 0xAA, 0xBB});
    bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.Bytes().size())});
    bytes.insert(bytes.end(), track.Bytes().begin(), track.Bytes().end());
    MidiPiece piece;
    ASSERT_EQ(Parse(bytes, piece), MidiFileError::kNone);
    EXPECT_EQ(piece.events.size(), 2u);
    EXPECT_EQ(piece.lengthMicroseconds, 500000u);
}

}  // namespace
