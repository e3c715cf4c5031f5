// The sprite object table: loading, creation, swapping, colour keys and restoring lost surfaces.
#include "engine/draw/objects.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/draw/display.h"
#include "engine/draw/pack.h"
#include "engine/system/error_report.h"
#include "engine/system/paths.h"
#include "platform/blit.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "platform/present.h"

ObjectTableState ObjectTable;

namespace {

constexpr const char* kMessageNameTooLong = "ファイル名またはリソース名が長すぎます";
constexpr const char* kMessageTooManyObjects = "オブジェクト数が多過ぎます";
constexpr const char* kMessageCannotLoad = "BMPファイルを読み込めません";
constexpr const char* kMessageCannotCreate = "スプライトを作成できません";

bool ValidObject(ObjectNo object) { return object >= 0 && object < kObjectCount; }

ObjectNo FirstFreeSlot() {
    for (ObjectNo i = kFirstFreeObject; i < kObjectCount; ++i)
        if (ObjectTable.records[i].name[0] == '\0') return i;
    return 0;
}

void SetName(ObjectRecord& record, const char* name) {
    std::snprintf(record.name, sizeof record.name, "%s", name);
}

int32_t LoadKey() { return ObjectTable.loadKeyTopLeft ? KEY_TOP_LEFT : ObjectTable.loadKeyColor; }

// Decodes a picture from a resource compiled into the program, by name.
bool DecodeResource(const char* name, platform::Picture& picture) {
    const platform::Resource* resource = platform::FindResource(name);
    return resource != nullptr && platform::DecodeBmp(resource->data, resource->size, picture).ok();
}

// A picture by path: the program's resource of that name first, then the file. The path is the
// engine's name (program folder and Shift-JIS name): the file layer turns it into the system's once.
bool DecodeBitmap(const char* path, platform::Picture& picture) {
    if (DecodeResource(path, picture)) return true;
    return platform::LoadBmpFile(path, picture).ok();
}

// Puts a decoded picture into a new surface of its size and records the size.
bool FillSlotFromPicture(ObjectRecord& record, const platform::Picture& picture) {
    record.width = static_cast<uint16_t>(picture.width);
    record.height = static_cast<uint16_t>(picture.height);
    record.surface = NewDisplaySurface(picture.width, picture.height);
    if (!record.surface) return false;
    return platform::CopyPictureToSurface(*record.surface, picture) == platform::BLIT_OK;
}

// Why the file at `path` (the engine's name of it) gave no picture, and where it was looked for.
void ExplainPictureFailure(const char* operation, const char* name, const char* path) {
    const std::string system = platform::ResolvePath(path);
    platform::Picture picture;
    const platform::BmpResult result = platform::LoadBmpFile(path, picture);
    std::string reason;
    if (result.error == platform::BmpError::FileNotFound)
        reason = CannotOpenReason(system);
    else if (result.error == platform::BmpError::NotBmp)
        reason = "not a BMP file: it does not start with \"BM\"";
    else if (!result.ok())
        reason = std::string("not a BMP file it can read: ") + result.reason;
    else
        reason = "a " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                 " picture no sprite of the display can hold";
    ExplainLoadFailure(operation, name, reason, system);
}

// Loading steps shared by load and swap: the file beside the program, then a resource under the
// bare name; the key is applied once the picture is in the surface. A failure is explained under
// the operation's name.
bool LoadIntoSlot(ObjectRecord& record, const char* name, const char* operation) {
    char path[kPathBufferSize * 2];
    std::snprintf(path, sizeof path, "%s%s", ModulePath(0), name);
    platform::Picture picture;
    bool loaded = DecodeBitmap(path, picture) || DecodeResource(name, picture);
    if (!loaded || !FillSlotFromPicture(record, picture)) {
        record.surface.reset();
        ExplainPictureFailure(operation, name, path);
        return false;
    }
    ApplyColorKey(*record.surface, LoadKey());
    record.colorKey = LoadKey();
    return true;
}

}  // namespace

std::unique_ptr<platform::Surface> NewDisplaySurface(int width, int height) {
    if (width < 1 || height < 1 || width > platform::kMaxSurfaceSide || height > platform::kMaxSurfaceSide)
        return nullptr;
    auto format = Display.depth == 32 ? platform::PixelFormat::XRGB8888 : platform::PixelFormat::RGB565;
    return std::make_unique<platform::Surface>(platform::CreateSurface(width, height, format));
}

platform::Surface* ObjectSurface(ObjectNo object) {
    return ValidObject(object) ? ObjectTable.records[object].surface.get() : nullptr;
}

uint32_t MatchColor(const platform::Surface& surface, int32_t color) {
    return platform::MatchColor(surface, static_cast<uint32_t>(color));
}

void ApplyColorKey(platform::Surface& surface, int32_t color) { surface.colorKey = MatchColor(surface, color); }

