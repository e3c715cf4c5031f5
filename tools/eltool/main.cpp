// eltool's entry point: picks the subcommand from the table and runs it.
#include <cstdio>
#include <cstring>
#include <exception>

#include "commands.h"

namespace eltool {
namespace {

const Command kCommands[] = {
    {"decode-bmp", "IN OUT", "decode the BMP picture IN and write it to OUT as a 24-bit BMP", DecodeBmp},
    {"pack-pictures", "PACK FOLDER [--fresh]",
     "append every BMP picture of FOLDER to the picture pack PACK (--fresh: start a new pack)", PackPictures},
    {"list-picture-pack", "PACK", "list the entries of a picture pack: name, width, height", ListPicturePack},
    {"unpack-picture", "PACK NAME OUT", "write the pack entry NAME (any case) to OUT as a 24-bit BMP",
     UnpackPicture},
    {"pack-waves", "PACK FOLDER [--fresh]",
     "append every *.WAV file of FOLDER to the WAVE pack PACK (--fresh: replace the pack)", PackWaves},
    {"list-wave-pack", "PACK", "list each record of a WAVE pack: name, channels, rate, bits, data size",
     ListWavePack},
    {"render-wave",
     "IN.wav OUT.wav [--volume STEPS] [--pan STEPS] [--frequency HZ] [--format CHANNELS,RATE,BITS] "
     "[--loop SECONDS]\n      eltool render-wave --pack PACK --stream NAME [--loop-point BYTES] --seconds S "
     "[--format CHANNELS,RATE,BITS] OUT.wav",
     "play IN through elSound and the mixer and write what is heard to OUT as 16-bit PCM (volume in dB, "
     "pan in steps of 100); the second form streams a pack entry, Streaming after every 1/75 s",
     RenderWave},
    {"render-midi", "IN.mid OUT.wav [--loops N]",
     "play the MIDI file IN.mid N times (1 by default) through the sequencer and write what is heard",
     RenderMidi},
    {"new-scene", "DIR NAME",
     "write a new scene project into DIR (new or empty): CMakeLists.txt finding the installed engine, "
     "main.cpp, "
     "a picture and a sound; NAME is the program's name (letters, digits, _)",
     NewScene},
};

void PrintUsage(FILE* to) {
    std::fprintf(to, "usage: eltool COMMAND ARGUMENTS...\ncommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(to, "  %s %s\n      %s\n", c.name, c.arguments, c.summary);
}

}  // namespace
}  // namespace eltool

int main(int argc, char** argv) {
    using namespace eltool;
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        // Nothing the standard library throws (a folder that vanished, memory that ran out) may end
        // the tool without a word: it says what went wrong and fails like any refused input.
        try {
            return c.run(argc - 2, argv + 2);
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "eltool %s: %s\n", c.name, failure.what());
            return kExitFailed;
        }
    }
    std::fprintf(stderr, "eltool: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}
