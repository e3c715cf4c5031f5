// Picture packs: many pictures in one file, loaded into sprite objects by name, and built from a
// folder of BMP pictures.
#pragma once

#include <el/objects.h>

// The pack the loads read from: a name relative to the program's folder.
void SetPackFile(const char* name);

namespace elDraw {

// The entry of that name (any case) as a new object; 0 on failure.
ObjectNo LoadPack(const char* name, int memoryMode);
// Releases the object and loads the entry into the lowest free slot; returns that slot, or 0.
ObjectNo SwapPack(const char* name, ObjectNo object, int memoryMode);
// Appends an entry for every BMP picture of the folder (relative to the program's folder, "" for
// the folder itself) to the pack, after deleting it first when startAfresh is set. 1, or 0 when
// the desktop is not full colour.
int Convert(const char* packName, const char* folder, int startAfresh);

}  // namespace elDraw
