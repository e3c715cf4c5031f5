// libFuzzer target: the MIDI sequencer's command strings, and the engine's music calls that build
// them. The first input byte says whether the mixer or the clock drives the piece; the rest is a
// list of lines, each one step:
//   "@<loop><name>"  the engine plays the piece <name> (a file made for it where it can be) once or
//                    repeating; a command that would pass the engine's 260-byte bound opens nothing,
//                    one inside the bound opens the piece
//   "!"              the engine is told a piece ended (its end report)
//   "~<n>"           the mixer pulls n*97 frames from the sequencer
//   "#<n>"           every clock read from here on moves the clock n*37 ms
//   anything else    a command string, with a status answer buffer of (line length % 40) bytes
// Names never leave the target's own folder (a '/' or '\' becomes '_'). Checks: every result is one
// of the sequencer's codes; a status answer is terminated inside its buffer and is a word the
// sequencer answers; a taken command names the open device; every "notify" that was taken ends in
// exactly one end report with a known code, so that after the device closes the two counts match.
#include <sanitizer/asan_interface.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound/midi.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/sequencer.h"
#include "platform/soft/sequencer_mix.h"
#include "platform/window.h"

namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

std::string folder;        // the target's own folder, ending in '/'
std::string engineFolder;  // the same in the engine's spelling, as ModulePath gives it
std::string home;          // where libFuzzer keeps its corpus: each run goes back there
bool soundFontThere = false;

// A piece of one note (half a second), a piece of nothing but its end, and a file that is no piece.
const uint8_t kNote[] = {'M', 'T', 'h', 'd', 0,  0, 0,    6,  0,  0,  0,    1,  0, 96, 'M',  'T',  'r',
                         'k', 0,   0,   0,   12, 0, 0x90, 60, 64, 96, 0x80, 60, 0, 0,  0xFF, 0x2F, 0};
const uint8_t kEmpty[] = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                          96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
const char kNotAPiece[] = "not a piece of music";

// The most frames one "~" line asks for, and the bus they fill (two channels at most).
constexpr uint32_t kMostFrames = 255u * 97u;
std::vector<float> bus(static_cast<size_t>(kMostFrames) * 2);

// A silent bus of exactly count samples: the start of the one buffer, with everything past the
// count poisoned so that a write beyond it is caught as it would be past an allocation of its size.
float* SilentBus(size_t count) {
    float* start = bus.data();
    ASAN_UNPOISON_MEMORY_REGION(start, count * sizeof(float));
    ASAN_POISON_MEMORY_REGION(start + count, (bus.size() - count) * sizeof(float));
    std::memset(start, 0, count * sizeof(float));
    return start;
}

void WriteFile(const std::string& path, const void* bytes, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (std::fwrite(bytes, 1, size, file) != size || std::fclose(file) != 0) std::abort();
}

bool KnownResult(uint32_t r) {
    switch (r) {
        case platform::kSequencerOk:
        case platform::kSequencerUnrecognizedKeyword:
        case platform::kSequencerUnrecognizedCommand:
        case platform::kSequencerInvalidDeviceName:
        case platform::kSequencerDeviceOpen:
        case platform::kSequencerCannotLoadDriver:
        case platform::kSequencerMissingParameter:
        case platform::kSequencerFileNotFound:
        case platform::kSequencerNoClosingQuote:
        case platform::kSequencerDuplicateAlias:
        case platform::kSequencerInvalidFile:
            return true;
        default:
            return false;
    }
}

// What the sequencer may answer to a status request (cut to the buffer).
bool KnownAnswer(const char* answer) {
    if (answer[0] == '\0') return true;
    for (const char* word : {"playing", "paused", "stopped"})
        if (std::strncmp(word, answer, std::strlen(answer)) == 0) return true;
    for (const char* p = answer; *p != '\0'; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

bool SameWord(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The words of a command: blanks and tabs part them, a word opening with '"' runs to the next '"'.
std::vector<std::string> Words(const std::string& command) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = command.find_first_not_of(" \t", at)) != std::string::npos) {
        if (command[at] == '"') {
            const size_t close = command.find('"', at + 1);
            if (close == std::string::npos) return {};
            words.push_back(command.substr(at + 1, close - at - 1));
            at = close + 1;
        } else {
            const size_t stop = std::min(command.find_first_of(" \t", at), command.size());
            words.push_back(command.substr(at, stop - at));
            at = stop;
        }
    }
    return words;
}

