// The MIDI sequencer: command strings, one open piece, timing by the mixer or the clock, and a
// synthesizer with the General MIDI sound font that renders the piece into the mix.
#include "platform/sequencer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/soft/message_queue.h"
#include "platform/soft/midi_file.h"
#include "platform/soft/sequencer_mix.h"
#include "platform/window.h"

namespace platform {
namespace {

constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
constexpr uint32_t kClockRate = 48000;  // frames per second of the clock-driven time line
constexpr uint64_t kMicroseconds = 1000000;
constexpr int kChannels = 16;
constexpr int kScratchFrames = 512;
constexpr int kReportSlots = 8;
constexpr intptr_t kDeviceId = 1;

enum class Mode { kStopped, kPlaying, kPaused };

// Time is kept as microseconds times the frame rate, so frames and milliseconds both add exactly.
struct Sequencer {
    std::mutex lock;  // between the window's thread and the mixing thread
    bool open = false;
    std::string alias;
    midi::MidiPiece piece;
    Mode mode = Mode::kStopped;
    uint32_t rate = kClockRate;
    uint64_t position = 0;  // microseconds times rate
    size_t nextEvent = 0;
    bool notifyPending = false;
    uint32_t reports[kReportSlots] = {};
    int reportCount = 0;
    bool mixed = false;  // the mixer pulls samples; otherwise the clock moves the piece on
    uint32_t lastTicks = 0;

    std::string soundFont = kDefaultSoundFont;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    uint32_t synthRate = 0;
    float scratch[kScratchFrames * 2] = {};

    ~Sequencer() {
        std::lock_guard<std::mutex> guard(lock);
        if (synth != nullptr) delete_fluid_synth(synth);
        if (settings != nullptr) delete_fluid_settings(settings);
        synth = nullptr;
        settings = nullptr;
    }
};

Sequencer& State() {
    static Sequencer sequencer;
    return sequencer;
}

// --- Synthesizer ---------------------------------------------------------------------------

// Creates the synthesizer and loads the sound font once; false when either fails.
bool EnsureSynth(Sequencer& s) {
    if (s.synth != nullptr) return true;
    // No log function rather than one that drops the text: with a function set, the synthesizer
    // formats every message first, and resetting the controllers of sounding voices (each stop,
    // close and rewind) formats debugging lines for every voice that nobody reads.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr) return false;
    fluid_settings_setnum(settings, "synth.sample-rate", kClockRate);
    fluid_settings_setnum(settings, "synth.gain", 0.6);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    // A chorus keeps its modulation running across passes, so a repeated piece would not sound
    // the same twice; the reverb stays.
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (synth == nullptr || fluid_synth_sfload(synth, s.soundFont.c_str(), 1) == FLUID_FAILED) {
        if (synth != nullptr) delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return false;
    }
    std::lock_guard<std::mutex> guard(s.lock);
    s.settings = settings;
    s.synth = synth;
    s.synthRate = kClockRate;
    return true;
}

// Lets sounding notes end (release tails go on) and brings every channel back to its defaults.
void SilenceChannels(Sequencer& s, bool cutTails) {
    if (s.synth == nullptr) return;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (cutTails)
            fluid_synth_all_sounds_off(s.synth, channel);
        else
            fluid_synth_all_notes_off(s.synth, channel);
        fluid_synth_cc(s.synth, channel, 121, 0);  // reset all controllers
        fluid_synth_pitch_bend(s.synth, channel, 8192);
    }
}

void SendEvent(Sequencer& s, const midi::MidiEvent& e) {
    fluid_synth_t* synth = s.synth;
    const int channel = e.status & 0x0F;
    switch (e.status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, e.data1);
            break;
        case 0x90:
            fluid_synth_noteon(synth, channel, e.data1, e.data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, e.data1, e.data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, e.data1, e.data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, e.data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, e.data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, e.data1 | (e.data2 << 7));
            break;
        case 0xF0:
            fluid_synth_sysex(synth, reinterpret_cast<const char*>(s.piece.sysexBytes.data() + e.sysexOffset),
                              static_cast<int>(e.sysexLength), nullptr, nullptr, nullptr, 0);
            break;
        default:
            break;
    }
}

// --- Time line -------------------------------------------------------------------------------

