// The generator's three kinds of output, each from one text source.
#pragma once
#include <string>

namespace audiogen {

// A sound effect: one WAVE file from a description of its voices.
void WriteEffect(const std::string& source, const std::string& wave);

// A standard MIDI file, format 1, from a text score.
void WriteMidi(const std::string& score, const std::string& midi);

// The looping music piece from a text score: its WAVE file and, in a text file, its loop point
// as a byte offset into the sample data.
void WriteMusic(const std::string& score, const std::string& wave, const std::string& loop);

}  // namespace audiogen
