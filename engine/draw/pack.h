// Picture packs: many pictures in one file of raw 15-bit pixels, loaded into sprite objects by
// name, and built from a folder of BMP pictures.
#pragma once
#include <el/packs.h>

#include <cstdint>

#include "engine/draw/eldraw.h"

constexpr int kPicturePackPathSize = 512;

struct PackState {
    char path[kPicturePackPathSize] = {};  // program folder + pack name; empty until SetPackFile
};

extern PackState Pack;

// Reloads a lost pack object's entry under its own ObjectNo (the restore path); 1 on success.
int ReloadPackObject(ObjectNo object);
