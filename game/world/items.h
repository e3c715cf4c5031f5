// Items: dropped at random by enemies at the end of their dying sequence, picked up by the princess.
#pragma once
#include <cstdint>

constexpr int kItemPoolSize = 100;

struct Item {
    int32_t active = 0;
    double x = 0.0, y = 0.0;  // world position of the 48 x 48 cell
    int32_t kind = 0;         // column of the item sheet
};

struct ItemState {
    Item ItemPool[kItemPoolSize];
};

extern ItemState Items;

// Rolls r = rand() % 10 then c = rand() % 10.
extern const int32_t kItemDropTable[10][10];

// Rolls an item for world position (x, y); true when a kind was rolled (even if the pool was full).
bool DropItem(double x, double y);
// Puts the item in a free record: 1 when it was free and now holds the item, else 0.
int PlaceItem(Item& record, double x, double y, int32_t kind);
// Draws every lying item and lets the princess pick up those within 72 px of her centre.
void UpdateItems();
