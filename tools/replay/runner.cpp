// The replay runner: the program's start-up, loop and window procedure on the headless backend,
// every scene frame traced, key messages posted from the script right before the frame they
// belong to, scripted joysticks set before it too. The same inputs always give the same outputs.
#include "runner.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/scenes.h"
#include "output_file.h"
#include "platform/audio.h"
#include "platform/blit.h"
#include "platform/bmp.h"
#include "platform/headless/headless.h"
#include "platform/sjis.h"
#include "platform/soft/quit_signals.h"
#include "platform/window.h"
#include "replay_script.h"
#include "shell/program.h"
#include "shell/window_procedure.h"
#include "wave_stream.h"

namespace replay {
namespace {

using platform::headless::Headless;

// The caption of the error routine's box, in the program's own text encoding.
constexpr const char* kErrorCaption = "エラー発生";

struct Run {
    const Program* program = nullptr;
    Options options;
    Script script;
    size_t nextEvent = 0, nextMove = 0, nextStick = 0;
    int64_t deliveredFrame = 0;  // the last frame whose messages have been posted
    bool exitRequested = false;
    bool started = false;
    SceneFrame sceneFrames[kSceneCount] = {};  // the program's own frames, as its start-up left them
    FILE* trace = nullptr;
    // The mixer's output: what every frame run so far made heard, at the output format of the first,
    // going to the file as it is made.
    WaveStream audio;
    uint32_t audioRate = 0;
    uint16_t audioChannels = 0;
    int64_t audioFrames = 0;     // frames whose sound has been taken
    int64_t sceneFramesRun = 0;  // every traced scene frame: the count of a program without its own
};

Run run;

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", run.program->name, message.c_str());
    return status;
}

std::string ToUtf8(const std::string& text) {
#ifdef EL_TEXT_UTF8
    return text;
#else
    return platform::SjisToUtf8(text);
#endif
}

// Every error the program reported so far, as "context : message".
std::vector<std::string> ReportedErrors() {
    std::vector<std::string> errors;
    for (const auto& box : Headless.messageBoxes)
        if (box.caption == kErrorCaption) errors.push_back(ToUtf8(box.text));
    return errors;
}

// Writes a JSON string: quotes, backslashes and control characters escaped, other bytes as they are.
void WriteJsonString(FILE* out, const std::string& text) {
    std::fputc('"', out);
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u == '"' || u == '\\')
            std::fprintf(out, "\\%c", u);
        else if (u < 0x20)
            std::fprintf(out, "\\u%04x", u);
        else
            std::fputc(u, out);
    }
    std::fputc('"', out);
}

int64_t FramesDone() {
    return run.program->framesDone != nullptr ? run.program->framesDone() : run.sceneFramesRun;
}

// The program's own state, or for a program without a writer the frames done and the errors.
void WriteState(FILE* out) {
    const std::vector<std::string> errors = ReportedErrors();
    if (run.program->writeState != nullptr) {
        run.program->writeState(out, errors);
        return;
    }
    std::fprintf(out, "{\"frame\":%lld,\"errors\":[", static_cast<long long>(FramesDone()));
    for (size_t i = 0; i < errors.size(); ++i) {
        if (i > 0) std::fputc(',', out);
        WriteJsonString(out, errors[i]);
    }
    std::fputs("]}", out);
}

template <int Scene>
void TracedFrame() {
    run.sceneFrames[Scene]();
    ++run.sceneFramesRun;
    if (run.trace != nullptr) {
        WriteState(run.trace);
        std::fputc('\n', run.trace);
    }
}

template <int... Scenes>
constexpr std::array<SceneFrame, sizeof...(Scenes)> TracedFrames(std::integer_sequence<int, Scenes...>) {
    return {TracedFrame<Scenes>...};
}

constexpr auto kTracedFrames = TracedFrames(std::make_integer_sequence<int, kSceneCount>());

// Wraps each scene registered and not wrapped yet, so that every frame is traced and counted.
void WrapScenes() {
    for (int scene = 1; scene < kSceneCount; ++scene) {
        const SceneFrame frame = Scenes.frames[scene];
        if (frame == nullptr || frame == kTracedFrames[scene]) continue;
        run.sceneFrames[scene] = frame;
        RegisterScene(scene, kTracedFrames[scene]);
    }
}

// The program's start-up, then each scene it registered wrapped.
void ReplayStartup() {
    run.program->startup();
    run.started = true;
    WrapScenes();
}

