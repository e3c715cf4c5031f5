// The subcommand table of eltool: each entry names a job, its arguments and the function that runs it.
#pragma once

namespace eltool {

// Exit codes shared by every subcommand.
enum : int {
    kExitOk = 0,
    kExitFailed = 1,  // the input was refused or the output could not be written
    kExitUsage = 2,   // wrong arguments
};

struct Command {
    const char* name;
    const char* arguments;  // shown in the usage text, e.g. "IN OUT"
    const char* summary;
    // Receives the arguments after the subcommand's name.
    int (*run)(int argc, char** argv);
};

int DecodeBmp(int argc, char** argv);
int PackPictures(int argc, char** argv);
int ListPicturePack(int argc, char** argv);
int UnpackPicture(int argc, char** argv);
int PackWaves(int argc, char** argv);
int ListWavePack(int argc, char** argv);
int RenderWave(int argc, char** argv);
int RenderMidi(int argc, char** argv);
int NewScene(int argc, char** argv);

}  // namespace eltool
