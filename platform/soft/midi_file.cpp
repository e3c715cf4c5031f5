// Standard MIDI file reader: header and track chunks, running status, tempo map, merged events.
#include "platform/soft/midi_file.h"

#include <algorithm>
#include <cstdio>

#include "platform/files.h"

namespace platform::midi {
namespace {

constexpr uint64_t kLongestPiece = uint64_t{1} << 40;  // microseconds
constexpr uint32_t kDefaultTempo = 500000;             // microseconds per quarter note

uint32_t ReadBigEndian(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
    return value;
}

// An event of one track before the tempo map gives it a time.
struct TimedEvent {
    uint64_t tick;
    MidiEvent event;
};

struct TempoChange {
    uint64_t tick;
    uint32_t microsecondsPerQuarter;
};

class TrackReader {
  public:
    TrackReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    // Reads every event up to the end of track (or the chunk's end); false on a malformed event.
    MidiFileError Read(std::vector<TimedEvent>& events, std::vector<TempoChange>& tempos,
                       std::vector<uint8_t>& sysex, uint64_t& endTick) {
        uint64_t tick = 0;
        uint8_t running = 0;
        while (p_ < end_) {
            uint32_t delta = 0;
            if (MidiFileError e = ReadVariable(delta); e != MidiFileError::kNone) return e;
            tick += delta;
            if (p_ >= end_) return MidiFileError::kTruncatedEvent;
            uint8_t status = *p_;
            if (status >= 0x80) {
                ++p_;
            } else if (running != 0) {
                status = running;
            } else {
                return MidiFileError::kBadEvent;
            }
            if (status == 0xFF) {
                running = 0;
                if (p_ >= end_) return MidiFileError::kTruncatedEvent;
                const uint8_t type = *p_++;
                uint32_t length = 0;
                if (MidiFileError e = ReadVariable(length); e != MidiFileError::kNone) return e;
                if (length > static_cast<size_t>(end_ - p_)) return MidiFileError::kTruncatedEvent;
                if (type == 0x2F) {
                    endTick = tick;
                    return MidiFileError::kNone;
                }
                if (type == 0x51 && length == 3) {
                    const uint32_t tempo = ReadBigEndian(p_, 3);
                    if (tempo != 0) tempos.push_back({tick, tempo});
                }
                p_ += length;
            } else if (status == 0xF0 || status == 0xF7) {
                running = 0;
                uint32_t length = 0;
                if (MidiFileError e = ReadVariable(length); e != MidiFileError::kNone) return e;
                if (length > static_cast<size_t>(end_ - p_)) return MidiFileError::kTruncatedEvent;
                if (status == 0xF0) {
                    // The synthesizer takes the message without its F0 and closing F7.
                    uint32_t body = length;
                    if (body > 0 && p_[body - 1] == 0xF7) --body;
                    MidiEvent event;
                    event.status = 0xF0;
                    event.sysexOffset = static_cast<uint32_t>(sysex.size());
                    event.sysexLength = body;
                    sysex.insert(sysex.end(), p_, p_ + body);
                    events.push_back({tick, event});
                }
                p_ += length;
            } else if (status >= 0xF0) {
                return MidiFileError::kBadEvent;  // real-time and common messages have no place in a file
            } else {
                running = status;
                const int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change, channel pressure
                if (static_cast<size_t>(end_ - p_) < static_cast<size_t>(dataBytes))
                    return MidiFileError::kTruncatedEvent;
                MidiEvent event;
                event.status = status;
                event.data1 = p_[0];
                event.data2 = dataBytes == 2 ? p_[1] : 0;
                if (event.data1 >= 0x80 || event.data2 >= 0x80) return MidiFileError::kBadEvent;
                p_ += dataBytes;
                events.push_back({tick, event});
            }
            endTick = tick;
        }
        return MidiFileError::kNone;
    }

  private:
    MidiFileError ReadVariable(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (p_ >= end_) return MidiFileError::kTruncatedEvent;
            const uint8_t byte = *p_++;
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) return MidiFileError::kNone;
        }
        return MidiFileError::kBadEvent;  // a number longer than four bytes
    }

    const uint8_t* p_;
    const uint8_t* end_;
};

