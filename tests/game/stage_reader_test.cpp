// The stage reader against the C library's "%d" reading of the same files, value for value.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "game/world/stage.h"
#include "tests/game/game_test_support.h"

namespace {

// Every cell of a layer as "%d" conversions one after the other hand them out, the last value
// repeated once they stop.
std::vector<int32_t> ReadWithScanf(const char* name) {
    std::vector<int32_t> values;
    FILE* file = std::fopen(name, "rt");
    int32_t last = 0;
    bool stopped = file == nullptr;
    for (int i = 0; i < kMapRows * kMapColumns; ++i) {
        int value = 0;
        if (!stopped && std::fscanf(file, "%d", &value) == 1) {
            last = value;
        } else {
            stopped = true;
        }
        values.push_back(last);
    }
    if (file) std::fclose(file);
    return values;
}

class StageReaderTest : public GameTest {
  protected:
    using Layer = int32_t[kMapRows][kMapColumns];

    // Loads text as the attribute layer (or the given layer file) and compares every cell with the
    // C library's reading.
    void ExpectSameAsScanf(const std::string& text, const char* name = "map01_zk.txt",
                           Layer StageState::*layer = &StageState::AttributeLayer) {
        WriteText(name, text);
        const std::vector<int32_t> expected = ReadWithScanf(name);
        Stage = StageState{};
        Load();
        int differences = 0;
        for (int row = 0; row < kMapRows; ++row)
            for (int column = 0; column < kMapColumns; ++column)
                if ((Stage.*layer)[row][column] != expected[row * kMapColumns + column] && ++differences <= 3)
                    ADD_FAILURE() << name << " cell " << column << "," << row << ": "
                                  << (Stage.*layer)[row][column] << " instead of "
                                  << expected[row * kMapColumns + column] << " for " << text.size()
                                  << " bytes of text \"" << text.substr(0, 60) << "\"";
    }
};

// count different numbers from first on, one blank apart.
std::string Numbers(int count, int first) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(first + i) + (i % 7 == 6 ? "\n" : " ");
    return text;
}

TEST_F(StageReaderTest, SignsSpacesAndStopsReadAsTheCLibraryReadsThem) {
    const char* texts[] = {
        "+7 -0 0007 -12",
        "1\t2\v3\f4\r\n5",
        "- 5 6",
        "--3 4",
        "+-3",
        "12abc 4",
        "1-2-3",
        "  \n\n  9",
        "8 -",
        "8 +",
        "4 x 5",
        "3.5 6",

        "\xef\xbb\xbf"
        "1 2",
        "7\n\n\n",
        "",
    };
    for (const char* text : texts) ExpectSameAsScanf(text);
    ExpectSameAsScanf(std::string("1 2\0 3 4", 8));  // a NUL byte stops the reading like a letter
}

TEST_F(StageReaderTest, NumbersBeyondThirtyTwoBitsKeepTheLibrarysResult) {
    ExpectSameAsScanf("2147483647 2147483648 -2147483648 -2147483649 4294967297 -4294967297");
    ExpectSameAsScanf("9223372036854775807 9223372036854775808 -9223372036854775808 -9223372036854775809");
    ExpectSameAsScanf("99999999999999999999999 5 -99999999999999999999999 6 18446744073709551621");
}

// The text running out just before, at and after a row's end, in the last row, exactly at the
// layer's end and beyond it: rows after the stop all hold the value read last.
TEST_F(StageReaderTest, TextsStoppingAroundRowEndsReadAlike) {
    const int counts[] = {1,
                          kMapColumns - 1,
                          kMapColumns,
                          kMapColumns + 1,
                          kMapColumns * 5,
                          kMapColumns * (kMapRows - 1) - 1,
                          kMapColumns * (kMapRows - 1) + 10,
                          kMapColumns * kMapRows - 1,
                          kMapColumns * kMapRows,
                          kMapColumns * kMapRows + 3};
    for (int count : counts) ExpectSameAsScanf(Numbers(count, 1000));
    ExpectSameAsScanf(Numbers(kMapColumns * 3, -50) + " x 7");
    // The placement layer holds the codes as read as well (these place no one).
    ExpectSameAsScanf(Numbers(kMapColumns * 2, 20), "map01_teki.txt", &StageState::PlacementLayer);
    ExpectSameAsScanf(Numbers(kMapColumns + 5, 9) + "-", "map01_teki.txt", &StageState::PlacementLayer);
}

TEST_F(StageReaderTest, LongMixedFilesReadAlike) {
    std::mt19937 random(15);
    const char* pieces[] = {" ", "\n", "\t", "\r\n", "-", "+", "0", "7", "42", "999", "-8", "  ", "\f"};
    for (int round = 0; round < 6; ++round) {
        std::string text;
        // A file of well-formed numbers long enough to fill the layer, with a stop somewhere in
        // the later rounds.
        for (int i = 0; i < kMapRows * kMapColumns; ++i) {
            text += std::to_string(static_cast<int>(random() % 200000) - 100000);
            text += pieces[random() % 4];
            if (round >= 3 && i % 5000 == 4999) text += pieces[random() % 13];
        }
        ExpectSameAsScanf(text);
    }
}

}  // namespace
