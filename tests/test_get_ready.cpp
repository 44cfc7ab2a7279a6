// Tests of the get-ready countdown: the picture it leaves and the start of the game's clock.
#include <gtest/gtest.h>

#include "display.h"
#include "gamedata.h"
#include "get_ready.h"
#include "headless.h"
#include "init.h"
#include "screen_check.h"
#include "title_screen.h"

class GetReady : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_sprites();
        initialise_newgame();
        Menu_Option = MENU_ONE_PLAYER;
    }
};

TEST_F(GetReady, StartsTheClockFromZero)
{
    target_frames = 30000;
    actual_frames = 4321;
    get_ready();
    EXPECT_EQ(target_frames, 0);
    EXPECT_EQ(actual_frames, 0);
}

TEST_F(GetReady, FieldShowsFullCountUnderGetReady)
{
    // Even after a long game the count drawn here is the new game's 100.
    target_frames = 30000;
    get_ready();
    FONT *large = data_font(DAT_FONT_LARGE), *bar = data_font(DAT_FONT_SCORE);
    int white = makecol(255, 255, 255);
    EXPECT_TRUE(shows_text(buffer, background, bar, 300, 565, white, "COUNTDOWN: 100"));
    EXPECT_TRUE(shows_text(buffer, background, bar, 690, 1, white, "CPU"));
    EXPECT_TRUE(shows_text(buffer, background, large, 260, 100, white, "GET READY"));
    // The bumpers are drawn: the middle of the field is no longer plain background.
    int differ = 0;
    for (int y = 220; y < 380; y++)
        for (int x = 320; x < 490; x++)
            differ += getpixel(buffer, x, y) != getpixel(background, x, y);
    EXPECT_GT(differ, 1000);
}

TEST_F(GetReady, CountsGoToScreenOnBlackAndEndWithGo)
{
    get_ready();
    FONT *large = data_font(DAT_FONT_LARGE);
    int white = makecol(255, 255, 255), black = makecol(0, 0, 0);
    // "GO" over the black box of the counts before it.
    BITMAP *black_box = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_to_color(black_box, black);
    EXPECT_TRUE(shows_text(screen, black_box, large, 385, 150, white, "GO", 0));
    destroy_bitmap(black_box);
    // The back buffer keeps only the "GET READY" picture.
    int differ = 0;
    for (int y = 150; y < 150 + text_height(large); y++)
        for (int x = 385; x < 385 + text_length(large, "GO"); x++)
            differ += getpixel(buffer, x, y) != getpixel(background, x, y);
    EXPECT_EQ(differ, 0);
}
