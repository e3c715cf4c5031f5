// What a scene reads of elSound's module state through the public interface: the device, each
// object's copies and their volume, pan and frequency, a stream's progress, and the MIDI state.
#include <cstdio>
#include <string_view>

#include "engine/sound/midi.h"
#include "engine/sound/sound_device.h"
#include "engine/sound/sound_objects.h"
#include "engine/sound/streaming.h"
#include "platform/audio.h"
#include "platform/sequencer.h"

namespace {

// The object of that number when it is loaded, else null; the table is read with or without a device.
const SoundObject* Loaded(SoundNo number) {
    if (number < 0 || number >= kSoundObjectCount) return nullptr;
    const SoundObject& object = SoundObjects.objects[number];
    return object.inUse ? &object : nullptr;
}

const SoundCopy* CopyOf(SoundNo number, int copy) {
    const SoundObject* object = Loaded(number);
    if (object == nullptr || copy < 0 || copy >= object->copyCount || copy >= kMaxSoundCopies) return nullptr;
    return &object->copies[copy];
}

}  // namespace

namespace elSound {

int IsAvailable() {
    return SoundDevice.soundAvailable != 0 ? 1 : 0;
}

int IsLoaded(SoundNo number) {
    return Loaded(number) != nullptr ? 1 : 0;
}

int GetCopyCount(SoundNo number) {
    const SoundObject* object = Loaded(number);
    return object != nullptr ? object->copyCount : 0;
}

int GetNextCopy(SoundNo number) {
    const SoundObject* object = Loaded(number);
    return object != nullptr ? object->nextCopy : 0;
}

int IsLooping(SoundNo number) {
    const SoundObject* object = Loaded(number);
    return object != nullptr && object->loop != 0 ? 1 : 0;
}

int IsPlaying(SoundNo number, int copy) {
    const SoundCopy* c = CopyOf(number, copy);
    return c != nullptr && c->buffer != 0 && platform::SoundBufferPlaying(c->buffer) ? 1 : 0;
}

int GetEchoState(SoundNo number) {
    const SoundObject* object = Loaded(number);
    return object != nullptr ? object->echoState : -1;
}

int GetVolume(SoundNo number, int copy) {
    const SoundCopy* c = CopyOf(number, copy);
    return c != nullptr ? c->volume : 0;
}

int GetPan(SoundNo number, int copy) {
    const SoundCopy* c = CopyOf(number, copy);
    return c != nullptr ? c->pan : 0;
}

uint32_t GetFrequency(SoundNo number, int copy) {
    const SoundCopy* c = CopyOf(number, copy);
    return c != nullptr ? c->frequency : 0;
}

int GetStreamStatus(SoundNo number, StreamStatus* status) {
    StreamStatus figures;
    if (number >= 0 && number < kSoundObjectCount) {
        const StreamRecord& stream = SoundObjects.streams[number];
        figures.dataSize = stream.dataSize;
        figures.consumed = stream.consumed;
        figures.loopPoint = static_cast<uint32_t>(stream.loopPosition - stream.dataStart);
        figures.halfRing = stream.halfSize;
    }
    if (figures.dataSize == 0) figures = StreamStatus{};
    if (status != nullptr) *status = figures;
    return figures.dataSize != 0 ? 1 : 0;
}

}  // namespace elSound

int MidiIsOpen() {
    return Midi.open == 1 ? 1 : 0;
}

int MidiIsLooping() {
    return Midi.loop != 0 ? 1 : 0;
}

int MidiIsPlaying() {
    if (Midi.open != 1) return 0;
    char mode[kMidiStatusSize] = {};
    if (platform::SendSequencerCommand("status midi mode", mode, sizeof mode) != 0) return 0;
    return std::string_view(mode) == "playing" ? 1 : 0;
}

int MidiStatus(const char* item, char* answer, std::size_t size) {
    char command[kMidiCommandSize];
    const int length = std::snprintf(command, sizeof command, "status midi %s", item != nullptr ? item : "");
    if (length < 0 || length >= static_cast<int>(sizeof command)) {
        if (answer != nullptr && size > 0) answer[0] = '\0';
        return static_cast<int>(platform::kSequencerUnrecognizedKeyword);
    }
    return static_cast<int>(platform::SendSequencerCommand(command, answer, size));
}
