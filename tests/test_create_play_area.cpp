// Tests of the score bar: labels and number formats, balls-left bars and icons, the count.
#include <gtest/gtest.h>

#include "create_play_area.h"
#include "display.h"
#include "gamedata.h"
#include "headless.h"
#include "init.h"
#include "screen_check.h"
#include "title_screen.h"

class ScoreBar : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_newgame();
        Menu_Option = MENU_TWO_PLAYER;
        hi = 90;
        target_frames = 0;
    }
    static void draw()
    {
        blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        create_play_area();
    }
    static bool shows(int x, int y, const char *text)
    {
        return shows_text(buffer, background, data_font(DAT_FONT_SCORE), x, y,
                          makecol(255, 255, 255), text);
    }
    static int grey(int level)
    {
        return makecol(level, level, level);
    }
    // What a balls-left icon shows at its middle.
    static int icon_middle(BITMAP *icon)
    {
        return getpixel(icon, icon->w / 2, icon->h / 2);
    }
};

TEST_F(ScoreBar, StartOfTwoPlayerGame)
{
    draw();
    EXPECT_TRUE(shows(10, 1, "1UP"));
    EXPECT_TRUE(shows(10, 30, "00000"));
    EXPECT_TRUE(shows(690, 1, "2 up"));
    EXPECT_TRUE(shows(690, 30, "00000"));
    EXPECT_TRUE(shows(280, 5, "HI SCORE 00090"));
    EXPECT_TRUE(shows(300, 565, "COUNTDOWN: 100"));
}

TEST_F(ScoreBar, ComputerSideIsLabelledCpu)
{
    Menu_Option = MENU_ONE_PLAYER;
    draw();
    EXPECT_TRUE(shows(690, 1, "CPU"));
}

TEST_F(ScoreBar, ScoresPrintFiveDigitsOrAllOfThem)
{
    p1_score = 250;
    p2_score = 123456;
    hi = 123456;
    draw();
    EXPECT_TRUE(shows(10, 30, "00250"));
    EXPECT_TRUE(shows(690, 30, "123456"));
    EXPECT_TRUE(shows(280, 5, "HI SCORE 123456"));
}

TEST_F(ScoreBar, CountShowsTwoDigitsThenDashes)
{
    target_frames = 18400;
    draw();
    EXPECT_TRUE(shows(300, 565, "COUNTDOWN: 08"));
    target_frames = 20199;
    draw();
    EXPECT_TRUE(shows(300, 565, "COUNTDOWN: 00"));
    target_frames = 20200;
    draw();
    EXPECT_TRUE(shows(300, 565, "COUNTDOWN: ---"));
    target_frames = 0;
}

TEST_F(ScoreBar, BarIsQuarterOfBallsLeft)
{
    ASSERT_NE(getpixel(background, 20, 75), grey(64));
    ASSERT_NE(getpixel(background, 11, 75), grey(64));
    // 39 balls: no icon, a bar reaching 9 pixels beyond its start.
    p1_balls = 39;
    p2_balls = 0;
    draw();
    for (int x = 10; x <= 19; x++) {
        EXPECT_EQ(getpixel(buffer, x, 70), grey(64)) << x;
        EXPECT_EQ(getpixel(buffer, x, 80), grey(64)) << x;
    }
    EXPECT_EQ(getpixel(buffer, 20, 75), getpixel(background, 20, 75));
    EXPECT_EQ(getpixel(buffer, 10, 81), getpixel(background, 10, 81));
    // No balls: one pixel wide, in the darker grey on the right.
    EXPECT_EQ(getpixel(buffer, 685, 70), grey(32));
    EXPECT_EQ(getpixel(buffer, 685, 80), grey(32));
    EXPECT_EQ(getpixel(buffer, 686, 75), getpixel(background, 686, 75));

    p1_balls = 0;
    draw();
    EXPECT_EQ(getpixel(buffer, 10, 75), grey(64));
    EXPECT_EQ(getpixel(buffer, 11, 75), getpixel(background, 11, 75));
}

TEST_F(ScoreBar, OneIconForEveryFortyBalls)
{
    ASSERT_NE(icon_middle(sprite1), bitmap_mask_color(sprite1));
    ASSERT_NE(icon_middle(sprite2), bitmap_mask_color(sprite2));
    int mid1x = sprite1->w / 2, mid1y = 70 + sprite1->h / 2;
    int mid2x = sprite2->w / 2, mid2y = 70 + sprite2->h / 2;

    p1_balls = 160; // four icons at 10, 20, 30, 40 over a bar reaching 50
    p2_balls = 399; // nine icons at 685 ... 765 over a bar reaching 784
    draw();
    for (int x = 10; x <= 40; x += 10)
        EXPECT_EQ(getpixel(buffer, x + mid1x, mid1y), icon_middle(sprite1)) << x;
    EXPECT_EQ(getpixel(buffer, 50 + mid1x, mid1y), getpixel(background, 50 + mid1x, mid1y));
    for (int x = 685; x <= 765; x += 10)
        EXPECT_EQ(getpixel(buffer, x + mid2x, mid2y), icon_middle(sprite2)) << x;
    EXPECT_EQ(getpixel(buffer, 775 + mid2x, mid2y), grey(32));

    p1_balls = 39;
    p2_balls = 400;
    draw();
    EXPECT_EQ(getpixel(buffer, 10 + mid1x, mid1y), grey(64));
    EXPECT_EQ(getpixel(buffer, 775 + mid2x, mid2y), icon_middle(sprite2));
}

TEST_F(ScoreBar, LevelLaunchersSitAtTheirPivots)
{
    // Untilted, each picture is simply shifted so its pivot lands on its launch point.
    draw();
    int shown = 0, checked = 0;
    for (int y = 0; y < launcher_p1->h; y++)
        for (int x = 25; x < launcher_p1->w; x++) {
            int c = getpixel(launcher_p1, x, y);
            if (c == bitmap_mask_color(launcher_p1)) continue;
            checked++;
            shown += getpixel(buffer, x - 25, y + 285) == c;
        }
    EXPECT_GT(checked, 0);
    EXPECT_EQ(shown, checked);
    shown = checked = 0;
    for (int y = 0; y < launcher_p2->h; y++)
        for (int x = 0; x < launcher_p2->w && x + 765 < SCREEN_WIDTH; x++) {
            int c = getpixel(launcher_p2, x, y);
            if (c == bitmap_mask_color(launcher_p2)) continue;
            checked++;
            shown += getpixel(buffer, x + 765, y + 285) == c;
        }
    EXPECT_GT(checked, 0);
    EXPECT_EQ(shown, checked);
}
