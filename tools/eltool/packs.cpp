// eltool's picture-pack commands: pack-pictures builds a pack from a folder of BMP pictures,
// list-picture-pack shows its entries, unpack-picture writes one entry as a 24-bit BMP.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/draw/pack_format.h"
#include "names.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "platform/sjis.h"

namespace eltool {
namespace {

constexpr int kMaxEntryName = pack::kMaxStoredName - 1;

// A picture by this system's path (the command line's and the folder listing's names are UTF-8).
platform::BmpResult LoadPicture(const std::string& path, platform::Picture& picture) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr)
        return platform::BmpResult{platform::BmpError::FileNotFound,
                                   platform::BmpErrorText(platform::BmpError::FileNotFound)};
    const platform::BmpResult result = platform::LoadBmpStream(in, picture);
    std::fclose(in);
    return result;
}

// Appends the entry of one decoded picture.
bool AppendPicture(std::FILE* out, const platform::Picture& picture, const std::string& name) {
    bool ok = pack::WriteEntryHeader(out, picture.width, picture.height, name.c_str());
    for (int y = 0; ok && y < picture.height; ++y)
        for (int x = 0; ok && x < picture.width; ++x)
            ok = pack::WritePixel(out, pack::EncodePixel(picture.At(x, y)));
    return ok;
}

}  // namespace

int PackPictures(int argc, char** argv) {
    std::vector<const char*> paths;
    bool fresh = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0)
            fresh = true;
        else
            paths.push_back(argv[i]);
    }
    if (paths.size() != 2) {
        std::fprintf(stderr, "usage: eltool pack-pictures PACK FOLDER [--fresh]\n");
        return kExitUsage;
    }
    const char* packPath = paths[0];
    const std::string folder = paths[1];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::fprintf(stderr, "eltool pack-pictures: %s: not a folder\n", folder.c_str());
        return kExitFailed;
    }
    if (!OutputPathUsable("pack-pictures", packPath)) return kExitFailed;
    // The new entries go behind a copy of the old ones (none with --fresh) in a file beside the
    // pack, which takes its place only once all are written: a failure leaves the old pack.
    platform::FileReplacement pack;
    std::string reason;
    if (!pack.Begin(packPath, !fresh, &reason)) {
        std::fprintf(stderr, "eltool pack-pictures: %s: cannot write (%s)\n", packPath, reason.c_str());
        return kExitFailed;
    }
    bool refused = false;
    // The same pictures in the same order as the engine's own conversion; one it cannot read gets
    // no entry there either.
    for (const std::string& file : pack::ListPictures(folder)) {
        // Entries are named in Shift-JIS, as the engine asks for them.
        std::string sjis;
        if (!EngineName("pack-pictures", file, sjis)) {
            refused = true;
            continue;
        }
        const std::string name = pack::UpperCased(sjis.c_str());
        if (name.size() > kMaxEntryName) {
            std::fprintf(stderr, "eltool pack-pictures: %s: name longer than %d characters\n", file.c_str(),
                         kMaxEntryName);
            refused = true;
            continue;
        }
        platform::Picture picture;
        const platform::BmpResult result = LoadPicture(folder + "/" + file, picture);
        if (!result) {
            std::fprintf(stderr, "eltool pack-pictures: %s: %s\n", file.c_str(), result.reason);
            refused = true;
            continue;
        }
        if (!pack.Check(AppendPicture(pack.file(), picture, name))) break;
    }
    if (!pack.Commit(&reason)) {
        std::fprintf(stderr, "eltool pack-pictures: %s: cannot write (%s)\n", packPath, reason.c_str());
        return kExitFailed;
    }
    return refused ? kExitFailed : kExitOk;
}

int ListPicturePack(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: eltool list-picture-pack PACK\n");
        return kExitUsage;
    }
    std::FILE* in = OpenInput("list-picture-pack", argv[0], kLargestPack);
    if (in == nullptr) return kExitFailed;
    pack::ScanEnd end = pack::ScanEnd::EndOfFile;
    int entries = 0;
    pack::ScanEntries(
        in,
        [&](const pack::EntryHeader& entry) {
            std::printf("%s %d %d\n", platform::SjisToUtf8(entry.name).c_str(), entry.width, entry.height);
            ++entries;
            return false;
        },
        &end);
    std::fclose(in);
    if (end == pack::ScanEnd::Malformed) {
        std::fprintf(stderr, "eltool list-picture-pack: %s: malformed entry after %d entries\n", argv[0],
                     entries);
        return kExitFailed;
    }
    return kExitOk;
}

int UnpackPicture(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: eltool unpack-picture PACK NAME OUT.bmp\n");
        return kExitUsage;
    }
    if (!OutputPathUsable("unpack-picture", argv[2])) return kExitFailed;
    std::FILE* in = OpenInput("unpack-picture", argv[0], kLargestPack);
    if (in == nullptr) return kExitFailed;
    pack::EntryHeader entry;
    platform::Picture picture;
    std::string name;
    bool found = EngineName("unpack-picture", argv[1], name) &&
                 pack::FindEntry(in, pack::UpperCased(name.c_str()).c_str(), entry);
    if (found) {
        picture.width = entry.width;
        picture.height = entry.height;
        picture.pixels.resize(static_cast<size_t>(entry.width) * entry.height);
        uint8_t bytes[2];
        for (uint32_t& pixel : picture.pixels) {
            if (std::fread(bytes, 1, 2, in) != 2) found = false;
            pixel = pack::DecodePixel(static_cast<uint16_t>(bytes[0] | bytes[1] << 8));
        }
    }
    std::fclose(in);
    if (!found) {
        std::fprintf(stderr, "eltool unpack-picture: %s: no entry %s\n", argv[0], argv[1]);
        return kExitFailed;
    }
    const std::vector<uint8_t> bytes = platform::EncodeBmp24(picture);
    std::string reason;
    if (!platform::WriteWholeFile(argv[2], bytes.data(), bytes.size(), &reason)) {
        std::fprintf(stderr, "eltool unpack-picture: %s: %s\n", argv[2], reason.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace eltool
