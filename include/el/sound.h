// Sound: the output format, sound objects of up to 10 copies loaded from WAVE files or WAVE pack
// entries, and playback control (round-robin copies, volume, pan, frequency, the echo).
// Copy argument: 0..count-1 one copy; elCopy::RoundRobin the next round-robin copy (and for Play
// and PlayLoop the start of the echo); elCopy::Every every copy (Play and PlayLoop: the next copy).
#pragma once
#include <cstdint>

// Index of a sound object in the table, 0 to 69; -1 is every loader's failure value.
using SoundNo = int;

constexpr int kSoundObjectCount = 70;
constexpr int kMaxSoundCopies = 10;

// Copy selection of the playback operations.
namespace elCopy {
constexpr int RoundRobin = -2;
constexpr int Every = -1;
}  // namespace elCopy

namespace elSound {

// 1 when the output device is open (every sound operation needs it), 0 when the engine runs silently.
int IsAvailable();
// Chooses the output format (rate codes 8, 11, 22 and 44 stand for 8000, 11025, 22050 and 44100 Hz)
// and rebuilds every object in it: 1 done (or no device), 0 refused.
int SelectFormat(int channels, int rate, int bits);
// Gives up the device, plays a wave file on its own until it has finished, then restores the
// device. A system sound name or a file that cannot be played gives the short beep instead.
void PlayWaveSync(const char* sound);

// Loads a WAVE file (relative to the program folder). Count: its absolute value is the number of
// copies (at most 10); above 1 the echo is available. -1 on failure.
SoundNo LoadObject(const char* name, int count);
// Selects the pack file, a name relative to the program folder, for LoadPack.
void SetPackName(const char* name);
// Loads an entry of the selected pack, with copies as LoadObject. -1 on failure.
SoundNo LoadPack(const char* name, int count);
// Frees an object and its copies.
void FreeObject(SoundNo number);
// Builds the pack (relative to the program folder) from every *.WAV file of the folder; a fresh
// pack replaces the old one, otherwise the records are appended behind it. Always 1.
int Convert(const char* pack, const char* folder, int fresh);
// Appends one WAVE file, named relative to the program folder, to the pack; nothing for a file
// that cannot be read.
void AppendToPack(const char* pack, const char* relativeName);

// Plays once.
void Play(SoundNo number, int copy);
// Plays repeating.
void PlayLoop(SoundNo number, int copy);
// Stops.
void Stop(SoundNo number, int copy);
// A playing copy stops and keeps its position; a stopped one resumes there.
void Pause(SoundNo number, int copy);
// The play position of copy 0 in bytes; 0 without a device or for an object that is not loaded.
uint32_t GetPosition(SoundNo number);

// Adds steps of 100 Hz to the frequency.
void AddFrequency(SoundNo number, int steps, int copy);
// Sets the frequency to the object's own plus steps of 100 Hz.
void SetFrequency(SoundNo number, int steps, int copy);
// Back to the object's own frequency.
void ResetFrequency(SoundNo number, int copy);
// Adds pan steps of 100 units (-10000 left .. 10000 right).
void AddPan(SoundNo number, int steps, int copy);
// Sets the pan in steps of 100 units.
void SetPan(SoundNo number, int steps, int copy);
// Back to the centre.
void ResetPan(SoundNo number, int copy);
// All the way left.
void PanLeft(SoundNo number, int copy);
// All the way right.
void PanRight(SoundNo number, int copy);
// Adds steps of 1 dB to the volume (0 is full, -100 silent).
void AddVolume(SoundNo number, int steps, int copy);
// Sets the volume in steps of 1 dB below full.
void SetVolume(SoundNo number, int steps, int copy);
// Back to full volume.
void ResetVolume(SoundNo number, int copy);

// Advances a running echo by one frame: every interval milliseconds the next copy plays fade
// decibels quieter than the one before, until repeats repeats have played.
void UpdateEcho(SoundNo number, int interval, int repeats, int fade);
// The same, with the repeats swaying between left and right by sway pan steps per second.
void UpdateEchoSweep(SoundNo number, int interval, int repeats, int fade, int sway);

// 1 when the number holds a loaded object, else 0.
int IsLoaded(SoundNo number);
// The object's number of copies; 0 when it is not loaded.
int GetCopyCount(SoundNo number);
// The copy the next round-robin play uses; 0 when the object is not loaded.
int GetNextCopy(SoundNo number);
// 1 when the object was last started with PlayLoop, else 0.
int IsLooping(SoundNo number);
// 1 while the copy plays, else 0.
int IsPlaying(SoundNo number, int copy);
// The echo: -1 none, 0 ready, n >= 1 running with the n-th repeat next (-1 when not loaded).
int GetEchoState(SoundNo number);
// A copy's volume in hundredths of a decibel (-10000 .. 0); 0 for a copy that does not exist.
int GetVolume(SoundNo number, int copy);
// A copy's pan, -10000 (left) .. 10000 (right); 0 for a copy that does not exist.
int GetPan(SoundNo number, int copy);
// A copy's frequency in Hz; 0 for a copy that does not exist.
uint32_t GetFrequency(SoundNo number, int copy);

}  // namespace elSound
