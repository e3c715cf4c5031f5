// Streamed playback: pack entries of five seconds or more play through a ring of four seconds that
// Streaming refills from the pack file once per frame.
#pragma once
#include <el/streaming.h>

#include <cstdint>

#include "engine/sound/sound_objects.h"