void QueueReport(Sequencer& s, uint32_t code) {
    if (s.reportCount < kReportSlots) s.reports[s.reportCount++] = code;
}

void SetRate(Sequencer& s, uint32_t rate) {
    if (rate == s.rate || rate == 0) return;
    s.position = s.position / s.rate * rate;
    s.rate = rate;
}

// Sends every event that is due and ends the piece at its length. `audible` is false while the
// clock keeps time, when nothing would hear the notes.
void DispatchDue(Sequencer& s, bool audible) {
    if (s.mode != Mode::kPlaying) return;
    const auto& events = s.piece.events;
    while (s.nextEvent < events.size() && events[s.nextEvent].microseconds * s.rate <= s.position) {
        if (audible && s.synth != nullptr) SendEvent(s, events[s.nextEvent]);
        ++s.nextEvent;
    }
    if (s.piece.lengthMicroseconds * s.rate <= s.position) {
        s.position = s.piece.lengthMicroseconds * s.rate;
        s.mode = Mode::kStopped;
        SilenceChannels(s, false);
        if (s.notifyPending) {
            s.notifyPending = false;
            QueueReport(s, kNotifySuccessful);
        }
    }
}

// Frames from the position to the next event or the end, at least 1.
uint64_t FramesToNextMark(const Sequencer& s) {
    const auto& events = s.piece.events;
    uint64_t mark = s.piece.lengthMicroseconds;
    if (s.nextEvent < events.size()) mark = std::min(mark, events[s.nextEvent].microseconds);
    const uint64_t target = mark * s.rate;
    if (target <= s.position) return 1;
    return (target - s.position + kMicroseconds - 1) / kMicroseconds;
}

// Moves the clock-driven time line on to the platform clock's present.
void FollowClock(Sequencer& s) {
    const uint32_t now = Ticks();
    const uint32_t elapsed = now - s.lastTicks;
    s.lastTicks = now;
    if (s.mixed || !s.open || s.mode != Mode::kPlaying) return;
    s.position += static_cast<uint64_t>(elapsed) * 1000 * s.rate;
    DispatchDue(s, false);
}

// Runs on the window's thread before each message is taken: the clock moves the piece on and
// finished pieces report to the window.
void DeliverReports() {
    Sequencer& s = State();
    uint32_t reports[kReportSlots];
    int count = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        FollowClock(s);
        count = s.reportCount;
        std::copy(s.reports, s.reports + count, reports);
        s.reportCount = 0;
    }
    for (int i = 0; i < count; ++i) PostMessage(MM_MCINOTIFY, reports[i], kDeviceId);
}

// --- Commands ----------------------------------------------------------------------------

struct Words {
    std::vector<std::string> items;
    bool unclosedQuote = false;
};

Words SplitCommand(const char* command) {
    Words words;
    const char* p = command;
    while (*p != '\0') {
        while (*p == ' ' || *p == '\t') ++p;
        if (*p == '\0') break;
        std::string word;
        if (*p == '"') {
            const char* close = std::strchr(p + 1, '"');
            if (close == nullptr) {
                words.unclosedQuote = true;
                return words;
            }
            word.assign(p + 1, close);
            p = close + 1;
        } else {
            while (*p != '\0' && *p != ' ' && *p != '\t') word += *p++;
        }
        words.items.push_back(word);
    }
    return words;
}

