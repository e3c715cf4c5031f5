// WAVE files for the sound objects: reading one into its format block and data, and building
// WAVE packs from a folder of them.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound/sound_objects.h"
#include "engine/sound/wave_pack.h"
#include "engine/system/error_report.h"
#include "engine/system/paths.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/sjis.h"

namespace {

bool EndsWithWav(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tail == ".WAV";
}

std::string UpperCased(std::string text) {
    UpperCaseSjis(text.data());
    return text;
}

// Writes a record for each WAVE file that can be read, named relative to the program folder, into
// the pack: behind a copy of its old records (none when fresh) in a file beside it, which takes its
// place once every record is written whole. A failure leaves the pack as it was and is said on
// standard error and in the debug log. A fresh pack that gets no record is removed.
bool WriteRecords(const char* context, const char* pack, const std::vector<std::string>& relativeNames,
                  bool fresh) {
    if (pack[0] == '\0') return true;  // no pack named: nothing is written, as always
    const std::string programFolder = ModulePath(0);
    const std::string path = platform::ResolvePath((programFolder + pack).c_str());
    platform::FileReplacement out;
    std::string reason;
    for (const std::string& relativeName : relativeNames) {
        WaveBlocks wave;
        // A file that cannot be read leaves no record behind.
        if (elSound::ReadWave((programFolder + relativeName).c_str(), &wave) != 0) continue;
        if (!out.begun() && !out.Begin(path, !fresh, &reason)) break;
        // The file name without its folder: a trail byte 0x5C (ソ, 表) is part of its character.
        const char* entryName = platform::SjisFileName(relativeName.c_str());
        if (!out.Check(WritePackRecord(out.file(), entryName, wave.format.data(),
                                       static_cast<uint32_t>(wave.format.size()), wave.data.data(),
                                       static_cast<uint32_t>(wave.data.size()))))
            break;
    }
    const bool begun = out.begun();
    if (begun) out.Commit(&reason);
    if (!begun && reason.empty() && fresh) std::remove(platform::LinkTarget(path).c_str());
    if (reason.empty()) return true;
    platform::WriteFileProblem(context, pack, reason.c_str());
    DebugLog("%s: %s: %s", context, pack, reason.c_str());
    return false;
}

}  // namespace

namespace elSound {

int ReadWave(const char* path, WaveBlocks* wave) {
    wave->format.clear();
    wave->data.clear();
    platform::WaveFile file;
    const platform::WaveError error = platform::ReadWaveFile(path, &file);
    if (error != platform::WaveError::kNone) return static_cast<int>(error);
    const platform::WaveFormat& f = file.format;
    // PCM has no extra bytes, whatever its format chunk holds; other formats keep their count and bytes.
    uint16_t extraCount = 0;
    if (f.formatTag != 1 && f.extra.size() >= 2) {
        const size_t held = f.extra.size() - 2;
        const size_t counted = static_cast<size_t>(f.extra[0] | f.extra[1] << 8);
        extraCount = static_cast<uint16_t>(counted < held ? counted : held);
    }
    const uint32_t fields[] = {f.formatTag,  f.channels,      f.samplesPerSec, f.avgBytesPerSec,
                               f.blockAlign, f.bitsPerSample, extraCount};
    const int widths[] = {2, 2, 4, 4, 2, 2, 2};
    for (int i = 0; i < 7; ++i)
        for (int b = 0; b < widths[i]; ++b)
            wave->format.push_back(static_cast<uint8_t>(fields[i] >> (8 * b)));
    if (extraCount > 0)
        wave->format.insert(wave->format.end(), f.extra.begin() + 2, f.extra.begin() + 2 + extraCount);
    wave->data = std::move(file.data);
    return 0;
}

int Convert(const char* pack, const char* folder, int fresh) {
    ConvertPack(pack, folder, fresh);
    return 1;
}

bool ConvertPack(const char* pack, const char* folder, int fresh) {
    if (pack == nullptr) pack = "";
    const std::string programFolder = ModulePath(0);

    const bool inFolder = folder != nullptr && folder[0] != '\0';
    const std::string searched = inFolder ? programFolder + folder : programFolder;
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(platform::ResolvePath(searched.c_str()), error)) {
        if (!entry.is_regular_file(error)) continue;
        // The folder lists the file system's names; the engine names files in Shift-JIS. A name
        // without a Shift-JIS form could not be loaded by its entry: it is left out, with a message.
        const std::string system = entry.path().filename().string();
        if (!EndsWithWav(system)) continue;
        std::string name;
        if (!platform::Utf8ToSjisExact(system, name)) {
            const std::string message =
                "シフトJISで表せないファイル名です (" + platform::Utf8ToSjisForMessage(system) + ")";
            ReportError("elSound::Convert", message.c_str());
            continue;
        }
        names.push_back(name);
    }
    // The search returns names in the order of their upper-case spelling, whatever the folder's own order.
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return UpperCased(a) < UpperCased(b); });
    std::vector<std::string> relativeNames;
    for (const std::string& name : names)
        relativeNames.push_back(UpperCased(inFolder ? std::string(folder) + "\\" + name : name));
    return WriteRecords("elSound::Convert", pack, relativeNames, fresh != 0);
}

void AppendToPack(const char* pack, const char* relativeName) {
    if (pack == nullptr || relativeName == nullptr) return;
    WriteRecords("elSound::AppendToPack", pack, {relativeName}, false);
}

}  // namespace elSound
