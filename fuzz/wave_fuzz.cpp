// Fuzz target of the RIFF/WAVE reader: any input is refused or read without touching memory outside
// it, what is read is consistent with the input, and a playable result plays through the mixer
// (at a frequency, position and output format taken from the input) without faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/audio.h"
#include "platform/soft/mixer.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static soft::Mixer* mixer = new soft::Mixer;
    WaveFile wave;
    const WaveError error = ReadWave(data, size, &wave);
    if (error != WaveError::kNone) {
        if (!wave.data.empty() || wave.formatBytes != 0) std::abort();
        return 0;
    }
    if (wave.data.size() + 20 > size || wave.formatBytes < 16) std::abort();
    if (wave.format.extra.size() != wave.formatBytes - 16) std::abort();
    if (!PlayableFormat(wave.format) || wave.data.size() < wave.format.blockAlign) return 0;

    const uint8_t tail = data[size - 1];
    soft::MixFormat out;
    out.channels = (tail & 1) ? 1 : 2;
    out.bits = (tail & 2) ? 8 : 16;
    out.rate = (tail & 4) ? 8000 : 48000;
    mixer->SetFormat(out);
    const uint32_t bytes =
        static_cast<uint32_t>(wave.data.size() - wave.data.size() % wave.format.blockAlign);
    SoundBuffer buffer = 0;
    if (mixer->Create(wave.format, bytes, &buffer) != kAudioOk) std::abort();
    LockedRegions regions;
    if (mixer->Lock(buffer, static_cast<uint32_t>(data[0]) % bytes, 0, &regions) != kAudioOk) std::abort();
    // The two regions together are the whole buffer, from the offset round to it.
    if (regions.firstBytes + regions.secondBytes != bytes) std::abort();
    const uint8_t* from = wave.data.data();
    for (uint32_t i = 0; i < regions.firstBytes; ++i) static_cast<uint8_t*>(regions.first)[i] = *from++;
    for (uint32_t i = 0; i < regions.secondBytes; ++i) static_cast<uint8_t*>(regions.second)[i] = *from++;
    mixer->Unlock(buffer, regions);
    mixer->SetFrequency(
        buffer, kFrequencyMin + (static_cast<uint32_t>(data[1]) << 9) % (kFrequencyMax - kFrequencyMin));
    mixer->SetPan(buffer, static_cast<int32_t>(data[2]) * 78 - 10000);
    mixer->SetPosition(buffer, static_cast<uint32_t>(data[3]) * wave.format.blockAlign % bytes);
    mixer->Play(buffer, (tail & 8) != 0);
    int16_t rendered[300 * 2];
    mixer->Render(rendered, 300);
    if (mixer->Position(buffer) > bytes) std::abort();
    // A buffer played once is either still playing short of its end or stopped at its end.
    if (!(tail & 8) && mixer->Playing(buffer) == (mixer->Position(buffer) == bytes)) std::abort();
    mixer->Release(buffer);
    return 0;
}
