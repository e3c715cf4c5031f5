// Stage and map files: start room, placement in reading order, file faults and pool limits.
#include <cstring>
#include <string>

#include "game/actors/actor_common.h"
#include "tests/game/game_test_support.h"

TEST_F(GameTest, PlacementPutsEveryCharacterAtItsCell) {
    WriteStage(0, 0);
    Layer placement;
    placement.Set(50, 40, kPlacePrincess);
    placement.Set(10, 20, kPlaceCompanion0);
    placement.Set(11, 20, kPlaceCompanion1);
    placement.Set(12, 21, kPlaceCompanion2);
    placement.Set(30, 5, kPlaceStriker);
    placement.Set(31, 6, kPlaceChaser);
    placement.Set(32, 7, kPlaceShield);
    WriteLayer("map01_teki.txt", placement);
    Load();

    EXPECT_EQ(Princess.x, 376.0f);
    EXPECT_EQ(Princess.y, 296.0f);
    EXPECT_EQ(Princess.hitPoints, 18);
    EXPECT_EQ(Princess.controllable, 1);
    EXPECT_EQ(Princess.stepDirection, 1);
    EXPECT_EQ(Companions.records[0].x, 80.0f);
    EXPECT_EQ(Companions.records[1].x, 88.0f);
    EXPECT_EQ(Companions.records[2].y, 168.0f);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Companions.CompanionMode[k], kModeWaiting);
        EXPECT_EQ(Companions.CompanionSlot[k], -1);
        EXPECT_EQ(Companions.records[k].hurtFrame, 2);
    }
    EXPECT_EQ(Walkers.StrikerPool[0].state, kEnemyNormal);
    EXPECT_EQ(Walkers.StrikerPool[0].x, 240.0f);
    EXPECT_EQ(Walkers.StrikerPool[0].y, 40.0f);
    EXPECT_EQ(Walkers.ChaserPool[0].x, 248.0f);
    EXPECT_EQ(Standing.ShieldPool[0].y, 56.0f);
    EXPECT_EQ(Standing.ArcherPool[0].state, kEnemyGone);
    EXPECT_EQ(Stage.PlacementLayer[40][50], kPlacePrincess);
}

TEST_F(GameTest, PrincessAndCompanionsArePlacedRelativeToTheStartRoom) {
    WriteStage(1, 2);
    Layer placement;
    placement.Set(96 + 50, 144 + 40, kPlacePrincess);
    placement.Set(96 + 10, 144 + 10, kPlaceCompanion1);
    placement.Set(96 + 20, 144 + 20, kPlaceArcher);
    WriteLayer("map01_teki.txt", placement);
    Load();

    EXPECT_EQ(Stage.RoomColumn, 1);
    EXPECT_EQ(Stage.RoomRow, 2);
    EXPECT_EQ(Rooms.CameraX, 768.0f);
    EXPECT_EQ(Rooms.CameraY, 1152.0f);
    EXPECT_EQ(Princess.x, 376.0f);
    EXPECT_EQ(Princess.y, 296.0f);
    EXPECT_EQ(Companions.records[1].x, 80.0f);
    EXPECT_EQ(Companions.records[1].y, 80.0f);
    // Enemies keep world positions.
    EXPECT_EQ(Standing.ArcherPool[0].x, 928.0f);
    EXPECT_EQ(Standing.ArcherPool[0].y, 1312.0f);
    EXPECT_EQ(Standing.ArcherPool[0].arrowKind, kAimedArrow);
}

TEST_F(GameTest, EnemiesAreNumberedInReadingOrder) {
    Layer placement;
    placement.Set(40, 9, kPlaceArcher);  // lower row, read second
    placement.Set(70, 8, kPlaceArcher);  // right of the next one, same row
    placement.Set(20, 8, kPlaceArcher);  // first in reading order
    WriteLayer("map01_teki.txt", placement);
    Load();

    EXPECT_EQ(Standing.ArcherPool[0].x, 160.0f);
    EXPECT_EQ(Standing.ArcherPool[1].x, 560.0f);
    EXPECT_EQ(Standing.ArcherPool[2].x, 320.0f);
    EXPECT_EQ(Standing.ArcherPool[2].y, 72.0f);
    EXPECT_EQ(Standing.ArcherPool[3].state, kEnemyGone);
}

TEST_F(GameTest, LayersLoadAlikeWhateverTheLineBreaks) {
    Layer chips;
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column)
            chips.Set(column, row, (row * 7 + column * 3) % 160);
    }
    WriteLayer("map01_data.txt", chips, 1);
    Layer blocks;
    blocks.Set(5, 6, 1);
    blocks.Set(287, 215, -3);
    WriteLayer("map01_zk.txt", blocks, 13);
    Load();

    EXPECT_EQ(std::memcmp(Stage.ChipLayer, chips.cells.data(), sizeof Stage.ChipLayer), 0);
    EXPECT_EQ(std::memcmp(Stage.AttributeLayer, blocks.cells.data(), sizeof Stage.AttributeLayer), 0);
}

TEST_F(GameTest, MissingFilesLeaveEmptyLayersAndTheFirstRoom) {
    Load();
    EXPECT_EQ(Stage.RoomColumn, 0);
    EXPECT_EQ(Stage.RoomRow, 0);
    EXPECT_EQ(Rooms.CameraX, 0.0f);
    EXPECT_EQ(Stage.AttributeLayer[100][100], 0);
    EXPECT_EQ(Princess.hitPoints, 0);
    EXPECT_EQ(Companions.CompanionMode[0], kModeAbsent);
    EXPECT_EQ(Stage.mapLoaded, 1);
}

