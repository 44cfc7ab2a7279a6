// Tests of player_input: player 1's mouse, player 2's keys, the computer and the screenshot key.
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"
#include "player_input.h"
#include "title_screen.h"

class PlayerInput : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_sprites();
        initialise_newgame();
        p1_frames = p2_frames = 100;
        mouse_y = 80;
        mouse_b = 0;
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        Menu_Option = MENU_TWO_PLAYER;
    }
    void TearDown() override
    {
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        mouse_b = 0;
    }
    // One logic step as the play loop runs it: input, then the launch timers move on.
    static void step()
    {
        player_input();
        p1_frames++;
        p2_frames++;
    }
    static int balls_of(int type)
    {
        int n = 0;
        for (const sprite_record &s : sprite)
            n += s.type == type;
        return n;
    }
    static const sprite_record *first_ball_of(int type)
    {
        for (const sprite_record &s : sprite)
            if (s.type == type) return &s;
        return nullptr;
    }
    // A bumper in the right-hand quarter moving toward player 2's side line.
    static void threaten(int slot)
    {
        sprite[slot].x = 650;
        sprite[slot].dx = 1;
    }
};

TEST_F(PlayerInput, MouseHeightSetsPlayerOneAim)
{
    EXPECT_EQ(aim_from_mouse(0), -40);
    EXPECT_EQ(aim_from_mouse(1), -40);
    EXPECT_EQ(aim_from_mouse(80), 0);
    EXPECT_EQ(aim_from_mouse(81), 0);
    EXPECT_EQ(aim_from_mouse(82), 1);
    EXPECT_EQ(aim_from_mouse(159), 39);
    EXPECT_EQ(aim_from_mouse(160), 40);
    mouse_y = 160;
    player_input();
    EXPECT_EQ(p1_dy, 40);
    mouse_y = 0;
    player_input();
    EXPECT_EQ(p1_dy, -40);
}

TEST_F(PlayerInput, HeldButtonFiresEverySixteenthStep)
{
    mouse_b = 1;
    std::vector<int> launches;
    for (int k = 0; k < 40; k++) {
        int before = p1_balls;
        step();
        if (p1_balls < before) launches.push_back(k);
    }
    EXPECT_EQ(launches, (std::vector<int>{0, 16, 32}));
    EXPECT_EQ(p1_balls, 397);
    EXPECT_EQ(balls_of(KIND_P1_BALL), 3);
}

TEST_F(PlayerInput, FirstGameAfterStartUpFiresOnSeventeenthStep)
{
    p1_frames = 0;
    mouse_b = 1;
    int first = -1;
    for (int k = 0; k < 20 && first < 0; k++) {
        step();
        if (p1_balls < BALLS_PER_GAME) first = k;
    }
    EXPECT_EQ(first, 16);
}

TEST_F(PlayerInput, OnlyTheLeftButtonFires)
{
    mouse_b = 2;
    step();
    EXPECT_EQ(p1_balls, BALLS_PER_GAME);
    mouse_b = 3;
    step();
    EXPECT_EQ(p1_balls, BALLS_PER_GAME - 1);
}

TEST_F(PlayerInput, PlayerOneBallTakesAimOfSameStep)
{
    p1_dy = 0;
    mouse_y = 0;
    mouse_b = 1;
    step();
    ASSERT_NE(first_ball_of(KIND_P1_BALL), nullptr);
    EXPECT_EQ(first_ball_of(KIND_P1_BALL)->dy, -10);
}

TEST_F(PlayerInput, PlayerTwoAimStopsAtFiveEitherWay)
{
    key[KEY_UP] = 1;
    for (int k = 0; k < 200; k++)
        step();
    EXPECT_EQ(p2_dy, -5.0f);
    key[KEY_UP] = 0;
    key[KEY_DOWN] = 1;
    for (int k = 0; k < 200; k++)
        step();
    EXPECT_EQ(p2_dy, 5.0f);
}

TEST_F(PlayerInput, PlayerTwoFiresWithAimOfStepBefore)
{
    key[KEY_LCONTROL] = 1;
    key[KEY_DOWN] = 1;
    step();
    const sprite_record *ball = first_ball_of(KIND_P2_BALL);
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->dy, 0);
    EXPECT_NEAR(p2_dy, 0.06, 1e-6);
    EXPECT_EQ(p2_balls, BALLS_PER_GAME - 1);
}

