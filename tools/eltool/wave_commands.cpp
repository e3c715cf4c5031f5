// eltool's WAVE commands: pack-waves builds a WAVE pack from a folder with the engine's converter,
// list-wave-pack lists a pack's records, and render-wave plays a WAVE file through elSound and the
// mixer on the headless device and writes what a listener would hear.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/sound/elsound.h"
#include "engine/sound/wave_pack.h"
#include "names.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/sjis.h"
#include "wave_output.h"

namespace eltool {
namespace {

bool ParseInt(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

// "CHANNELS,RATE,BITS" as whole numbers and nothing else ("2,48000,16junk" is refused); the values
// themselves are judged by SelectFormat.
bool ParseFormat(const char* text, long* format) {
    const char* at = text;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        if (*at < '0' || *at > '9') return false;
        format[i] = std::strtol(at, &end, 10);
        if (end == at || format[i] > 1000000000L) return false;
        if (i < 2 && *end != ',') return false;
        if (i == 2 && *end != '\0') return false;
        at = end + 1;
    }
    return true;
}

}  // namespace

int PackWaves(int argc, char** argv) {
    bool fresh = false;
    std::vector<const char*> positional;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0) {
            fresh = true;
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "usage: eltool pack-waves PACK FOLDER [--fresh]\n");
        return kExitUsage;
    }
    const char* pack = positional[0];
    const char* folder = positional[1];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::fprintf(stderr, "eltool pack-waves: %s: not a folder\n", folder);
        return kExitFailed;
    }
    if (!OutputPathUsable("pack-waves", pack)) return kExitFailed;
    // Files the converter will leave out, named with the reason.
    int readable = 0, refused = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (name.size() < 4 || strcasecmp(name.c_str() + name.size() - 4, ".wav") != 0) continue;
        std::string sjis;
        if (!platform::Utf8ToSjisExact(name, sjis)) {
            std::fprintf(stderr, "eltool pack-waves: %s: the name has no Shift-JIS form (left out)\n",
                         entry.path().c_str());
            ++refused;
            continue;
        }
        platform::WaveFile wave;
        const platform::WaveError result = ReadWaveAt(entry.path(), &wave);
        if (result != platform::WaveError::kNone) {
            std::fprintf(stderr, "eltool pack-waves: %s: %s (left out)\n", entry.path().c_str(),
                         platform::WaveErrorText(result));
            ++refused;
        } else {
            ++readable;
        }
    }
    // The engine's converter reads and writes below the program folder. A folder of its own holds
    // links to the WAVE folder and to the pack, so that neither path needs a Shift-JIS form.
    const std::filesystem::path work =
        std::filesystem::temp_directory_path(error) / ("eltool_pack_waves_" + std::to_string(::getpid()));
    std::filesystem::remove_all(work, error);
    bool linked = std::filesystem::create_directories(work, error);
    if (linked)
        std::filesystem::create_directory_symlink(std::filesystem::absolute(folder), work / "WAVES", error);
    linked = linked && !error;
    if (linked) std::filesystem::create_symlink(std::filesystem::absolute(pack), work / "PACK", error);
    linked = linked && !error;
    // The pack is written whole beside itself and then put in place (through the link), so a
    // failure leaves the old pack as it was.
    bool written = false;
    if (linked) {
        // The engine's debug log, which says what failed, goes into the work folder and no further.
        const std::filesystem::path here = std::filesystem::current_path(error);
        std::filesystem::current_path(work, error);
        PlaceProgramIn(work);
        written = elSound::ConvertPack("PACK", "WAVES", fresh ? 1 : 0);
        PlaceProgramIn({});
        std::filesystem::current_path(here, error);
    }
    std::filesystem::remove_all(work, error);  // the links only, never what they point at
    if (!linked || !written || (readable > 0 && !std::filesystem::exists(pack, error))) {
        std::fprintf(stderr, "eltool pack-waves: %s: cannot write\n", pack);
        return kExitFailed;
    }
    std::printf("%d records added to %s\n", readable, pack);
    return refused > 0 ? kExitFailed : kExitOk;  // what could be packed is, but a refusal is said
}

