// Picture packs: the entry search, loading an entry into a sprite object, swapping and reloading
// pack objects, and building a pack from a folder of BMP pictures.
#include "engine/draw/pack.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/pack_format.h"
#include "engine/system/error_report.h"
#include "engine/system/paths.h"
#include "platform/blit.h"
#include "platform/files.h"
#include "platform/present.h"
#include "platform/primitives.h"
#include "platform/sjis.h"
#include "platform/text.h"

PackState Pack;

namespace {

constexpr const char* kMessageNoPack = "パックファイル名が指定されていません";
constexpr const char* kMessageNoEntry = "BMPファイルを読み込めません";
constexpr const char* kMessageCopyFailed = "サーフェース間で展開できません";
constexpr const char* kMessageNotFullColour = "画面をフルカラーにして下さい";
constexpr const char* kMessageNoSjisName = "シフトJISで表せないファイル名です";
constexpr int kCopyAttempts = 10;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string ProgramPath(const char* name) {
    return std::string(ModulePath(0)) + (name != nullptr ? name : "");
}

// Opens the pack and finds the entry; explains and reports under the context and returns null when
// either fails.
File FindPackEntry(const char* context, const char* name, pack::EntryHeader& entry) {
    if (name == nullptr) name = "";
    File file(Pack.path[0] != '\0' ? platform::OpenFile(Pack.path, "rb") : nullptr);
    if (!file) {
        if (Pack.path[0] == '\0')
            ExplainLoadFailure(context, name, "no pack file chosen with SetPackFile", "");
        else
            ExplainLoadFailure(context, name,
                               "pack file " + CannotOpenReason(platform::ResolvePath(Pack.path)),
                               platform::ResolvePath(Pack.path));
        ReportError(context, kMessageNoPack);
        return nullptr;
    }
    if (!pack::FindEntry(file.get(), pack::UpperCased(name).c_str(), entry)) {
        // Scanned again to tell a pack without the entry from one damaged before it.
        std::rewind(file.get());
        pack::ScanEnd end = pack::ScanEnd::EndOfFile;
        pack::ScanEntries(
            file.get(), [](const pack::EntryHeader&) { return false; }, &end);
        ExplainLoadFailure(context, name,
                           end == pack::ScanEnd::Malformed
                               ? "no entry of that name before the pack's damaged part"
                               : "no entry of that name in the pack",
                           platform::ResolvePath(Pack.path));
        ReportError(context, kMessageNoEntry);
        return nullptr;
    }
    return file;
}

// Turns the entry the file stands at into the slot's picture: the pixels go into a work surface of
// the display's format, which is then copied onto the slot's surface. The slot already holds a
// blank surface of the entry's size.
int FillFromEntry(const char* context, ObjectNo object, std::FILE* file, const pack::EntryHeader& entry) {
    std::unique_ptr<platform::Surface> work = NewDisplaySurface(entry.width, entry.height);
    platform::LockedPixels locked;
    if (!work || platform::Lock(*work, locked) != platform::BLIT_OK) return 0;
    const bool read = pack::ReadPixels(file, entry.width, entry.height, *work);
    platform::Unlock(*work);
    if (!read) return 0;  // the scan made sure the pixels are there; a read error is not expected

    int result = platform::BLIT_INVALID;
    for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
        platform::Surface* target = ObjectSurface(object);
        if (target == nullptr) break;
        result = platform::BltOpaque(*target, 0, 0, *work, platform::Rect{0, 0, entry.width, entry.height});
        if (result == platform::BLIT_OK) break;
        if (result == platform::SURFACE_LOST) RestoreSurfaces();
    }
    if (result != platform::BLIT_OK) return ReportError(context, kMessageCopyFailed);

    ObjectRecord& record = ObjectTable.records[object];
    const int32_t key = ObjectTable.loadKeyTopLeft ? KEY_TOP_LEFT : ObjectTable.loadKeyColor;
    ApplyColorKey(*record.surface, key);
    record.colorKey = key;
    std::snprintf(record.name, sizeof record.name, "%s", entry.name);
    record.fromPack = 1;
    record.memoryMode = 2;
    record.width = entry.width;
    record.height = entry.height;
    return 1;
}

// Creates the object for an entry in the lowest free slot and fills it.
ObjectNo LoadEntry(const char* context, std::FILE* file, const pack::EntryHeader& entry, int memoryMode) {
    const ObjectNo object = elDraw::CreateObject(entry.width, entry.height, memoryMode);
    if (object == 0) return 0;
    if (!FillFromEntry(context, object, file, entry)) {
        ReleaseObject(object);
        return 0;
    }
    return object;
}

// The pack being built: the new entries go behind a copy of the old ones (none when it starts
// afresh) in a file beside the pack, which takes its place once every entry is written whole.
struct PackBuild {
    std::string path;  // the pack's path in this system
    const char* name = "";
    bool fresh = false;
    platform::FileReplacement file;
    std::string reason;  // what failed, when something did

