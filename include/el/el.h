// The engine's whole public interface in one include: drawing, text, input, joysticks, scenes and
// pacing, sound, streaming, MIDI, colours and UTF-8 texts.
#pragma once

#include <el/blits.h>
#include <el/capture.h>
#include <el/colors.h>
#include <el/display.h>
#include <el/effects.h>
#include <el/errors.h>
#include <el/input.h>
#include <el/joystick.h>
#include <el/midi.h>
#include <el/objects.h>
#include <el/packs.h>
#include <el/paths.h>
#include <el/primitives.h>
#include <el/refresh.h>
#include <el/scenes.h>
#include <el/sound.h>
#include <el/streaming.h>
#include <el/text.h>
#include <el/utf8.h>

// The desktop entry and the headless replay runner, where the engine provides them.
#if __has_include(<el/entry.h>)
#include <el/entry.h>
#endif
#if __has_include(<el/replay.h>)
#include <el/replay.h>
#endif