TEST_F(GameTest, StageFilesAreReadOnceOnly) {
    WriteStage(2, 1);
    Load();
    WriteStage(0, 0);
    Layer blocks;
    blocks.Set(0, 0, 9);
    WriteLayer("map01_zk.txt", blocks);
    Load();
    Frames(1);
    EXPECT_EQ(Stage.RoomColumn, 2);
    EXPECT_EQ(Stage.RoomRow, 1);
    EXPECT_EQ(Stage.AttributeLayer[0][0], 0);
}

TEST_F(GameTest, AStartRoomOutsideTheMapIsBroughtToTheNearestRoom) {
    WriteStage(5, -1);
    Load();
    EXPECT_EQ(Stage.RoomColumn, 2);
    EXPECT_EQ(Stage.RoomRow, 0);
    EXPECT_EQ(Rooms.CameraX, 1536.0f);
    EXPECT_EQ(Rooms.CameraY, 0.0f);
}

TEST_F(GameTest, AStageFileWithOneValueRepeatsIt) {
    WriteText("stagedata.txt", "1\n");
    Load();
    EXPECT_EQ(Stage.RoomColumn, 1);
    EXPECT_EQ(Stage.RoomRow, 1);
}

TEST_F(GameTest, ALayerThatEndsEarlyRepeatsItsLastValue) {
    WriteText("map01_zk.txt", "0 0 4 7");
    WriteText("map01_data.txt", "3 5 x 9 9");
    Load();
    EXPECT_EQ(Stage.AttributeLayer[0][2], 4);
    EXPECT_EQ(Stage.AttributeLayer[0][3], 7);
    EXPECT_EQ(Stage.AttributeLayer[0][200], 7);
    EXPECT_EQ(Stage.AttributeLayer[215][287], 7);
    // A token that is not a number ends the reading like the end of the file.
    EXPECT_EQ(Stage.ChipLayer[0][1], 5);
    EXPECT_EQ(Stage.ChipLayer[0][2], 5);
    EXPECT_EQ(Stage.ChipLayer[0][3], 5);
    EXPECT_EQ(Stage.ChipLayer[100][0], 5);
}

TEST_F(GameTest, ALayerFileWithoutAnyValueLeavesZeros) {
    WriteText("map01_zk.txt", "");
    WriteText("map01_teki.txt", "  \n  ");
    Load();
    EXPECT_EQ(Stage.AttributeLayer[0][0], 0);
    EXPECT_EQ(Stage.AttributeLayer[215][287], 0);
    EXPECT_EQ(Stage.PlacementLayer[0][0], 0);
    EXPECT_EQ(Walkers.StrikerPool[0].state, kEnemyGone);
}

TEST_F(GameTest, APlacementFileEndingInAnEnemyCodeFillsOnlyThatPool) {
    // The last value, a Striker, is acted on again for every remaining cell: the pool takes 100.
    WriteText("map01_teki.txt", "8 0 5");
    Load();
    EXPECT_EQ(Standing.ShieldPool[0].state, kEnemyNormal);
    EXPECT_EQ(Standing.ShieldPool[1].state, kEnemyGone);
    EXPECT_EQ(Walkers.StrikerPool[0].x, 16.0f);
    EXPECT_EQ(Walkers.StrikerPool[1].x, 24.0f);
    EXPECT_EQ(Walkers.StrikerPool[99].x, 8.0f * 101);
    EXPECT_EQ(Walkers.StrikerPool[99].state, kEnemyNormal);
    EXPECT_EQ(Stage.PlacementLayer[215][287], kPlaceStriker);
}

TEST_F(GameTest, PlacementsBeyondAHundredOfAKindAreLeftOut) {
    Layer placement;
    for (int i = 0; i < 150; ++i) placement.Set(i % 288, 10 + i / 288, kPlaceChaser);
    placement.Set(200, 50, kPlaceShield);
    placement.Set(201, 50, kPlaceChaser);
    WriteLayer("map01_teki.txt", placement);
    Load();
    EXPECT_EQ(Walkers.ChaserPool[99].x, 99.0f * 8);
    EXPECT_EQ(Walkers.ChaserPool[99].y, 80.0f);
    EXPECT_EQ(Standing.ShieldPool[0].x, 1600.0f);
    EXPECT_EQ(Walkers.StrikerPool[0].state, kEnemyGone);
}

TEST_F(GameTest, SamplesOutsideTheMapBlock) {
    Layer blocks;
    blocks.Set(3, 2, 1);
    WriteLayer("map01_zk.txt", blocks);
    Load();
    // View (16, 12) at camera (0, 0) is world cell (0, 0).
    EXPECT_FALSE(SampleBlock(16.0f, 12.0f, 0, 0));
    EXPECT_TRUE(SampleBlock(16.0f, 12.0f, 24, 16));
    EXPECT_TRUE(SampleBlock(16.0f + 2.9f, 12.0f, 24 - 2, 16 + 7));
    EXPECT_FALSE(SampleBlock(16.0f, 12.0f, 32, 16));
    // Division goes towards zero: -7 px still reads cell 0, -8 px lies outside the map.
    EXPECT_FALSE(SampleBlock(16.0f, 12.0f, -7, 0));
    EXPECT_TRUE(SampleBlock(16.0f, 12.0f, -8, 0));
    EXPECT_TRUE(SampleBlock(16.0f, 12.0f, 0, -8));
    EXPECT_TRUE(SampleBlock(16.0f + 2304.0f, 12.0f, 0, 0));
    EXPECT_TRUE(SampleBlock(16.0f, 12.0f + 1728.0f, 0, 0));
    EXPECT_FALSE(SampleBlock(16.0f + 2303.0f, 12.0f + 1727.0f, 0, 0));
}
