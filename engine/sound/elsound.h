// elSound: the sound device, the sound object table, playback control and streaming, in one include.
#pragma once

#include "engine/sound/sound_device.h"
#include "engine/sound/sound_objects.h"
#include "engine/sound/sound_playback.h"
#include "engine/sound/streaming.h"
