// Recording sound as a 16-bit PCM WAVE file while it is made, in constant memory.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "output_file.h"

namespace replay {

// The samples go to disk a block at a time; after each block the header is rewritten to say what
// the file holds, so a run that ends at any point leaves a playable file up to its last block. A
// regular file is recorded into a temporary file beside it that takes its place when finished: a run
// that fails leaves the old file, if any, and no partial one, and one that is killed leaves the
// temporary file, playable. The finished file has the same bytes as the whole recording written at
// once (44-byte header, "fmt " of 16 bytes, "data").
class WaveStream {
  public:
    // Bytes of samples held before they are written.
    static constexpr size_t kBlockBytes = 256 * 1024;

    WaveStream() = default;
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;
    ~WaveStream();

    // Creates the file (the temporary one beside a regular file) and writes the header of an empty
    // stereo 48 kHz recording; false when it cannot be created.
    bool Open(const std::string& path);
    // Where the samples go until Finish: the temporary file beside a regular target, else "".
    const std::string& partPath() const { return out_.temporaryPath(); }
    // The format the recording is in; given before the first samples.
    void SetFormat(uint16_t channels, uint32_t rate);
    void Append(const int16_t* samples, size_t count);
    // Writes what is held and the final header, closes the file and puts it in place; false when
    // any write failed (`reason`, when given, says what), which leaves no partial regular file.
    bool Finish(std::string* reason = nullptr);

  private:
    bool WriteAll(const uint8_t* bytes, size_t size);
    std::array<uint8_t, 44> HeaderBytes() const;
    bool WriteHeader();
    void WriteBlock();

    OutputFile out_;
    int fd_ = -1;
    bool ok_ = true;
    bool seekable_ = true;
    uint16_t channels_ = 2;
    uint32_t rate_ = 48000;
    uint64_t samplesOnDisk_ = 0;
    std::vector<uint8_t> held_;
};

}  // namespace replay
