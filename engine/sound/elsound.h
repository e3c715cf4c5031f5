// elSound: the sound device, the sound object table and playback control, in one include.
#pragma once

#include "engine/sound/sound_device.h"
#include "engine/sound/sound_objects.h"
#include "engine/sound/sound_playback.h"
