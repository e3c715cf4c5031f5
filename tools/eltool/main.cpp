// eltool's entry point: picks the subcommand from the table and runs it.
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace eltool {
namespace {

const Command kCommands[] = {
    {"decode-bmp", "IN OUT", "decode the BMP picture IN and write it to OUT as a 24-bit BMP", DecodeBmp},
    {"render-midi", "IN.mid OUT.wav [--loops N]",
     "play the MIDI file IN.mid N times (1 by default) through the sequencer and write what is heard", RenderMidi},
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
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "eltool: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}
