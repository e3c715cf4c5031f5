// Text scores: header settings, instruments, tracks, sections of whole bars written as note
// tokens, and the order the sections play in. The MIDI piece and the music piece share it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "tools/audiogen/text.h"

namespace audiogen {

struct Track {
    std::string name;
    bool kit = false;  // notes name drums instead of pitches
    std::map<std::string, std::string> options;
    Line line;  // where the track was declared
};

struct Note {
    size_t track = 0;
    long step = 0, length = 0;  // in steps from the start of the piece
    int key = -1;               // MIDI key number (C4 = 60); -1 on a kit track
    std::string drum;           // the drum's name on a kit track
    int velocity = 96;
};

struct Instrument {
    std::string name;
    std::vector<Line> lines;
    Line line;
};

struct Score {
    explicit Score(const std::string& path);

    Source source;
    std::map<std::string, Line> header;  // key -> its line
    std::vector<Instrument> instruments;
    std::vector<Track> tracks;
    std::vector<Note> notes;  // in score order
    long tempo = 120;         // beats a minute
    long beats = 4;           // beats a bar
    long steps = 4;           // steps a beat
    long playSteps = 0;       // length of the sections listed by `play`
    long loopSteps = 0;       // length of the sections listed by `loop`, after them
};

}  // namespace audiogen