// Runs whenever the message queue is empty, that is right before the loop would run a frame:
// posts the messages of the coming frame, or after the last frame starts the exit procedure.
// Takes the sound of the frames run since the last call from the headless mixer: one frame period of
// sound each, the time the frame stands for on the screen.
void RecordAudio(int64_t framesDone) {
    if (run.options.audioPath.empty()) return;
    while (run.audioFrames < framesDone) {
        const platform::WaveFormat format = platform::OutputFormat();
        if (run.audioRate == 0) {
            run.audioRate = format.samplesPerSec;
            run.audioChannels = format.channels;
            run.audio.SetFormat(run.audioChannels, run.audioRate);
        }
        const uint32_t rate = Pacing.FrameRate > 0 ? Pacing.FrameRate : 60;
        const uint32_t frames = run.audioRate / rate;
        std::vector<int16_t> block(static_cast<size_t>(frames) * format.channels);
        platform::headless::RenderAudio(block.data(), frames);
        // A format chosen during the run changes what is rendered; the file keeps the first one.
        if (format.channels == run.audioChannels) run.audio.Append(block.data(), block.size());
        ++run.audioFrames;
    }
}

void BeforeFrame() {
    if (run.exitRequested) return;
    // A scene registered by a frame (not by the start-up) is traced and counted from its first frame.
    if (run.started) WrapScenes();
    const int64_t done = FramesDone();
    RecordAudio(done);
    if (done >= run.options.frames) {
        run.exitRequested = true;
        ExitProgram();
        return;
    }
    const int64_t coming = done + 1;
    if (coming <= run.deliveredFrame) return;
    run.deliveredFrame = coming;
    // The mouse moves and joystick readings of a frame come before its keys.
    const std::vector<MouseEvent>& moves = run.script.mouse;
    while (run.nextMove < moves.size() && moves[run.nextMove].frame <= coming) {
        const MouseEvent& move = moves[run.nextMove++];
        if (move.frame == coming)
            platform::PostMessage(platform::WM_MOUSEMOVE, 0, platform::MakeLParam(move.x, move.y));
    }
    // A stick reads what its last line up to this frame set, from this frame on.
    const std::vector<JoystickEvent>& sticks = run.script.joysticks;
    while (run.nextStick < sticks.size() && sticks[run.nextStick].frame <= coming) {
        const JoystickEvent& line = sticks[run.nextStick++];
        platform::headless::ScriptedJoystick& stick = platform::headless::Joysticks[line.joystick];
        stick.present = line.present;
        if (line.present) stick.reading = platform::JoystickReading{line.x, line.y, line.buttons};
    }
    const std::vector<KeyEvent>& events = run.script.keys;
    while (run.nextEvent < events.size() && events[run.nextEvent].frame <= coming) {
        const KeyEvent& event = events[run.nextEvent++];
        if (event.frame < coming) continue;  // cannot happen: frames run one by one
        platform::PostMessage(event.down ? platform::WM_KEYDOWN : platform::WM_KEYUP,
                              static_cast<uintptr_t>(event.virtualKey), 0);
    }
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    out = text.str();
    return true;
}

enum class ShotResult { Written, NoPicture, WriteFailed };

ShotResult SaveShot(const std::string& path) {
    const platform::Surface& last = platform::headless::Presented.last;
    if (platform::headless::Presented.count == 0 || last.width == 0) return ShotResult::NoPicture;
    platform::Picture picture;
    picture.width = last.width;
    picture.height = last.height;
    picture.pixels.resize(static_cast<size_t>(last.width) * last.height);
    for (int y = 0; y < last.height; ++y)
        for (int x = 0; x < last.width; ++x)
            picture.pixels[static_cast<size_t>(y) * last.width + x] =
                platform::RawToRgb(last.format, platform::GetRawPixel(last, x, y));
    // The path is the file system's own (from the command line), not an engine name: written as it is.
    // A regular file is written beside itself and put in place whole.
    const std::vector<uint8_t> bytes = platform::EncodeBmp24(picture);
    OutputFile out;
    if (!out.Open(path)) return ShotResult::WriteFailed;
    out.Check(std::fwrite(bytes.data(), 1, bytes.size(), out.file()) == bytes.size());
    return out.Close() ? ShotResult::Written : ShotResult::WriteFailed;
}

// Output paths are taken relative to the directory the runner was started in, not the data folder.
std::string Absolute(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ignored;
    return std::filesystem::absolute(path, ignored).string();
}

