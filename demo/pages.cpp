// The page table: a page is one file defining its DemoPage, declared and listed here.
#include "demo/demo.h"

extern const DemoPage TransitionsPage;
extern const DemoPage PrimitivesPage;
extern const DemoPage TextPage;
extern const DemoPage MusicPage;
extern const DemoPage PacksPage;

const DemoPage* const DemoPages[kPageCount] = {
    &TransitionsPage,  // 1
    nullptr,           // 2
    &PrimitivesPage,   // 3
    &TextPage,         // 4
    nullptr,           // 5
    &MusicPage,        // 6
    nullptr,           // 7
    &PacksPage,        // 8
    nullptr,           // 9
};