int ListWavePack(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: eltool list-wave-pack PACK\n");
        return kExitUsage;
    }
    FILE* file = OpenInput("list-wave-pack", argv[0], kLargestPack);
    if (file == nullptr) return kExitFailed;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::rewind(file);
    int result = kExitOk;
    PackRecord record;
    for (;;) {
        const long start = std::ftell(file);
        if (start == size) break;
        if (!ReadPackRecordHeader(file, &record)) {
            std::fprintf(stderr, "eltool list-wave-pack: %s: record header cut short at byte %ld\n", argv[0],
                         start);
            result = kExitFailed;
            break;
        }
        uint8_t format[16] = {};
        if (!PackRecordFits(file, record) || record.formatSize < 16 ||
            std::fread(format, 1, 16, file) != 16) {
            std::fprintf(stderr, "eltool list-wave-pack: %s: record at byte %ld %s\n", argv[0], start,
                         record.formatSize < 16 ? "has no format block" : "runs past the end of the pack");
            result = kExitFailed;
            break;
        }
        const unsigned channels = format[2] | format[3] << 8;
        const unsigned long rate = static_cast<unsigned long>(format[4] | format[5] << 8 | format[6] << 16) |
                                   static_cast<unsigned long>(format[7]) << 24;
        const unsigned bits = format[14] | format[15] << 8;
        std::printf("%s%s\t%u\t%lu\t%u\t%u\n", platform::SjisToUtf8(record.name).c_str(),
                    record.nameTooLong ? "..." : "", channels, rate, bits, record.dataSize);
        if (!SkipPackRecord(file, record)) break;
    }
    std::fclose(file);
    return result;
}

