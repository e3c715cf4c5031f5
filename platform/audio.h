// The sound device and its sound buffers: PCM data in the buffer's own format, mixed in software.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// A WAVE format block as a RIFF "fmt " chunk holds it; extra bytes after the 16 of PCM are kept.
struct WaveFormat {
    uint16_t formatTag = 1;  // 1 = PCM, the only tag the mixer plays
    uint16_t channels = 2;
    uint32_t samplesPerSec = 22050;
    uint32_t avgBytesPerSec = 88200;
    uint16_t blockAlign = 4;
    uint16_t bitsPerSample = 16;
    std::vector<uint8_t> extra;  // cbSize bytes and what follows, as read
};

// Result codes of the audio operations; 0 is success, like the old sound API.
enum AudioResult : int32_t {
    kAudioOk = 0,
    kAudioNoDevice = static_cast<int32_t>(0x88780078u),      // no device is open
    kAudioBadFormat = static_cast<int32_t>(0x88780064u),     // a format the mixer cannot play
    kAudioInvalidParam = static_cast<int32_t>(0x80070057u),  // a bad handle, size or range
    kAudioOutOfMemory = static_cast<int32_t>(0x8007000Eu),
    kAudioBusy = static_cast<int32_t>(0x887800A0u),  // the device did not take the last data in time
};

// A sound buffer handle; 0 is none.
using SoundBuffer = uint32_t;

// Up to two regions of a locked byte range; the second is used when the range wraps past the end.
struct LockedRegions {
    void* first = nullptr;
    uint32_t firstBytes = 0;
    void* second = nullptr;
    uint32_t secondBytes = 0;
};

constexpr int32_t kVolumeMin = -10000;  // hundredths of a decibel; gain 10^(volume / 2000)
constexpr int32_t kVolumeMax = 0;
constexpr int32_t kPanLeft = -10000;  // attenuates the far side only, by 10^(-|pan| / 2000)
constexpr int32_t kPanRight = 10000;
constexpr uint32_t kFrequencyMin = 100;  // Hz
constexpr uint32_t kFrequencyMax = 100000;

// Opens the output device of the running backend; false when there is none (the engine then runs
// silently). The mix is made at 48000 Hz, 2 channels, 16 bits until SetOutputFormat chooses one.
bool OpenAudioDevice();
// Why the last OpenAudioDevice found no device, in words for the player ("" while one is open or
// before the first attempt).
const char* AudioDeviceProblem();
// Stops and releases every buffer, then the device. Nothing happens when none is open.
void CloseAudioDevice();
bool AudioDeviceOpen();
// Chooses the format the mix is made in (PCM only); kAudioBadFormat for one that cannot be mixed.
int32_t SetOutputFormat(const WaveFormat& format);
WaveFormat OutputFormat();

// A buffer of `bytes` bytes of silence in `format`, stopped at position 0, volume 0, pan 0, at the
// format's own rate. kAudioBadFormat for formats other than PCM 8-bit unsigned or 16-bit signed,
// mono or stereo, with a consistent block alignment; kAudioInvalidParam for a size of 0 or one that
// is not a whole number of sample frames.
int32_t CreateSoundBuffer(const WaveFormat& format, uint32_t bytes, SoundBuffer* buffer);
void ReleaseSoundBuffer(SoundBuffer buffer);
// Locks `bytes` bytes from `offset` (wrapping past the end into a second region); bytes 0 locks the
// whole buffer. Writing into the regions changes what is played from then on.
int32_t LockSoundBuffer(SoundBuffer buffer, uint32_t offset, uint32_t bytes, LockedRegions* regions);
void UnlockSoundBuffer(SoundBuffer buffer, const LockedRegions& regions);
// Plays from the current position, once (stopping at the end) or looping without a gap.
int32_t PlaySoundBuffer(SoundBuffer buffer, bool looping);
int32_t StopSoundBuffer(SoundBuffer buffer);
bool SoundBufferPlaying(SoundBuffer buffer);
// The play position in bytes, in whole sample frames of the buffer's format.
uint32_t SoundBufferPosition(SoundBuffer buffer);
int32_t SetSoundBufferPosition(SoundBuffer buffer, uint32_t bytes);
int32_t SetSoundBufferVolume(SoundBuffer buffer, int32_t volume);
int32_t SoundBufferVolume(SoundBuffer buffer);
int32_t SetSoundBufferPan(SoundBuffer buffer, int32_t pan);
int32_t SoundBufferPan(SoundBuffer buffer);
int32_t SetSoundBufferFrequency(SoundBuffer buffer, uint32_t hertz);
uint32_t SoundBufferFrequency(SoundBuffer buffer);

// RIFF/WAVE files: the format block and the sample data, read from memory or from a file.
enum class WaveError : int32_t {
    kNone = 0,
    kUnreadable,      // the file cannot be opened or read
    kTooShort,        // shorter than a RIFF header
    kNotRiff,         // no "RIFF" at the start
    kNotWave,         // a RIFF file of another form than "WAVE"
    kTruncated,       // the RIFF size or a chunk size runs past the end of the file
    kNoFormat,        // no "fmt " chunk
    kFormatTooShort,  // a "fmt " chunk of fewer than 16 bytes
    kBadFormatBlock,  // no channels, no block alignment, a rate of 0, or extra bytes it does not hold
    kNoData,          // no "data" chunk
    kTooLarge,        // larger than this reader takes (4 GiB of sample data)
};
// A short English reason, for messages and tool output.
const char* WaveErrorText(WaveError error);

struct WaveFile {
    WaveFormat format;
    uint32_t formatBytes = 0;   // size of the "fmt " chunk as written in the file
    std::vector<uint8_t> data;  // the "data" chunk
};

// Reads a whole RIFF/WAVE image: "fmt " and "data" in any order, unknown chunks skipped, odd chunk
// sizes padded. Nothing outside [bytes, bytes + size) is read; on failure `wave` is left empty.
WaveError ReadWave(const uint8_t* bytes, size_t size, WaveFile* wave);
// The same from a file; the name is resolved like every file name of the platform.
WaveError ReadWaveFile(const char* path, WaveFile* wave);

// An extensible format block (tag 0xFFFE) whose sub-format is PCM at 8 or 16 bits becomes the
// plain PCM block it describes (tag 1; its extension stays in `extra`, which nothing reads for
// PCM); true when it did. The readers apply it.
bool PcmFromExtensible(WaveFormat* format);

// Whether the mixer can play `format` in a buffer: PCM 8 or 16 bits, 1 or 2 channels, a rate of
// kFrequencyMin..kFrequencyMax and the block alignment those imply.
bool PlayableFormat(const WaveFormat& format);
// Why the mixer cannot play `format` (a short English reason), or nullptr when it can.
const char* UnplayableReason(const WaveFormat& format);
// Writes "context: name: reason" as one line on standard error, the name (Shift-JIS) as UTF-8:
// the reason behind a refused sound, next to the message the engine shows.
void WriteSoundRefusal(const char* context, const char* name, const char* reason);

// Plays a WAVE file on its own, returning when it has finished; false when it cannot be played.
// The caller closes the device first and reopens it afterwards.
bool PlayWaveFileSync(const char* path);

}  // namespace platform
