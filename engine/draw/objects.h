// The sprite object table: pictures loaded from BMP files or resources, blank work surfaces,
// colour keys and the restore of lost surfaces.
#pragma once
#include <el/objects.h>

#include <cstdint>
#include <memory>

#include "engine/draw/eldraw.h"
#include "platform/surface.h"

constexpr int kObjectNameSize = 32;
constexpr int kMaxObjectNameLength = 30;

struct ObjectRecord {
    std::unique_ptr<platform::Surface> surface;
    char name[kObjectNameSize] = {};  // empty = free slot; "*" = blank object
    int32_t fromPack = 0;
    int32_t memoryMode = 2;
    int32_t colorKey = 0;  // 0x00BBGGRR or KEY_TOP_LEFT
    uint16_t width = 0;
    uint16_t height = 0;
};

struct ObjectTableState {
    ObjectRecord records[kObjectCount];
    int32_t loadKeyColor = 0;
    bool loadKeyTopLeft = false;
};

extern ObjectTableState ObjectTable;

void RestoreSurfaces();
// Releases every object's surface and clears its record (program end).
void ReleaseAllObjects();
// Frees slots 4 to 511 (display set-up).
void ResetObjectSlots();

// The surface of an object, or null for a free, failed or out-of-range slot.
platform::Surface* ObjectSurface(ObjectNo object);
// A new surface in the display's format; null when the size cannot be made.
std::unique_ptr<platform::Surface> NewDisplaySurface(int width, int height);
// The surface's raw pixel for a colour (or its top-left pixel for KEY_TOP_LEFT), set as its key.
uint32_t MatchColor(const platform::Surface& surface, int32_t color);
void ApplyColorKey(platform::Surface& surface, int32_t color);
