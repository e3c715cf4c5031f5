// What the loaders of the sound objects share among themselves (objects and streams).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/sound/sound_objects.h"
#include "platform/audio.h"

// A format record of 16 bytes, followed for formats other than PCM by its count and extra bytes.
bool FormatFromRecord(const uint8_t* block, size_t size, platform::WaveFormat* format);
// The number a loader fills: the lowest free one (reported when there is none), or the reload
// slot while reloading.
SoundNo TakeNumber(const char* context);
