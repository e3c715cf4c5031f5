// Page 8, packs and capture: pictures loaded from the demo's picture pack beside the same pictures
// loaded from their BMP files, with how many pixels differ at this depth, and F5 saving the screen.
#include <el/el.h>

#include <cstdio>

#include "demo/demo.h"

namespace {

constexpr const char* kPackName = "eldemo.pak";
constexpr int kPictureCount = 3;
constexpr int kPackColumn = 16, kBmpColumn = 408;

struct PackedPicture {
    const char* entry;  // the pack entry: the file's name in any case
    const char* file;
    int width, height;  // the part shown
    int y;
};

const PackedPicture kPictures[kPictureCount] = {
    {"item.bmp", "BMP\\item.bmp", 96, 48, kBodyTop + 30},
    {"ENEMY00_00.BMP", "BMP\\enemy00_00.bmp", 384, 120, kBodyTop + 100},
    {"Biribiri.bmp", "BMP\\biribiri.bmp", 250, 220, kBodyTop + 240},
};

struct PacksPageState {
    bool loaded = false;
    ObjectNo packed[kPictureCount] = {};
    ObjectNo loose[kPictureCount] = {};
    long differing[kPictureCount] = {};  // pixels whose colour differs between the two loads
    int captures = 0;
    char lastCapture[64] = {};
};

PacksPageState State;

long CountDifferences(ObjectNo a, ObjectNo b) {
    int width = 0, height = 0, otherWidth = 0, otherHeight = 0;
    if (!elDraw::GetObjectSize(a, &width, &height) || !elDraw::GetObjectSize(b, &otherWidth, &otherHeight))
        return -1;
    if (width != otherWidth || height != otherHeight) return -1;
    long count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t first = 0, second = 0;
            elDraw::GetObjectRawPixel(a, x, y, &first);
            elDraw::GetObjectRawPixel(b, x, y, &second);
            count += first != second;
        }
    return count;
}

void Enter() {
    if (!State.loaded) {
        State.loaded = true;
        SetPackFile(kPackName);
        SetLoadKeyColor(0);
        for (int i = 0; i < kPictureCount; ++i) {
            State.packed[i] = elDraw::LoadPack(kPictures[i].entry, kMemoryMode);
            State.loose[i] = elDraw::LoadObject(kPictures[i].file, kMemoryMode);
            State.differing[i] = CountDifferences(State.packed[i], State.loose[i]);
        }
    }
    if (State.lastCapture[0] != '\0')
        SetStatus("saved %s", State.lastCapture);
    else
        SetStatus("pack %s", kPackName);
}

// The first capture name not taken yet in the program folder, so that earlier captures stay.
void NextCaptureName() {
    for (int tries = 0; tries < 1000; ++tries) {
        std::snprintf(State.lastCapture, sizeof State.lastCapture, "eldemo%03d.bmp", ++State.captures % 1000);
        std::FILE* existing = OpenProgramFile(State.lastCapture, "rb");
        if (existing == nullptr) return;
        std::fclose(existing);
    }
}

void Frame() {
    char line[96];
    for (int i = 0; i < kPictureCount; ++i) {
        const PackedPicture& p = kPictures[i];
        BltObjectOpaque(kPackColumn, p.y, State.packed[i], 0, 0, p.width, p.height);
        BltObjectOpaque(kBmpColumn, p.y, State.loose[i], 0, 0, p.width, p.height);
        std::snprintf(line, sizeof line, "%s: %ld pixels differ", p.entry, State.differing[i]);
        DebugText(kBmpColumn, p.y + p.height + 2, line);
    }
    DebugText(kPackColumn, kBodyTop + 8, "from the pack (15-bit pixels)");
    DebugText(kBmpColumn, kBodyTop + 8, "from the BMP files");
}

// The capture is taken from the finished frame, title and keys included: what the screen shows.
void BeforePresent() {
    if (!KeyPressed(elKey::F5)) return;
    NextCaptureName();
    if (SaveScreenBMP(State.lastCapture, 800, 600) == 1)
        SetStatus("saved %s", State.lastCapture);
    else
        SetStatus("capture failed");
}

const char* const kKeys[] = {
    "Left: LoadPack from eldemo.pak (built by eltool pack-pictures)    Right: LoadObject from the BMP folder",
    "F5  saves the screen with SaveScreenBMP as eldemoNNN.bmp in the program folder",
    nullptr,
};

}  // namespace

extern const DemoPage PacksPage{"Packs and capture", kKeys, Enter, Frame, BeforePresent, nullptr};
