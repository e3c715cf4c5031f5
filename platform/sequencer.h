// The MIDI sequencer, driven by command strings like the old multimedia command interface.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Result codes of SendSequencerCommand (0 is success), with their classic numbers.
enum SequencerError : uint32_t {
    kSequencerOk = 0,
    kSequencerUnrecognizedKeyword = 259,
    kSequencerUnrecognizedCommand = 261,
    kSequencerInvalidDeviceName = 263,  // no device is open under that alias
    kSequencerDeviceOpen = 265,         // the sequencer is already open under another alias
    kSequencerCannotLoadDriver = 266,   // the synthesizer or its sound font cannot be loaded
    kSequencerMissingParameter = 273,
    kSequencerFileNotFound = 275,
    kSequencerNoClosingQuote = 294,
    kSequencerDuplicateAlias = 289,
    kSequencerInvalidFile = 296,  // not a standard MIDI file
};

// Codes of the end report (message 953, wParam) for a "play ... notify".
enum SequencerNotify : uint32_t {
    kNotifySuccessful = 1,  // the piece played to its end
    kNotifySuperseded = 2,  // a new play with notify replaced it
    kNotifyAborted = 4,     // stop, seek or close ended it
    kNotifyFailure = 8,
};

// Sends one command: "open \"PATH\" type sequencer alias NAME", "seek NAME to start",
// "play NAME [notify]", "pause NAME", "resume NAME", "stop NAME", "close NAME",
// "status NAME mode". A status answer ("stopped", "playing", "paused", "not ready") is copied,
// cut to fit with its NUL, into `answer`. The end report of a notify is posted to the window.
uint32_t SendSequencerCommand(const char* command, char* answer = nullptr, size_t answerBytes = 0);

// The sound font the synthesizer loads on the first open (tests point it elsewhere).
void SetSequencerSoundFont(const char* path);
// The path of that sound font, for the line that says why it could not be loaded.
std::string SequencerSoundFont();

}  // namespace platform
