// The display depth setting and the resource table, shared by both backends.
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/present.h"

namespace platform {
namespace {

const Resource* resourceTable = nullptr;
size_t resourceCount = 0;

}  // namespace

int DesktopBitsPerPixel() {
    const char* depth = std::getenv("ELDRAW_DEPTH");
    return (depth != nullptr && std::strcmp(depth, "32") == 0) ? 32 : 16;
}

void RegisterResources(const Resource* table, size_t count) {
    resourceTable = table;
    resourceCount = table ? count : 0;
}

const Resource* FindResource(const char* name) {
    if (name == nullptr) return nullptr;
    for (size_t i = 0; i < resourceCount; ++i)
        if (::strcasecmp(resourceTable[i].name, name) == 0) return &resourceTable[i];
    return nullptr;
}

}  // namespace platform
