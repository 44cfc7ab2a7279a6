// Tests of the generated GAMEDATA.DAT: every entry of the right kind and size, usable by the
// game's drawing and sound code, and the loader's check rejecting a broken file.
#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"

class GameData : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        start_headless();
    }
    static BITMAP *bmp(int entry) {
        return static_cast<BITMAP *>(data[entry].dat);
    }
    static SAMPLE *smp(int entry) {
        return static_cast<SAMPLE *>(data[entry].dat);
    }
    static FONT *fnt(int entry) {
        return static_cast<FONT *>(data[entry].dat);
    }
};

static const int BITMAP_ENTRIES[] = {0,  1,  2,  3,  4,  8,  14, 15, 18, 19, 21,
                                     30, 31, 32, 33, 34, 35, 36, 38, 39, 42};
static const int SAMPLE_ENTRIES[] = {6,  7,  9,  10, 11, 12, 13, 16, 17, 22,
                                     23, 28, 29, 37, 40, 41, 43, 44, 45};
static const int FONT_ENTRIES[] = {24, 25, 26, 27};

TEST_F(GameData, EveryEntryHasTheKindTheGameReadsItAs) {
    for (int e : BITMAP_ENTRIES)
        EXPECT_EQ(data[e].type, DAT_BITMAP) << "entry " << e;
    for (int e : SAMPLE_ENTRIES)
        EXPECT_EQ(data[e].type, DAT_SAMPLE) << "entry " << e;
    for (int e : FONT_ENTRIES)
        EXPECT_EQ(data[e].type, DAT_FONT) << "entry " << e;
    EXPECT_NE(data[DAT_UNUSED_5].dat, nullptr);
    EXPECT_NE(data[DAT_UNUSED_20].dat, nullptr);
    EXPECT_EQ(data[DAT_ENTRIES].type, DAT_END);
}

TEST_F(GameData, BackdropsFillTheScreenAndTheTitleBallSpinsInPlace) {
    for (int e : {DAT_BACKGROUND, DAT_HELP, DAT_HISCORE_TABLE, DAT_TITLE}) {
        EXPECT_EQ(bmp(e)->w, 800) << "entry " << e;
        EXPECT_EQ(bmp(e)->h, 600) << "entry " << e;
    }
    EXPECT_EQ(bmp(DAT_TITLE_BALL)->w, 170);
    EXPECT_EQ(bmp(DAT_TITLE_BALL)->h, 170);
    EXPECT_GE(bmp(DAT_ENTERNAME)->w, 605);
    EXPECT_GE(bmp(DAT_ENTERNAME)->h, 130);
    EXPECT_EQ(bmp(DAT_SPRITE1)->w, 10);
    EXPECT_EQ(bmp(DAT_SPRITE1)->h, 10);
    EXPECT_EQ(bmp(DAT_SPRITE2)->w, 10);
    EXPECT_EQ(bmp(DAT_SPRITE2)->h, 10);
}

TEST_F(GameData, LoaderCheckAcceptsTheGeneratedFile) {
    char why[256] = "";
    EXPECT_TRUE(check_gamedata(data, why, sizeof why)) << why;
}