// What the target knows of the sequencer from its answers alone.
struct Model {
    bool open = false;
    std::string alias;  // the device's alias while it is open
    int notifies = 0;   // "play ... notify" commands taken
    int reports = 0;    // end reports received
};
Model model;

void TakeReports() {
    platform::Message message;
    while (platform::PeekMessage(message)) {
        if (message.message != platform::MM_MCINOTIFY) continue;
        const uintptr_t code = message.wParam;
        if (code != platform::kNotifySuccessful && code != platform::kNotifySuperseded &&
            code != platform::kNotifyAborted && code != platform::kNotifyFailure)
            std::abort();
        if (message.lParam != 1) std::abort();
        ++model.reports;
        if (model.reports > model.notifies) std::abort();
    }
}

// Sends one command through a buffer of exactly its length (and an answer buffer of answerBytes),
// so that a read past either is caught, and follows what a taken command does to the device.
uint32_t Send(const std::string& command, size_t answerBytes) {
    std::vector<char> text(command.begin(), command.end());
    text.push_back('\0');
    std::vector<char> answer(answerBytes, 'x');
    const uint32_t result =
        platform::SendSequencerCommand(text.data(), answerBytes ? answer.data() : nullptr, answerBytes);
    if (!KnownResult(result)) std::abort();
    if (answerBytes > 0 &&
        (std::memchr(answer.data(), '\0', answerBytes) == nullptr || !KnownAnswer(answer.data())))
        std::abort();
    // The sequencer reads the command up to its first NUL.
    const std::vector<std::string> words = Words(command.substr(0, command.find('\0')));
    if (result == platform::kSequencerOk) {
        if (words.size() < 2) std::abort();
        if (SameWord(words[0], "open")) {
            if (model.open) std::abort();
            model.open = true;
            model.alias = words[1];
            for (size_t i = 2; i + 1 < words.size(); i += 2)
                if (SameWord(words[i], "alias")) model.alias = words[i + 1];
        } else {
            // Every other command names the open device.
            if (!model.open || !SameWord(words[1], model.alias.c_str())) std::abort();
            if (SameWord(words[0], "close")) model.open = false;
            if (SameWord(words[0], "play") && words.size() > 2) ++model.notifies;
        }
    } else if (result == platform::kSequencerDuplicateAlias || result == platform::kSequencerDeviceOpen) {
        if (!model.open) std::abort();
    }
    TakeReports();
    return result;
}

// A word as a command names it: quoted, unless it holds a quote (then it holds no blank).
std::string Quoted(const std::string& word) {
    return word.find('"') == std::string::npos ? '"' + word + '"' : word;
}

// After the engine's own commands: the device the target knew of may be closed, "midi" may be open.
void FollowEngine() {
    if (model.open && Send("status " + Quoted(model.alias) + " mode", 0) != platform::kSequencerOk)
        model.open = false;
    if (!model.open && platform::SendSequencerCommand("status midi mode") == platform::kSequencerOk) {
        model.open = true;
        model.alias = "midi";
    }
    TakeReports();
}

// The engine plays a piece by name (a file of that name made for it where it can be).
void EnginePlay(const std::string& name, int loop) {
    const std::string path = folder + name;
    const bool made =
        !name.empty() && name.size() < 256 && name != "." && name != ".." && access(path.c_str(), F_OK) != 0;
    if (made) WriteFile(path, kNote, sizeof kNote);
    // The command the engine builds, and whether it fits in its buffer with the terminator.
    const size_t length = std::strlen("open \"") + engineFolder.size() + name.size() +
                          std::strlen("\" type sequencer alias midi");
    const bool fits = length < static_cast<size_t>(kMidiCommandSize);
    // Nothing stays open but what the engine itself closes first.
    const bool clear = !model.open || (Midi.open == 1 && SameWord(model.alias, "midi"));
    const uint32_t result = static_cast<uint32_t>(MidiPlay(name.c_str(), loop));
    if (!KnownResult(result)) std::abort();
    if (result == platform::kSequencerOk) ++model.notifies;
    if (clear) model.open = false;
    // A command cut at its bound would open another file: nothing is opened, the play fails.
    if (clear && !fits && result != platform::kSequencerInvalidDeviceName) std::abort();
    if (clear && fits && made && soundFontThere && result != platform::kSequencerOk) std::abort();
    FollowEngine();
    if (made) unlink(path.c_str());
}

