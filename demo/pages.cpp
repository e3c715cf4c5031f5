// The page table: a page is one file defining its DemoPage, declared and listed here.
#include "demo/demo.h"

extern const DemoPage TransitionsPage;
extern const DemoPage EffectsPage;
extern const DemoPage PrimitivesPage;
extern const DemoPage SoundPage;
extern const DemoPage TextPage;
extern const DemoPage MusicPage;
extern const DemoPage JoystickPage;
extern const DemoPage PacksPage;

const DemoPage* const DemoPages[kPageCount] = {
    &TransitionsPage,  // 1
    &EffectsPage,      // 2
    &PrimitivesPage,   // 3
    &TextPage,         // 4
    &SoundPage,        // 5
    &MusicPage,        // 6
    &JoystickPage,     // 7
    &PacksPage,        // 8
    nullptr,           // 9
};