    bool failed() const { return !reason.empty(); }
    // The file entries are written into, begun with the first entry; null after a failure.
    std::FILE* Out() {
        if (failed() || name[0] == '\0') return nullptr;  // no pack named: nothing is written, as always
        if (!file.begun() && !file.Begin(path, !fresh, &reason)) return nullptr;
        return file.file();
    }
    // Puts the pack in place, or says what failed; with no entry written a fresh pack is removed.
    void Finish(const char* context) {
        const bool begun = file.begun();
        if (begun && !failed()) file.Commit(&reason);  // fails, saying why, after any failed write
        file.Abandon();
        if (!begun && !failed() && fresh && name[0] != '\0') std::remove(platform::LinkTarget(path).c_str());
        if (failed()) {
            platform::WriteFileProblem(context, name, reason.c_str());
            DebugLog("%s: %s: %s", context, name, reason.c_str());
        }
    }
};

// Appends one picture of the folder to the pack.
void AppendEntry(PackBuild& build, const std::string& pictureName) {
    const ObjectNo object = elDraw::LoadObject(pictureName.c_str(), 1);
    if (object == 0) return;  // LoadObject has reported it; no entry and nothing to release
    platform::Surface* surface = ObjectSurface(object);
    platform::DeviceContext* dc = surface != nullptr ? platform::GetDC(*surface) : nullptr;
    std::FILE* out = dc != nullptr ? build.Out() : nullptr;
    if (out != nullptr) {
        const ObjectRecord& record = ObjectTable.records[object];
        // The file name without its folder; a "\\" that is the trail byte of a character is no separator.
        const char* entryName = platform::SjisFileName(pictureName.c_str());
        bool ok = build.file.Check(pack::WriteEntryHeader(out, record.width, record.height, entryName));
        for (int y = 0; ok && y < record.height; ++y)
            for (int x = 0; ok && x < record.width; ++x) {
                const uint32_t colour = platform::GetPixel(dc, x, y);  // 0x00BBGGRR
                const uint32_t rgb = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
                ok = build.file.Check(pack::WritePixel(out, pack::EncodePixel(rgb)));
            }
    }
    if (dc != nullptr) platform::ReleaseDC(dc);
    ReleaseObject(object);
}

}  // namespace

void SetPackFile(const char* name) {
    std::snprintf(Pack.path, sizeof Pack.path, "%s%s", ModulePath(0), name != nullptr ? name : "");
}

namespace elDraw {

ObjectNo LoadPack(const char* name, int memoryMode) {
    if (name == nullptr) name = "";
    pack::EntryHeader entry;
    File file = FindPackEntry("elDraw::LoadPack", name, entry);
    if (!file) return 0;
    return LoadEntry("elDraw::LoadPack", file.get(), entry, memoryMode);
}

ObjectNo SwapPack(const char* name, ObjectNo object, int memoryMode) {
    if (name == nullptr) name = "";
    pack::EntryHeader entry;
    File file = FindPackEntry("elDraw::SwapPack", name, entry);
    if (!file) return 0;
    if (object >= kFirstFreeObject && object < kObjectCount) {
        ObjectTable.records[object].surface.reset();
        ObjectTable.records[object].name[0] = '\0';
    }
    return LoadEntry("elDraw::SwapPack", file.get(), entry, memoryMode);
}

int Convert(const char* packName, const char* folder, int startAfresh) {
    if (platform::DesktopBitsPerPixel() <= 16) return ReportError("elDraw::Convert", kMessageNotFullColour);
    if (packName == nullptr) packName = "";
    if (folder == nullptr) folder = "";
    PackBuild build;
    build.path = platform::ResolvePath(ProgramPath(packName).c_str());
    build.name = packName;
    build.fresh = startAfresh != 0;
    const std::string prefix = folder[0] != '\0' ? std::string(folder) + "\\" : std::string();
    const std::string where = platform::ResolvePath(ProgramPath(prefix.c_str()).c_str());
    if (where.empty()) {  // a folder name that is not text lists nothing
        build.Finish("elDraw::Convert");
        return 1;
    }
    // The folder lists its files by the file system's names; the pictures are loaded, and their
    // entries named, by the Shift-JIS names the engine uses. A name without one is left out.
    for (const std::string& file : pack::ListPictures(where)) {
        std::string name;
        if (!platform::Utf8ToSjisExact(file, name)) {
            const std::string message =
                std::string(kMessageNoSjisName) + " (" + platform::Utf8ToSjisForMessage(file) + ")";
            ReportError("elDraw::Convert", message.c_str());
            continue;
        }
        AppendEntry(build, pack::UpperCased((prefix + name).c_str()));
        if (build.failed() || build.file.failed()) break;  // the old pack stays as it was
    }
    build.Finish("elDraw::Convert");
    return 1;
}

}  // namespace elDraw

int ReloadPackObject(ObjectNo object) {
    if (object < kFirstFreeObject || object >= kObjectCount) return 0;
    ObjectRecord& record = ObjectTable.records[object];
    char name[kObjectNameSize];
    std::memcpy(name, record.name, sizeof name);
    pack::EntryHeader entry;
    File file = FindPackEntry("elDraw::SwapPack", name, entry);
    if (!file) return 0;
    // The slot keeps its number: a blank surface of the entry's size takes the lost one's place.
    record.surface = NewDisplaySurface(entry.width, entry.height);
    if (!record.surface) return ReportError("elDraw::SwapPack", kMessageCopyFailed);
    return FillFromEntry("elDraw::SwapPack", object, file.get(), entry);
}
