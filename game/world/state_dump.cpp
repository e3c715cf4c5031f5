// Writes the world and actor state as JSON.
#include "game/world/state_dump.h"

#include <cmath>

#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "game/world/arrows.h"
#include "game/world/game_frame.h"
#include "game/world/items.h"
#include "game/world/rooms.h"
#include "game/world/stage.h"

namespace {

void Number(FILE* out, double v) {
    if (std::isfinite(v)) {
        std::fprintf(out, "%.9g", v);
    } else {
        std::fputs("null", out);
    }
}

void Key(FILE* out, const char* name) {
    std::fprintf(out, "\"%s\":", name);
}

void Float(FILE* out, const char* name, double v) {
    Key(out, name);
    Number(out, v);
}

void Int(FILE* out, const char* name, long long v) {
    std::fprintf(out, "\"%s\":%lld", name, v);
}

void String(FILE* out, const std::string& s) {
    std::fputc('"', out);
    for (unsigned char ch : s) {
        switch (ch) {
            case '"':
                std::fputs("\\\"", out);
                break;
            case '\\':
                std::fputs("\\\\", out);
                break;
            case '\n':
                std::fputs("\\n", out);
                break;
            case '\r':
                std::fputs("\\r", out);
                break;
            case '\t':
                std::fputs("\\t", out);
                break;
            default:
                if (ch < 0x20) {
                    std::fprintf(out, "\\u%04x", ch);
                } else {
                    std::fputc(ch, out);
                }
        }
    }
    std::fputc('"', out);
}

// Writes "name":[{...},...] with one object for each record that keep accepts; fields writes the
// members of one record (given its index).
template <typename Record, size_t N, typename Keep, typename Fields>
void RecordList(FILE* out, const char* name, const Record (&pool)[N], Keep keep, Fields fields) {
    Key(out, name);
    std::fputc('[', out);
    bool first = true;
    for (size_t i = 0; i < N; ++i) {
        if (!keep(pool[i])) continue;
        if (!first) std::fputc(',', out);
        first = false;
        std::fputc('{', out);
        fields(static_cast<int>(i), pool[i]);
        std::fputc('}', out);
    }
    std::fputc(']', out);
}

template <typename Record, size_t N>
void EnemyList(FILE* out, const char* name, const Record (&pool)[N]) {
    RecordList(
        out, name, pool, [](const Record& e) { return e.state != 0; },
        [out](int index, const Record& e) {
            Int(out, "index", index);
            std::fputc(',', out);
            Int(out, "state", e.state);
            std::fputc(',', out);
            Float(out, "x", e.x);
            std::fputc(',', out);
            Float(out, "y", e.y);
        });
}

}  // namespace

void WriteGameState(FILE* out, const std::vector<std::string>& errors) {
    std::fputc('{', out);
    Int(out, "frame", GameFrames.frameCount);
    std::fputc(',', out);
    Key(out, "camera");
    std::fputc('{', out);
    Float(out, "x", Rooms.CameraX);
    std::fputc(',', out);
    Float(out, "y", Rooms.CameraY);
    std::fputs("},", out);
    Key(out, "room");
    std::fputc('{', out);
    Int(out, "column", Stage.RoomColumn);
    std::fputc(',', out);
    Int(out, "row", Stage.RoomRow);
    std::fputs("},", out);
    Int(out, "scrollState", Rooms.ScrollState);
    std::fputc(',', out);
    Int(out, "scrolling", Rooms.Scrolling);
    std::fputc(',', out);

    const PrincessState& p = Princess;
    Key(out, "princess");
    std::fputc('{', out);
    Float(out, "x", p.x);
    std::fputc(',', out);
    Float(out, "y", p.y);
    std::fputc(',', out);
    Int(out, "hitPoints", p.hitPoints);
    std::fputc(',', out);
    Int(out, "facing", p.facing);
    std::fputc(',', out);
    Int(out, "controllable", p.controllable);
    std::fputc(',', out);
    Int(out, "swinging", p.swinging);
    std::fputc(',', out);
    Int(out, "hurt", p.hurt);
    std::fputc(',', out);
    Int(out, "animStep", p.animStep);
    std::fputs("},", out);

    Key(out, "companions");
    std::fputc('[', out);
    for (int k = 0; k < kCompanionCount; ++k) {
        const Companion& c = Companions.records[k];
        if (k) std::fputc(',', out);
        std::fputc('{', out);
        Int(out, "mode", Companions.CompanionMode[k]);
        std::fputc(',', out);
        Int(out, "slot", Companions.CompanionSlot[k]);
        std::fputc(',', out);
        Float(out, "x", c.x);
        std::fputc(',', out);
        Float(out, "y", c.y);
        std::fputc(',', out);
        Int(out, "powered", c.powered);
        std::fputc(',', out);
        Int(out, "hurt", c.hurt);
        std::fputc('}', out);
    }
    std::fputs("],", out);

    EnemyList(out, "strikers", Walkers.StrikerPool);
    std::fputc(',', out);
    EnemyList(out, "chasers", Walkers.ChaserPool);
    std::fputc(',', out);
    EnemyList(out, "archers", Standing.ArcherPool);
    std::fputc(',', out);
    EnemyList(out, "shields", Standing.ShieldPool);
    std::fputc(',', out);

    RecordList(
        out, "arrows", Arrows.ArrowPool, [](const Arrow& a) { return a.active != 0; },
        [out](int, const Arrow& a) {
            Float(out, "x", a.x);
            std::fputc(',', out);
            Float(out, "y", a.y);
            std::fputc(',', out);
            Int(out, "angle", a.angle);
        });
    std::fputc(',', out);
    RecordList(
        out, "items", Items.ItemPool, [](const Item& item) { return item.active != 0; },
        [out](int, const Item& item) {
            Float(out, "x", item.x);
            std::fputc(',', out);
            Float(out, "y", item.y);
            std::fputc(',', out);
            Int(out, "kind", item.kind);
        });
    std::fputc(',', out);

    Key(out, "errors");
    std::fputc('[', out);
    for (size_t i = 0; i < errors.size(); ++i) {
        if (i) std::fputc(',', out);
        String(out, errors[i]);
    }
    std::fputs("]}", out);
}
