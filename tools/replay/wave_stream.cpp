// The streamed WAVE recording: blocks of samples, each followed by a header that counts them.
#include "wave_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace replay {
namespace {

void Put16(uint8_t* out, uint16_t v) {
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

WaveStream::~WaveStream() = default;  // an unfinished recording's temporary file is removed

bool WaveStream::Open(const std::string& path) {
    if (!out_.Open(path)) return false;
    fd_ = ::fileno(out_.file());
    // A pipe cannot have its header patched: the recording is kept and written whole at the end.
    seekable_ = ::lseek(fd_, 0, SEEK_CUR) == 0;
    held_.reserve(kBlockBytes);
    if (seekable_) ok_ = WriteHeader();
    return true;
}

void WaveStream::SetFormat(uint16_t channels, uint32_t rate) {
    channels_ = channels;
    rate_ = rate;
    if (fd_ >= 0 && seekable_ && ok_) ok_ = WriteHeader();
}

void WaveStream::Append(const int16_t* samples, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint16_t v = static_cast<uint16_t>(samples[i]);
        held_.push_back(static_cast<uint8_t>(v));
        held_.push_back(static_cast<uint8_t>(v >> 8));
        if (seekable_ && held_.size() >= kBlockBytes) WriteBlock();
    }
}

bool WaveStream::Finish(std::string* reason) {
    if (fd_ < 0) return false;
    if (!seekable_) {
        samplesOnDisk_ = held_.size() / 2;
        ok_ = WriteAll(HeaderBytes().data(), 44) && WriteAll(held_.data(), held_.size());
        held_.clear();
    }
    WriteBlock();
    fd_ = -1;
    out_.Check(ok_);
    return out_.Close(reason);
}

bool WaveStream::WriteAll(const uint8_t* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd_, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            return out_.Check(false);
        }
        bytes += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

std::array<uint8_t, 44> WaveStream::HeaderBytes() const {
    const uint32_t dataBytes = static_cast<uint32_t>(samplesOnDisk_ * 2);
    std::array<uint8_t, 44> bytes = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    uint8_t* header = bytes.data();
    Put32(header + 4, 36 + dataBytes);
    Put32(header + 16, 16);
    Put16(header + 20, 1);
    Put16(header + 22, channels_);
    Put32(header + 24, rate_);
    Put32(header + 28, rate_ * channels_ * 2);
    Put16(header + 32, static_cast<uint16_t>(channels_ * 2));
    Put16(header + 34, 16);
    header[36] = 'd';
    header[37] = 'a';
    header[38] = 't';
    header[39] = 'a';
    Put32(header + 40, dataBytes);
    return bytes;
}

// The header for the samples on disk, written over the first 44 bytes (the samples go on after them).
bool WaveStream::WriteHeader() {
    const std::array<uint8_t, 44> header = HeaderBytes();
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    if (end < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) return false;
    const bool written = WriteAll(header.data(), header.size());
    return ::lseek(fd_, end < 44 ? 44 : end, SEEK_SET) >= 0 && written;
}

// The held samples, then the header that counts them: the file is whole after each block.
void WaveStream::WriteBlock() {
    if (held_.empty()) return;
    if (ok_ && WriteAll(held_.data(), held_.size())) {
        samplesOnDisk_ += held_.size() / 2;
        ok_ = WriteHeader();
    } else {
        ok_ = false;
    }
    held_.clear();
}

}  // namespace replay