namespace elDraw {

ObjectNo LoadObject(const char* name, int memoryMode) {
    if (name == nullptr) name = "";  // no name: refused like an empty one
    if (std::strlen(name) > kMaxObjectNameLength)
        return ReportError("elDraw::LoadObject", kMessageNameTooLong);
    ObjectNo object = FirstFreeSlot();
    if (object == 0) return ReportError("elDraw::LoadObject", kMessageTooManyObjects);
    ObjectRecord& record = ObjectTable.records[object];
    SetName(record, name);
    record.fromPack = 0;
    record.memoryMode = 2;
    if (!LoadIntoSlot(record, name, "elDraw::LoadObject"))
        return ReportError("elDraw::LoadObject", kMessageCannotLoad);
    return object;
}

ObjectNo CreateObject(int width, int height, int memoryMode) {
    ObjectNo object = FirstFreeSlot();
    if (object == 0) return ReportError("elDraw::CreateObject", kMessageTooManyObjects);
    ObjectRecord& record = ObjectTable.records[object];
    SetName(record, "*");
    record.fromPack = 0;
    record.memoryMode = 2;
    record.width = static_cast<uint16_t>(width);
    record.height = static_cast<uint16_t>(height);
    record.surface = NewDisplaySurface(width, height);
    if (!record.surface) return ReportError("elDraw::CreateObject", kMessageCannotCreate);
    ApplyColorKey(*record.surface, LoadKey());
    record.colorKey = LoadKey();
    return object;
}

int SwapObject(const char* name, ObjectNo object, int memoryMode) {
    if (name == nullptr) name = "";
    if (std::strlen(name) > kMaxObjectNameLength)
        return ReportError("elDraw::SwapObject", kMessageNameTooLong);
    // The slot number comes from the caller; one outside the table cannot hold a picture.
    if (!ValidObject(object)) return ReportError("elDraw::SwapObject", kMessageCannotLoad);
    ObjectRecord& record = ObjectTable.records[object];
    record.surface.reset();
    SetName(record, name);
    record.fromPack = 0;
    record.memoryMode = 2;
    if (!LoadIntoSlot(record, name, "elDraw::SwapObject"))
        return ReportError("elDraw::SwapObject", kMessageCannotLoad);
    return 1;
}

}  // namespace elDraw

void ReleaseObject(ObjectNo object) {
    if (!ValidObject(object)) return;
    ObjectRecord& record = ObjectTable.records[object];
    record.surface.reset();
    record.name[0] = '\0';
    record.colorKey = 0;
    record.width = record.height = 0;
}

// A free slot: no surface, no name, and the values every new record starts from.
static void ClearRecord(ObjectRecord& record) {
    record.surface.reset();
    record.name[0] = '\0';
    record.fromPack = 0;
    record.memoryMode = 2;
    record.colorKey = 0;
    record.width = record.height = 0;
}

void ReleaseAllObjects() {
    for (ObjectRecord& record : ObjectTable.records)
        if (record.surface) ClearRecord(record);
}

void ResetObjectSlots() {
    for (ObjectNo i = kFirstFreeObject; i < kObjectCount; ++i) ClearRecord(ObjectTable.records[i]);
}

void SetLoadKeyColor(int32_t color) {
    ObjectTable.loadKeyColor = color;
    ObjectTable.loadKeyTopLeft = false;
}

void SetLoadKeyTopLeft() { ObjectTable.loadKeyTopLeft = true; }

void SetObjectKeyColor(ObjectNo object, int32_t color) {
    if (!ValidObject(object)) return;
    // The record keeps the key even when the slot has no surface (a failed load); only a surface
    // can take it.
    ObjectTable.records[object].colorKey = color;
    if (platform::Surface* surface = ObjectSurface(object)) ApplyColorKey(*surface, color);
}

void SetObjectKeyTopLeft(ObjectNo object) { SetObjectKeyColor(object, KEY_TOP_LEFT); }

void CopyObjectKey(ObjectNo destination, ObjectNo source) {
    platform::Surface* to = ObjectSurface(destination);
    platform::Surface* from = ObjectSurface(source);
    if (to != nullptr && from != nullptr) to->colorKey = from->colorKey;
}

void RestoreSurfaces() {
    if (Display.backBuffer) Display.backBuffer->lost = false;
    for (ObjectNo i = 0; i < kFirstFreeObject; ++i)
        if (platform::Surface* surface = ObjectSurface(i)) surface->lost = false;

    for (ObjectNo i = kFirstFreeObject; i < kObjectCount; ++i) {
        ObjectRecord& record = ObjectTable.records[i];
        // A slot left named by a failed load has no surface to restore.
        if (record.name[0] == '\0' || !record.surface || !record.surface->lost) continue;
        record.surface->lost = false;
        if (record.name[0] == '*') continue;  // blank objects are redrawn by their owners
        SetLoadKeyColor(record.colorKey);
        char name[kObjectNameSize];
        std::memcpy(name, record.name, sizeof name);
        // A pack picture comes back from the pack under its own ObjectNo.
        if (record.fromPack != 0)
            ReloadPackObject(i);
        else
            elDraw::SwapObject(name, i, record.memoryMode);
    }
}