// A private folder for the single-instance lock, so that replays run beside each other and beside
// a running program.
struct PrivateRuntimeFolder {
    std::string path;
    explicit PrivateRuntimeFolder(const char* name) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(name) + ".XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
            ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
        }
    }
    ~PrivateRuntimeFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

int RunReplay(const Program& program, int argc, char** argv) {
    run.program = &program;
    std::string error;
    if (!ParseOptions(argc, argv, run.options, error)) return Fail(2, error);
    Options& options = run.options;

    if (!options.inputPath.empty()) {
        std::string script;
        std::error_code ignored;  // a folder opens and reads as an empty script
        if (std::filesystem::is_directory(options.inputPath, ignored))
            return Fail(2, "input '" + options.inputPath + "' is a folder, not a key script");
        if (!ReadWholeFile(options.inputPath, script))
            return Fail(2, "cannot read input '" + options.inputPath + "'");
        if (!ParseScript(script, program.mouseInScript, run.script, error))
            return Fail(2, options.inputPath + ": " + error);
    }

    const std::string statePath = Absolute(options.statePath);
    const std::string shotPath = Absolute(options.shotPath);
    const std::string audioPath = Absolute(options.audioPath);
    if (!audioPath.empty() && !run.audio.Open(audioPath))
        return Fail(2, "cannot write audio '" + options.audioPath + "'");
    // The state and the trace go into files beside their targets that take their places at the
    // end, whole; the old files stay until then, and for good when a write fails.
    OutputFile state, trace;
    if (!statePath.empty() && !state.Open(statePath))
        return Fail(2, "cannot write state '" + options.statePath + "'");
    if (!options.tracePath.empty()) {
        if (!trace.Open(Absolute(options.tracePath)))
            return Fail(2, "cannot write trace '" + options.tracePath + "'");
        run.trace = trace.file();
    }
    if (!shotPath.empty()) {
        OutputFile probe;  // the shot can be made there; the old one stays until the new one is whole
        if (!probe.Open(shotPath)) return Fail(2, "cannot write shot '" + options.shotPath + "'");
    }
    if (!options.dataDir.empty() && ::chdir(options.dataDir.c_str()) != 0)
        return Fail(2, "cannot enter data folder '" + options.dataDir + "'");

    ::setenv("ELDRAW_DEPTH", options.depth == 32 ? "32" : "16", 1);
    PrivateRuntimeFolder runtimeFolder(program.name);

    platform::headless::Reset();
    platform::headless::Audio.deviceAvailable = options.soundDevice;
    Headless.tickStep = 1;  // frame pacing spins on the clock: every read moves it on
    Headless.idleHook = BeforeFrame;
    SetRandomSeedForReplay(options.seed);
    // SIGTERM and SIGINT close the program as its close box does: the run ends after its current
    // frame and every output is written whole for the frames run, instead of leaving temporaries.
    platform::CatchQuitSignals();
    if (!platform::Initialise()) return Fail(1, platform::ErrorText());
    constexpr int kShowNormal = 1;
    const bool escapeEnded = EscapeEnds();
    SetEscapeEnds(program.escapeEnds);
    WinMain("", kShowNormal, ReplayStartup, program.caption);
    SetEscapeEnds(escapeEnded);
    platform::Shutdown();

    int status = 0;
    if (!run.started) status = Fail(1, "the program did not start");
    if (platform::QuitSignalled())
        status = Fail(1, "stopped by a signal after frame " + std::to_string(FramesDone()) +
                             ": the outputs hold the frames run");
    if (run.trace != nullptr) {
        run.trace = nullptr;
        if (!trace.Close()) status = Fail(1, "cannot write trace");
    }
    if (state.file() != nullptr) {
        WriteState(state.file());
        std::fputc('\n', state.file());
        if (!state.Close()) status = Fail(1, "cannot write state");
    }
    if (!audioPath.empty() && !run.audio.Finish())
        status = Fail(1, "cannot write audio '" + options.audioPath + "'");
    if (!shotPath.empty()) {
        const ShotResult shot = SaveShot(shotPath);
        if (shot == ShotResult::NoPicture)
            status = Fail(1, "no picture to write to '" + options.shotPath + "'");
        if (shot == ShotResult::WriteFailed) status = Fail(1, "cannot write shot '" + options.shotPath + "'");
    }
    return status;
}

}  // namespace replay
