// The MIDI piece: a well-formed format 1 file with a conductor track and one track per part, at
// least 30 seconds long, on several General MIDI programs and with drums on channel 10.
#include <gtest/gtest.h>

#include <set>

#include "tests/content_audio/audio_files.h"

namespace audio_test {
namespace {

TEST(DemoMidi, WellFormedFormatOneWithItsTracks) {
    MidiFile m = ReadMidi(DemoDir() + "/theme.mid");
    ASSERT_EQ(m.error, "");
    EXPECT_EQ(m.format, 1);
    EXPECT_EQ(m.declaredTracks, m.trackNames.size());
    EXPECT_GE(m.trackNames.size(), 5u);
    EXPECT_GT(m.division, 0);
    EXPECT_GT(m.tempo, 0u);
    std::set<std::string> names(m.trackNames.begin(), m.trackNames.end());
    EXPECT_EQ(names.size(), m.trackNames.size()) << "every track carries its own name";
    EXPECT_EQ(m.unmatched, 0) << "every note-on has its note-off";
}

TEST(DemoMidi, LongEnoughOnSeveralProgramsWithDrums) {
    MidiFile m = ReadMidi(DemoDir() + "/theme.mid");
    ASSERT_EQ(m.error, "");
    EXPECT_GE(m.Seconds(), 30.0);
    std::set<int> programs;
    for (const auto& [channel, program] : m.programs)
        if (channel != 9) programs.insert(program);
    EXPECT_GE(programs.size(), 3u);
    EXPECT_GT(m.notesOn[9], 32) << "a drum part on channel 10";
    EXPECT_TRUE(m.channelsWithoutProgram.empty()) << "every melodic channel chooses its program first";
    int melodic = 0;
    for (const auto& [channel, notes] : m.notesOn) melodic += channel != 9 && notes > 0;
    EXPECT_GE(melodic, 3);
}

}  // namespace
}  // namespace audio_test
