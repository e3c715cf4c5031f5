// The font description record's lifetime.
#include "engine/text/font_record.h"

FontDescription* FontRecord = nullptr;

void AllocateFontRecord() {
    FreeFontRecord();
    FontRecord = new FontDescription{};
}

void FreeFontRecord() {
    delete FontRecord;
    FontRecord = nullptr;
}