// The engine is told the piece ended: a repeating piece it holds plays again with a notify.
void EngineEndReport() {
    // The clock stands still meanwhile, so that the engine sees the mode the target saw.
    const uint32_t step = platform::headless::Headless.tickStep;
    platform::headless::Headless.tickStep = 0;
    char mode[kMidiStatusSize] = {};
    const bool again =
        Midi.open == 1 && Midi.loop != 0 &&
        platform::SendSequencerCommand("status midi mode", mode, sizeof mode) == platform::kSequencerOk &&
        std::strncmp(mode, "st", 2) == 0;
    TakeReports();
    if (again) ++model.notifies;
    HandleMidiEndReport(platform::kNotifySuccessful);
    platform::headless::Headless.tickStep = step;
    FollowEngine();
}

std::string Clean(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\\') c = '_';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where there is such a folder: each "@" line makes and removes a file there. Both
    // names are as long, so that the engine's commands reach their bound at the same name lengths.
    char inMemory[] = "/dev/shm/el_seqcmdfuzz_XXXXXX";
    char onDisk[] = "/tmp/el_sequencer_fuzz_XXXXXX";
    static_assert(sizeof inMemory == sizeof onDisk);
    char* pattern = access("/dev/shm", W_OK) == 0 ? inMemory : onDisk;
    if (mkdtemp(pattern) == nullptr) std::abort();
    folder = std::string(pattern) + "/";
    // The folder goes when the run ends (a run stopped by a finding leaves it for a look).
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    WriteFile(folder + "song.mid", kNote, sizeof kNote);
    WriteFile(folder + "Empty.MID", kEmpty, sizeof kEmpty);
    WriteFile(folder + "bad.mid", kNotAPiece, sizeof kNotAPiece - 1);
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr) std::abort();
    home = here;
    engineFolder = folder;
    for (char& c : engineFolder)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting((engineFolder + "program").c_str());
    soundFontThere = access(kSoundFont, R_OK) == 0;
    platform::headless::Reset();
    MidiInit();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Names without a folder are found in the target's own folder.
    if (chdir(folder.c_str()) != 0) std::abort();
    model = Model{};
    platform::headless::Headless.tickStep = 0;
    platform::sequencer::SetMixed((data[0] & 1) != 0);
    const std::string text = Clean(std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line[0] == '@') {
            std::string name = line.substr(std::min<size_t>(2, line.size()));
            for (char& c : name)
                if (c == '"' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
                    c = '_';
            EnginePlay(name, line.size() > 1 ? (line[1] & 1) : 0);
        } else if (line == "!") {
            EngineEndReport();
        } else if (!line.empty() && line[0] == '~') {
            const uint32_t frames = (line.size() > 1 ? static_cast<unsigned char>(line[1]) : 1u) * 97u;
            const uint32_t channels = (frames & 1) ? 1 : 2;
            float* samples = SilentBus(static_cast<size_t>(frames) * channels);
            platform::sequencer::Mix(samples, frames, channels, (frames & 2) ? 22050 : 48000, 1.0f);
            TakeReports();
        } else if (!line.empty() && line[0] == '#') {
            platform::headless::Headless.tickStep =
                (line.size() > 1 ? static_cast<unsigned char>(line[1]) : 1u) * 37u;
        } else {
            Send(line, line.size() % 40);
        }
    }

    // The device closes under the alias it was opened with, and then every notify has been told.
    platform::headless::Headless.tickStep = 0;
    if (model.open && Send("close " + Quoted(model.alias), 0) != platform::kSequencerOk) std::abort();
    Midi = MidiState{};
    if (model.reports != model.notifies) std::abort();
    // The engine logs every name it refuses to DEBUG.TXT in this folder: now and then the log goes,
    // so that it cannot grow through millions of runs.
    static uint32_t runs = 0;
    if (++runs % 4096 == 0) unlink("DEBUG.TXT");
    if (chdir(home.c_str()) != 0) std::abort();
    return 0;
}