namespace {

// The program folder at `folder` (in the engine's "\\" form), the headless device opened as the
// display set-up opens it, and the output format when one is given: kExitOk, or kExitFailed with a
// line saying why.
int OpenHeadlessSound(const std::filesystem::path& folder, const long* format) {
    PlaceProgramIn(folder);
    if (elSound::Init() == 0) {
        std::fprintf(stderr, "eltool render-wave: no audio device\n");
        ResetSoundObjects();
        return kExitFailed;
    }
    ResetSoundObjects();
    if (format != nullptr && elSound::SelectFormat(static_cast<int>(format[0]), static_cast<int>(format[1]),
                                                   static_cast<int>(format[2])) != 1) {
        std::fprintf(stderr, "eltool render-wave: output format %ld,%ld,%ld refused\n", format[0], format[1],
                     format[2]);
        return kExitFailed;
    }
    return kExitOk;
}

// eltool render-wave --pack PACK --stream NAME [--loop-point BYTES] --seconds S
// [--format CHANNELS,RATE,BITS] OUT.wav: a pack entry streamed as a scene streams it, Streaming
// called after every 1/75 s of rendered sound.
int RenderStream(int argc, char** argv) {
    const char* usage =
        "usage: eltool render-wave --pack PACK --stream NAME [--loop-point BYTES] --seconds S\n"
        "       [--format CHANNELS,RATE,BITS] OUT.wav\n";
    const char* pack = nullptr;
    const char* entry = nullptr;
    const char* out = nullptr;
    long loopPoint = -1, format[3] = {0, 0, 0};
    bool haveFormat = false;
    double seconds = 0.0;
    for (int i = 0; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strncmp(option, "--", 2) != 0) {
            if (out != nullptr) {
                std::fputs(usage, stderr);
                return kExitUsage;
            }
            out = option;
            continue;
        }
        if (i + 1 >= argc) {
            std::fputs(usage, stderr);
            return kExitUsage;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (std::strcmp(option, "--pack") == 0) {
            pack = value;
        } else if (std::strcmp(option, "--stream") == 0) {
            entry = value;
        } else if (std::strcmp(option, "--loop-point") == 0) {
            ok = ParseInt(value, 0, 0x7FFFFFFF, &loopPoint);
        } else if (std::strcmp(option, "--seconds") == 0) {
            char* end = nullptr;
            seconds = std::strtod(value, &end);
            ok = end != value && *end == '\0' && seconds > 0.0 && seconds <= 3600.0;
        } else if (std::strcmp(option, "--format") == 0) {
            ok = ParseFormat(value, format);
            haveFormat = true;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "eltool render-wave: bad option %s %s\n", option, value);
            std::fputs(usage, stderr);
            return kExitUsage;
        }
    }
    if (pack == nullptr || entry == nullptr || out == nullptr || seconds <= 0.0) {
        std::fputs(usage, stderr);
        return kExitUsage;
    }
    if (!std::filesystem::is_regular_file(pack)) {
        std::fprintf(stderr, "eltool render-wave: %s: cannot open\n", pack);
        return kExitFailed;
    }
    // The pack is selected by its name below the program folder: its own folder. The entry's name
    // is asked for in Shift-JIS, as the pack holds it.
    std::string entryName;
    if (!EngineName("render-wave", entry, entryName)) return kExitFailed;
    const PlacedFile placed(pack, "STREAM.PAK", kSoundPathSize / 2);
    int result = OpenHeadlessSound(placed.folder(), haveFormat ? format : nullptr);
    SoundNo number = -1;
    if (result == kExitOk) {
        elSound::SetPackName(placed.name().c_str());
        number = elSound::LoadStream(entryName.c_str(), loopPoint < 0 ? 0 : static_cast<uint32_t>(loopPoint));
        if (number < 0) {
            std::fprintf(stderr, "eltool render-wave: %s: the entry %s cannot be streamed\n", pack, entry);
            result = kExitFailed;
        }
    }
    if (result == kExitOk) {
        if (loopPoint >= 0) {
            elSound::PlayLoop(number, 0);
        } else {
            elSound::Play(number, 0);
        }
        const platform::WaveFormat output = platform::OutputFormat();
        const uint64_t frames = static_cast<uint64_t>(std::llround(seconds * output.samplesPerSec));
        const uint32_t turn = std::max<uint32_t>(1, output.samplesPerSec / 75);
        std::vector<int16_t> samples(static_cast<size_t>(frames) * output.channels);
        for (uint64_t done = 0; done < frames; done += turn) {
            const uint32_t now = static_cast<uint32_t>(std::min<uint64_t>(turn, frames - done));
            platform::headless::RenderAudio(samples.data() + done * output.channels, now);
            elSound::Streaming();
        }
        if (!WriteWave16(out, output.channels, output.samplesPerSec, samples)) {
            std::fprintf(stderr, "eltool render-wave: %s: cannot write\n", out);
            result = kExitFailed;
        }
    }
    elSound::Release();
    PlaceProgramIn({});
    return result;
}

}  // namespace