bool Same(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

uint32_t ReadPiece(const std::string& name, midi::MidiPiece& piece) {
    std::vector<uint8_t> bytes;
    if (!midi::ReadMidiFileBytes(name.c_str(), bytes)) return kSequencerFileNotFound;
    if (bytes.size() > midi::kLargestMidiFile) return kSequencerInvalidFile;
    return midi::ParseMidiFile(bytes.data(), bytes.size(), piece) == midi::MidiFileError::kNone
               ? kSequencerOk
               : kSequencerInvalidFile;
}

uint32_t Open(Sequencer& s, const Words& words) {
    if (words.items.size() < 2) return kSequencerMissingParameter;
    std::string alias = words.items[1];
    for (size_t i = 2; i < words.items.size(); i += 2) {
        if (i + 1 >= words.items.size()) return kSequencerMissingParameter;
        const std::string& value = words.items[i + 1];
        if (Same(words.items[i], "type")) {
            if (!Same(value, "sequencer")) return kSequencerInvalidDeviceName;
        } else if (Same(words.items[i], "alias")) {
            alias = value;
        } else {
            return kSequencerUnrecognizedKeyword;
        }
    }
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.open) return Same(s.alias, alias.c_str()) ? kSequencerDuplicateAlias : kSequencerDeviceOpen;
    }
    midi::MidiPiece piece;
    if (uint32_t error = ReadPiece(words.items[1], piece); error != kSequencerOk) return error;
    if (!EnsureSynth(s)) return kSequencerCannotLoadDriver;
    std::lock_guard<std::mutex> guard(s.lock);
    s.piece = std::move(piece);
    s.alias = alias;
    s.open = true;
    s.mode = Mode::kStopped;
    s.position = 0;
    s.nextEvent = 0;
    s.notifyPending = false;
    s.lastTicks = Ticks();
    return kSequencerOk;
}

// An outstanding notify ends without the piece having played to its end.
void AbortNotify(Sequencer& s) {
    if (!s.notifyPending) return;
    s.notifyPending = false;
    QueueReport(s, kNotifyAborted);
}

void Rewind(Sequencer& s) {
    AbortNotify(s);
    s.mode = Mode::kStopped;
    s.position = 0;
    s.nextEvent = 0;
    SilenceChannels(s, false);
}

uint32_t Status(const Sequencer& s, const Words& words, char* answer, size_t answerBytes) {
    if (words.items.size() < 3) return kSequencerMissingParameter;
    char text[32];
    const std::string& item = words.items[2];
    if (Same(item, "mode")) {
        const char* mode = s.mode == Mode::kPlaying  ? "playing"
                           : s.mode == Mode::kPaused ? "paused"
                                                     : "stopped";
        std::snprintf(text, sizeof text, "%s", mode);
    } else if (Same(item, "position")) {
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(s.position / s.rate / 1000));
    } else if (Same(item, "length")) {
        std::snprintf(text, sizeof text, "%llu",
                      static_cast<unsigned long long>(s.piece.lengthMicroseconds / 1000));
    } else {
        return kSequencerUnrecognizedKeyword;
    }
    if (answer != nullptr && answerBytes > 0) {
        std::strncpy(answer, text, answerBytes - 1);
        answer[answerBytes - 1] = '\0';
    }
    return kSequencerOk;
}

// Every command but open names the device by its alias.
uint32_t DeviceCommand(Sequencer& s, const Words& words, char* answer, size_t answerBytes) {
    const std::string& verb = words.items[0];
    if (words.items.size() < 2) return kSequencerMissingParameter;
    std::lock_guard<std::mutex> guard(s.lock);
    FollowClock(s);
    if (!s.open || !Same(s.alias, words.items[1].c_str())) return kSequencerInvalidDeviceName;
    if (Same(verb, "status")) return Status(s, words, answer, answerBytes);
    if (Same(verb, "seek")) {
        if (words.items.size() < 4 || !Same(words.items[2], "to")) return kSequencerMissingParameter;
        if (Same(words.items[3], "start")) {
            Rewind(s);
        } else if (Same(words.items[3], "end")) {
            AbortNotify(s);
            s.mode = Mode::kStopped;
            s.position = s.piece.lengthMicroseconds * s.rate;
            s.nextEvent = s.piece.events.size();
            SilenceChannels(s, false);
        } else {
            return kSequencerUnrecognizedKeyword;
        }
        return kSequencerOk;
    }
    if (Same(verb, "play")) {
        bool notify = false;
        for (size_t i = 2; i < words.items.size(); ++i) {
            if (!Same(words.items[i], "notify")) return kSequencerUnrecognizedKeyword;
            notify = true;
        }
        if (s.notifyPending) {
            s.notifyPending = false;
            QueueReport(s, notify ? kNotifySuperseded : kNotifyAborted);
        }
        s.notifyPending = notify;
        s.mode = Mode::kPlaying;
        s.lastTicks = Ticks();
        DispatchDue(s, s.mixed);
        return kSequencerOk;
    }
    if (Same(verb, "pause")) {
        if (s.mode == Mode::kPlaying) s.mode = Mode::kPaused;
        SilenceChannels(s, false);
        return kSequencerOk;
    }
    if (Same(verb, "resume")) {
        if (s.mode == Mode::kPaused) s.mode = Mode::kPlaying;
        s.lastTicks = Ticks();
        return kSequencerOk;
    }
    if (Same(verb, "stop")) {
        AbortNotify(s);
        if (s.mode != Mode::kStopped) SilenceChannels(s, false);
        s.mode = Mode::kStopped;
        return kSequencerOk;
    }
    if (Same(verb, "close")) {
        AbortNotify(s);
        SilenceChannels(s, true);
        s.open = false;
        s.mode = Mode::kStopped;
        s.piece = midi::MidiPiece{};
        s.alias.clear();
        return kSequencerOk;
    }
    return kSequencerUnrecognizedCommand;
}

}  // namespace