TEST_F(PlayerInput, PlayerTwoKeysDoNothingInOnePlayerGame)
{
    Menu_Option = MENU_ONE_PLAYER;
    key[KEY_LCONTROL] = key[KEY_UP] = 1;
    for (int k = 0; k < 40; k++)
        step();
    EXPECT_EQ(balls_of(KIND_P2_BALL), 0);
    EXPECT_EQ(p2_dy, 0.0f);
}

TEST_F(PlayerInput, ComputerIdleWithoutThreateningBumper)
{
    Menu_Option = MENU_ONE_PLAYER;
    // Right of the line but moving away, on the line, and moving toward it from the left.
    sprite[71].x = 650;
    sprite[71].dx = -1;
    sprite[72].x = 600;
    sprite[72].dx = 2;
    sprite[73].x = 550;
    sprite[73].dx = 3;
    srand(7);
    for (int k = 0; k < 500; k++)
        step();
    EXPECT_EQ(balls_of(KIND_P2_BALL), 0);
    EXPECT_EQ(p2_dy, 0.0f);
    // Not one random number was drawn.
    int next = rand();
    srand(7);
    EXPECT_EQ(next, rand());
}

TEST_F(PlayerInput, ComputerDoesNotPlayTwoPlayerGame)
{
    threaten(71);
    srand(11);
    for (int k = 0; k < 500; k++)
        step();
    EXPECT_EQ(balls_of(KIND_P2_BALL), 0);
    int next = rand();
    srand(11);
    EXPECT_EQ(next, rand());
}

// For each threatening bumper the computer draws twice: fire on 0 or 1 of the first draw,
// turn its aim up by 0.01 on 0 or 1 of the second. A second shot in one step is refused by
// the launch rate limit.
TEST_F(PlayerInput, ComputerDrawsFireThenAimForEachThreat)
{
    Menu_Option = MENU_ONE_PLAYER;
    threaten(71);
    threaten(74);
    int fired_steps = 0;
    for (unsigned seed = 1; seed <= 60; seed++) {
        initialise_sprites();
        threaten(71);
        threaten(74);
        p2_dy = 0;
        p2_frames = 100;
        srand(seed);
        int r[5];
        for (int &v : r)
            v = rand();
        srand(seed);
        player_input();
        bool fires = r[0] % 10 < 2 || r[2] % 10 < 2;
        int turns = (r[1] % 10 < 2) + (r[3] % 10 < 2);
        EXPECT_EQ(balls_of(KIND_P2_BALL), fires ? 1 : 0) << "seed " << seed;
        EXPECT_NEAR(p2_dy, -0.01 * turns, 1e-6) << "seed " << seed;
        EXPECT_EQ(rand(), r[4]) << "seed " << seed;
        fired_steps += fires;
    }
    // The seeds cover both outcomes.
    EXPECT_GT(fired_steps, 0);
    EXPECT_LT(fired_steps, 60);
}

TEST_F(PlayerInput, ComputerAimWrapsFromBelowMinusFiveToFive)
{
    Menu_Option = MENU_ONE_PLAYER;
    threaten(76);
    p2_dy = -4.995f;
    srand(3);
    int k = 0;
    while (p2_dy == -4.995f && k++ < 1000)
        step();
    EXPECT_EQ(p2_dy, 5.0f);
}

TEST_F(PlayerInput, HoldingSSavesLastFrameAsPcx)
{
    char cwd[512];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(make_temp_dir("shot")), 0);
    player_input();
    EXPECT_NE(access(SCREENSHOT_FILE, F_OK), 0) << "no screenshot without S";

    clear_to_color(buffer, makecol(255, 0, 0));
    putpixel(buffer, 799, 599, makecol(0, 0, 255));
    key[KEY_S] = 1;
    player_input();
    BITMAP *shot = load_bitmap(SCREENSHOT_FILE, nullptr);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 800);
    EXPECT_EQ(shot->h, 600);
    int c = getpixel(shot, 0, 0), corner = getpixel(shot, 799, 599);
    EXPECT_EQ(getr_depth(bitmap_color_depth(shot), c), 255);
    EXPECT_EQ(getb_depth(bitmap_color_depth(shot), corner), 255);
    destroy_bitmap(shot);

    ASSERT_EQ(chdir(cwd), 0);
}
