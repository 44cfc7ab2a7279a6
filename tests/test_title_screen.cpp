// Tests of the title menu: which ball the pointer is on, what ends the menu, the spin.
#include <gtest/gtest.h>

#include "gamedata.h"
#include "headless.h"
#include "init.h"
#include "screen_check.h"
#include "title_screen.h"

class TitleScreen : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void TearDown() override
    {
        mouse_b = 0;
    }
};

TEST_F(TitleScreen, PointerOnEachBallCentreSelectsIt)
{
    const int centre[MENU_ITEMS][2] = {{110, 310}, {283, 511}, {386, 206}, {599, 503}, {696, 264}};
    for (int n = 0; n < MENU_ITEMS; n++)
        EXPECT_EQ(menu_item_at(centre[n][0], centre[n][1]), n) << "item " << n;
}

TEST_F(TitleScreen, BallRimCountsAsOnTheBall)
{
    EXPECT_EQ(menu_item_at(110 + 85, 310), MENU_ONE_PLAYER);
    EXPECT_EQ(menu_item_at(110 + 86, 310), MENU_NONE);
    EXPECT_EQ(menu_item_at(696, 264 - 85), MENU_QUIT);
    EXPECT_EQ(menu_item_at(696, 264 - 86), MENU_NONE);
    // 60^2 + 60^2 = 7200 is inside 85^2 = 7225; 61^2 + 60^2 = 7321 is not.
    EXPECT_EQ(menu_item_at(283 + 60, 511 + 60), MENU_TWO_PLAYER);
    EXPECT_EQ(menu_item_at(283 + 61, 511 + 60), MENU_NONE);
}

TEST_F(TitleScreen, SpotsOffEveryBallSelectNothing)
{
    const int spot[][2] = {{0, 0}, {799, 599}, {450, 380}, {200, 100}, {10, 590}, {790, 10}};
    for (const auto &s : spot)
        EXPECT_EQ(menu_item_at(s[0], s[1]), MENU_NONE) << s[0] << "," << s[1];
}

TEST_F(TitleScreen, OnlyLeftClickOnPlayOrQuitEndsMenu)
{
    EXPECT_TRUE(menu_choice_made(MENU_ONE_PLAYER, 1));
    EXPECT_TRUE(menu_choice_made(MENU_TWO_PLAYER, 1));
    EXPECT_TRUE(menu_choice_made(MENU_QUIT, 1));
    EXPECT_FALSE(menu_choice_made(MENU_HISCORES, 1));
    EXPECT_FALSE(menu_choice_made(MENU_HELP, 1));
    EXPECT_FALSE(menu_choice_made(MENU_NONE, 1));
    EXPECT_FALSE(menu_choice_made(MENU_ONE_PLAYER, 0));
    EXPECT_FALSE(menu_choice_made(MENU_ONE_PLAYER, 2));
    EXPECT_FALSE(menu_choice_made(MENU_QUIT, 3)) << "both buttons together are no click";
}

TEST_F(TitleScreen, BallsTurnOneUnitAPassAndWrapAfter255)
{
    double angle[MENU_ITEMS] = {0, 100, 254, 255, 300};
    step_menu_angles(angle, MENU_NONE);
    EXPECT_EQ(angle[0], 1);
    EXPECT_EQ(angle[1], 101);
    EXPECT_EQ(angle[2], 255);
    EXPECT_EQ(angle[3], 0);
    EXPECT_EQ(angle[4], 0);
}

TEST_F(TitleScreen, BallUnderPointerTurnsElevenUnitsAPass)
{
    double angle[MENU_ITEMS] = {0, 0, 0, 0, 0};
    step_menu_angles(angle, MENU_HELP);
    EXPECT_EQ(angle[MENU_HELP], 11);
    EXPECT_EQ(angle[MENU_ONE_PLAYER], 1);
    step_menu_angles(angle, MENU_HELP);
    EXPECT_EQ(angle[MENU_HELP], 22);
    // Off the ball again it falls back to one unit a pass.
    step_menu_angles(angle, MENU_NONE);
    EXPECT_EQ(angle[MENU_HELP], 23);
}

TEST_F(TitleScreen, HoveredBallWrapsPartWayThroughItsTurn)
{
    // Item 4 gains 2 from each of the four balls before it (250 -> 258), wraps to 0 at its
    // own step, then gains 2 more.
    double angle[MENU_ITEMS] = {0, 0, 0, 0, 250};
    step_menu_angles(angle, MENU_QUIT);
    EXPECT_EQ(angle[MENU_QUIT], 2);
    // Item 0 at 250 steps first (251), then gains 2 from each of the five balls (261); the
    // next pass wraps it to 0 before it gains its 10.
    double first[MENU_ITEMS] = {250, 0, 0, 0, 0};
    step_menu_angles(first, MENU_ONE_PLAYER);
    EXPECT_EQ(first[MENU_ONE_PLAYER], 261);
    step_menu_angles(first, MENU_ONE_PLAYER);
    EXPECT_EQ(first[MENU_ONE_PLAYER], 10);
}

TEST_F(TitleScreen, LeftClickOnOnePlayerEndsMenuAtOnce)
{
    mouse_x = 110;
    mouse_y = 310;
    mouse_b = 1;
    Menu_Option = MENU_QUIT;
    title_screen();
    EXPECT_EQ(Menu_Option, MENU_ONE_PLAYER);
    // The last menu picture stays in buffer: the title, the version line, the pointer.
    EXPECT_TRUE(shows_text(buffer, title1, font, 180, 100, makecol(255, 0, 0), VERSION_LINE));
    EXPECT_TRUE(shows_sprite(buffer, mouse_ptr1, 110, 310));
    EXPECT_EQ(getpixel(buffer, 5, 595), getpixel(title1, 5, 595));
}

TEST_F(TitleScreen, LeftClickOnQuitEndsMenu)
{
    mouse_x = 700;
    mouse_y = 250;
    mouse_b = 1;
    title_screen();
    EXPECT_EQ(Menu_Option, MENU_QUIT);
}