// Turns ticks into microseconds with the tempo changes of every track.
class TempoMap {
  public:
    TempoMap(uint16_t division, std::vector<TempoChange> changes) : division_(division) {
        std::stable_sort(changes.begin(), changes.end(),
                         [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
        if (division_ & 0x8000) {
            // Frames per second and ticks per frame; 29 stands for 30000/1001 frames per second.
            const int fps = -static_cast<int8_t>(division_ >> 8);
            const uint64_t ticksPerFrame = division_ & 0xFF;
            smpteNumerator_ = fps == 29 ? 1001000000ull : 1000000ull;
            smpteDenominator_ = (fps == 29 ? 30000ull : static_cast<uint64_t>(fps)) * ticksPerFrame;
            return;
        }
        segments_.push_back({0, kDefaultTempo, 0});
        for (const TempoChange& change : changes) {
            Segment& last = segments_.back();
            const unsigned __int128 start =
                last.startNumerator +
                static_cast<unsigned __int128>(change.tick - last.tick) * last.microsecondsPerQuarter;
            if (change.tick == last.tick)
                last.microsecondsPerQuarter = change.microsecondsPerQuarter;
            else
                segments_.push_back({change.tick, change.microsecondsPerQuarter, start});
        }
    }

    bool Valid() const { return (division_ & 0x8000) ? smpteDenominator_ != 0 : division_ != 0; }

    // Microseconds at a tick, saturated past the longest piece.
    uint64_t Microseconds(uint64_t tick) const {
        unsigned __int128 value;
        if (division_ & 0x8000) {
            value = static_cast<unsigned __int128>(tick) * smpteNumerator_ / smpteDenominator_;
        } else {
            auto it = std::upper_bound(segments_.begin(), segments_.end(), tick,
                                       [](uint64_t t, const Segment& s) { return t < s.tick; });
            const Segment& s = *(it - 1);
            value = (s.startNumerator +
                     static_cast<unsigned __int128>(tick - s.tick) * s.microsecondsPerQuarter) /
                    division_;
        }
        return value > kLongestPiece ? kLongestPiece + 1 : static_cast<uint64_t>(value);
    }

  private:
    struct Segment {
        uint64_t tick;
        uint32_t microsecondsPerQuarter;
        unsigned __int128 startNumerator;  // microseconds times the division at the segment's start
    };
    uint16_t division_;
    std::vector<Segment> segments_;
    uint64_t smpteNumerator_ = 0, smpteDenominator_ = 0;
};

}  // namespace

bool ReadMidiFileBytes(const char* name, std::vector<uint8_t>& bytes) {
    bytes.clear();
    FILE* file = OpenFile(name, "rb");
    if (file == nullptr) return false;
    uint8_t block[65536];
    size_t got = 0;
    while (bytes.size() <= kLargestMidiFile && (got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

const char* MidiFileErrorText(MidiFileError error) {
    switch (error) {
        case MidiFileError::kNone:
            return "no error";
        case MidiFileError::kNotMidi:
            return "not a standard MIDI file";
        case MidiFileError::kBadHeader:
            return "the header chunk is malformed";
        case MidiFileError::kBadFormat:
            return "the file format is not 0, 1 or 2";
        case MidiFileError::kBadDivision:
            return "the time division is 0";
        case MidiFileError::kNoTracks:
            return "the file holds no track";
        case MidiFileError::kTruncatedChunk:
            return "a chunk runs past the end of the file";
        case MidiFileError::kTruncatedEvent:
            return "an event runs past the end of its track";
        case MidiFileError::kBadEvent:
            return "a track holds a malformed event";
        case MidiFileError::kTooLong:
            return "the piece is too long";
    }
    return "unknown error";
}

MidiFileError ParseMidiFile(const uint8_t* data, size_t size, MidiPiece& piece) {
    piece = MidiPiece{};
    if (size < 8 || ReadBigEndian(data, 4) != 0x4D546864u) return MidiFileError::kNotMidi;  // "MThd"
    const uint32_t headerLength = ReadBigEndian(data + 4, 4);
    if (headerLength < 6 || headerLength > size - 8) return MidiFileError::kBadHeader;
    const uint32_t format = ReadBigEndian(data + 8, 2);
    const uint32_t declaredTracks = ReadBigEndian(data + 10, 2);
    const uint16_t division = static_cast<uint16_t>(ReadBigEndian(data + 12, 2));
    if (format > 2) return MidiFileError::kBadFormat;
    if (declaredTracks == 0) return MidiFileError::kNoTracks;

    std::vector<TimedEvent> events;
    std::vector<TempoChange> tempos;
    uint64_t endTick = 0;
    uint32_t tracks = 0;
    size_t offset = 8 + static_cast<size_t>(headerLength);
    // Chunks of other types are skipped; bytes after the last declared track are not read.
    while (tracks < declaredTracks && size - offset >= 8) {
        const uint32_t type = ReadBigEndian(data + offset, 4);
        const uint32_t length = ReadBigEndian(data + offset + 4, 4);
        offset += 8;
        if (length > size - offset) return MidiFileError::kTruncatedChunk;
        if (type == 0x4D54726Bu) {  // "MTrk"
            uint64_t trackEnd = 0;
            TrackReader reader(data + offset, length);
            if (MidiFileError e = reader.Read(events, tempos, piece.sysexBytes, trackEnd);
                e != MidiFileError::kNone)
                return e;
            endTick = std::max(endTick, trackEnd);
            ++tracks;
        }
        offset += length;
    }
    if (tracks == 0) return MidiFileError::kNoTracks;
    if (tracks < declaredTracks) return MidiFileError::kTruncatedChunk;  // the file ends before its tracks do

    const TempoMap map(division, std::move(tempos));
    if (!map.Valid()) return MidiFileError::kBadDivision;
    piece.lengthMicroseconds = map.Microseconds(endTick);
    if (piece.lengthMicroseconds > kLongestPiece) return MidiFileError::kTooLong;

    // Tracks were read one after another: a stable sort by tick keeps track order at equal times.
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
    piece.events.reserve(events.size());
    for (const TimedEvent& timed : events) {
        MidiEvent event = timed.event;
        event.microseconds = map.Microseconds(timed.tick);
        piece.events.push_back(event);
    }
    return MidiFileError::kNone;
}

}  // namespace platform::midi
