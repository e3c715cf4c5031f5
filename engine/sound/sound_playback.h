// Playing, stopping, pausing and shaping sound objects: round-robin copies, volume, pan,
// frequency and the echo. Copy argument: 0..count-1 one copy; -2 the next round-robin copy (and
// for Play and PlayLoop the start of the echo); other negative values every copy (Play and
// PlayLoop: the next copy).
#pragma once
#include <el/sound.h>

#include <cstdint>

#include "engine/sound/sound_objects.h"