int RenderWave(int argc, char** argv) {
    if (argc > 0 && std::strcmp(argv[0], "--pack") == 0) return RenderStream(argc, argv);
    const char* usage =
        "usage: eltool render-wave IN.wav OUT.wav [--volume STEPS] [--pan STEPS] [--frequency HZ]\n"
        "       [--format CHANNELS,RATE,BITS] [--loop SECONDS]\n";
    std::vector<const char*> positional;
    long volume = 0, pan = 0, frequency = 0;
    long format[3] = {0, 0, 0};
    bool haveFormat = false;
    double loopSeconds = -1.0;
    for (int i = 0; i < argc; ++i) {
        const char* option = argv[i];
        const bool takesValue = std::strncmp(option, "--", 2) == 0;
        if (!takesValue) {
            positional.push_back(option);
            continue;
        }
        if (i + 1 >= argc) {
            std::fputs(usage, stderr);
            return kExitUsage;
        }
        const char* value = argv[++i];
        bool ok = false;
        if (std::strcmp(option, "--volume") == 0) {
            ok = ParseInt(value, -1000000, 1000000, &volume);
        } else if (std::strcmp(option, "--pan") == 0) {
            ok = ParseInt(value, -1000000, 1000000, &pan);
        } else if (std::strcmp(option, "--frequency") == 0) {
            ok = ParseInt(value, 1, 1000000000, &frequency);
        } else if (std::strcmp(option, "--format") == 0) {
            ok = ParseFormat(value, format);
            haveFormat = true;
        } else if (std::strcmp(option, "--loop") == 0) {
            char* end = nullptr;
            loopSeconds = std::strtod(value, &end);
            ok = end != value && *end == '\0' && loopSeconds > 0.0 && loopSeconds <= 3600.0;
        }
        if (!ok) {
            std::fprintf(stderr, "eltool render-wave: bad option %s %s\n", option, value);
            std::fputs(usage, stderr);
            return kExitUsage;
        }
    }
    if (positional.size() != 2) {
        std::fputs(usage, stderr);
        return kExitUsage;
    }
    const char* in = positional[0];
    const char* out = positional[1];

    // The input is checked first, so that a refused file is named with its reason.
    platform::WaveFile wave;
    const platform::WaveError read = ReadWaveAt(in, &wave);
    if (read != platform::WaveError::kNone) {
        std::fprintf(stderr, "eltool render-wave: %s: %s\n", in, platform::WaveErrorText(read));
        return kExitFailed;
    }
    if (!platform::PlayableFormat(wave.format) || wave.data.size() < wave.format.blockAlign) {
        std::fprintf(
            stderr,
            "eltool render-wave: %s: not a sound the mixer plays (PCM 8 or 16 bits, 1 or 2 channels)\n", in);
        return kExitFailed;
    }

    // The engine loads by a name below the program folder; a long file name, or one without a
    // Shift-JIS form, is reached through a short link in a folder of its own.
    const PlacedFile placed(in, "INPUT.WAV", kSoundNameSize - 1);
    const std::string& name = placed.name();
    int result = OpenHeadlessSound(placed.folder(), haveFormat ? format : nullptr);
    const SoundNo number = result == kExitOk ? elSound::LoadObject(name.c_str(), 1) : -1;
    if (result == kExitOk && number < 0) {
        std::fprintf(stderr, "eltool render-wave: %s: cannot be loaded\n", in);
        result = kExitFailed;
    }
    if (result == kExitOk) {
        elSound::SetVolume(number, static_cast<int>(volume), 0);
        elSound::SetPan(number, static_cast<int>(pan), 0);
        SoundCopy& copy = SoundObjects.objects[number].copies[0];
        if (frequency != 0) {
            // Clamped to the mixer's range like every frequency operation.
            copy.frequency = static_cast<uint32_t>(
                std::clamp<long>(frequency, platform::kFrequencyMin, platform::kFrequencyMax));
            platform::SetSoundBufferFrequency(copy.buffer, copy.frequency);
        }
        const platform::WaveFormat output = platform::OutputFormat();
        uint64_t frames = 0;
        if (loopSeconds > 0.0) {
            elSound::PlayLoop(number, 0);
            frames = static_cast<uint64_t>(std::llround(loopSeconds * output.samplesPerSec));
        } else {
            elSound::Play(number, 0);
            // Up to the output frame in which the sound's last frame is heard.
            const uint64_t sourceFrames = wave.data.size() / wave.format.blockAlign;
            frames = (sourceFrames * output.samplesPerSec + copy.frequency - 1) / copy.frequency;
        }
        std::vector<int16_t> samples(static_cast<size_t>(frames) * output.channels);
        platform::headless::RenderAudio(samples.data(), static_cast<uint32_t>(frames));
        if (!WriteWave16(out, output.channels, output.samplesPerSec, samples)) {
            std::fprintf(stderr, "eltool render-wave: %s: cannot write\n", out);
            result = kExitFailed;
        }
    }
    elSound::Release();
    PlaceProgramIn({});
    return result;
}

}  // namespace eltool