uint32_t SendSequencerCommand(const char* command, char* answer, size_t answerBytes) {
    Sequencer& s = State();
    queue::SetPollHook(DeliverReports);
    if (answer != nullptr && answerBytes > 0) answer[0] = '\0';
    if (command == nullptr) return kSequencerMissingParameter;
    const Words words = SplitCommand(command);
    if (words.unclosedQuote) return kSequencerNoClosingQuote;
    if (words.items.empty()) return kSequencerUnrecognizedCommand;
    const std::string& verb = words.items[0];
    uint32_t result = kSequencerUnrecognizedCommand;
    if (Same(verb, "open")) {
        result = Open(s, words);
    } else if (Same(verb, "status") || Same(verb, "seek") || Same(verb, "play") || Same(verb, "pause") ||
               Same(verb, "resume") || Same(verb, "stop") || Same(verb, "close")) {
        result = DeviceCommand(s, words, answer, answerBytes);
    }
    // Superseded and aborted notifies are told at once, like the end of a piece is at its time.
    DeliverReports();
    return result;
}

std::string SequencerSoundFont() {
    Sequencer& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.soundFont;
}

void SetSequencerSoundFont(const char* path) {
    Sequencer& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.soundFont = path;
    if (s.synth != nullptr) {
        // A new font applies from the next open; the old synthesizer goes when nothing plays.
        if (!s.open) {
            delete_fluid_synth(s.synth);
            delete_fluid_settings(s.settings);
            s.synth = nullptr;
            s.settings = nullptr;
        }
    }
}

namespace sequencer {

void SetMixed(bool mixed) {
    Sequencer& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.mixed == mixed) return;
    s.mixed = mixed;
    s.lastTicks = Ticks();
}

void Mix(float* bus, uint32_t frames, uint32_t channels, uint32_t rate, float scale) {
    Sequencer& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.synth == nullptr) return;
    if (rate != s.synthRate) {
        // The output format changed: the synthesizer follows (its sounding voices end).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        fluid_synth_set_sample_rate(s.synth, static_cast<float>(rate));
#pragma GCC diagnostic pop
        s.synthRate = rate;
    }
    SetRate(s, rate);
    uint32_t done = 0;
    while (done < frames) {
        uint32_t chunk = std::min<uint32_t>(frames - done, kScratchFrames);
        if (s.open && s.mode == Mode::kPlaying) {
            DispatchDue(s, true);
            if (s.mode == Mode::kPlaying)
                chunk = static_cast<uint32_t>(std::min<uint64_t>(chunk, FramesToNextMark(s)));
        }
        fluid_synth_write_float(s.synth, static_cast<int>(chunk), s.scratch, 0, 2, s.scratch, 1, 2);
        float* out = bus + static_cast<size_t>(done) * channels;
        if (channels == 2) {
            for (uint32_t i = 0; i < chunk * 2; ++i) out[i] += s.scratch[i] * scale;
        } else {
            for (uint32_t i = 0; i < chunk; ++i)
                out[i] += (s.scratch[2 * i] + s.scratch[2 * i + 1]) * 0.5f * scale;
        }
        if (s.open && s.mode == Mode::kPlaying) {
            s.position += static_cast<uint64_t>(chunk) * kMicroseconds;
            DispatchDue(s, true);
        }
        done += chunk;
    }
}

}  // namespace sequencer
}  // namespace platform
