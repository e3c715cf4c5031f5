// What the loaders of the sound objects share among themselves (objects and streams).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/sound/sound_objects.h"
#include "platform/audio.h"

// A format record of 16 bytes, followed for formats other than PCM by its count and extra bytes.
bool FormatFromRecord(const uint8_t* block, size_t size, platform::WaveFormat* format);
// A copy's new buffer takes the buffer's own frequency (as the object's default) at volume 0 and
// pan 0, or, while reloading, the volume, frequency and pan the copy had, in that order.
void SettleNewCopy(SoundObject& object, SoundCopy& copy, bool reloading);
// The number a loader fills: the lowest free one (reported when there is none), or the reload
// slot while reloading.
SoundNo TakeNumber(const char* context);
// Explains why the selected WAVE pack gave no entry of that name: none selected or the pack
// unreadable (`opened` false), no such entry (`found` false), or an entry cut short.
void ExplainPackMiss(const char* context, const char* name, const char* packPath, bool opened, bool found);
