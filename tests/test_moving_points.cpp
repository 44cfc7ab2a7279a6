// Tests of the floating score numbers: their climb and drift, their slots, and their drawing.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "gamedata.h"
#include "headless.h"
#include "init.h"
#include "moving_points.h"
#include "sim_helpers.h"

class MovingPoints : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        for (sprite_record &s : sprite)
            s = sprite_record{};
        clear_bitmap(buffer);
    }
};

// ---- climb and drift ----

TEST_F(MovingPoints, NumberFrom398ClimbsTwoPixelsAStepAndReachesTheTopOnStep199)
{
    create_new_moving_points(500, 398, 50, 1);
    sprite_record &s = sprite[FIRST_POINTS_SLOT];
    for (int k = 1; k <= 199; k++) {
        update_moving_points();
        ASSERT_NEAR(s.y, 398.0 * (199 - k) / 199, 1e-9) << k; // 2 pixels a step
        ASSERT_EQ(s.x, 500 - k);
    }
    EXPECT_EQ(s.y, 0);
    EXPECT_EQ(s.x, 301);  // drifted 199 pixels toward player 1
    EXPECT_EQ(s.life, 1); // last visible step
    update_moving_points();
    EXPECT_EQ(s.life, 0); // free from now on, its kind goes on the next step
    EXPECT_EQ(s.type, KIND_MOVING_POINT);
    update_moving_points();
    EXPECT_EQ(s.type, KIND_FREE);
}

TEST_F(MovingPoints, PlayerTwoNumberDriftsRight)
{
    create_new_moving_points(500, 100, 250, 2);
    for (int k = 0; k < 199; k++)
        update_moving_points();
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].x, 699);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].y, 0);
}

// ---- slots ----

TEST_F(MovingPoints, NumbersTakeTheLowestFreeSlotAndAnExpiredSlotIsTakenAgain)
{
    create_new_moving_points(100, 100, 10, 1);
    for (int k = 0; k < 150; k++)
        update_moving_points();
    create_new_moving_points(200, 200, 25, 2);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT + 1].points, 25);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT + 1].direction, 2);
    for (int k = 0; k < 50; k++)
        update_moving_points(); // the first expires
    create_new_moving_points(300, 300, 50, 1);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].points, 50);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].life, MOVING_POINT_LIFE);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].type, KIND_MOVING_POINT);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].x, 300);
}

TEST_F(MovingPoints, NumberFindingAllNinetySlotsBusyIsDropped)
{
    for (int n = 0; n < 90; n++)
        create_new_moving_points(n, 300, n, 1);
    EXPECT_EQ(sprite[LAST_POINTS_SLOT].points, 89);
    sprite_record before[SPRITE_SLOTS];
    memcpy(before, sprite, sizeof sprite);
    create_new_moving_points(999, 999, 999, 2);
    EXPECT_EQ(memcmp(before, sprite, sizeof sprite), 0);
}

// ---- drawing ----

// White pixels of buffer inside and outside a box.
static void count_white(int x0, int y0, int x1, int y1, int *inside, int *outside)
{
    int white = makecol(255, 255, 255);
    *inside = *outside = 0;
    for (int y = 0; y < buffer->h; y++)
        for (int x = 0; x < buffer->w; x++)
            if (getpixel(buffer, x, y) == white) {
                if (x >= x0 && x < x1 && y >= y0 && y < y1)
                    (*inside)++;
                else
                    (*outside)++;
            }
}

TEST_F(MovingPoints, NumberIsDrawnInWhiteWithItsCornerAtItsTruncatedPosition)
{
    create_new_moving_points(300.9, 200.7, 0, 1); // a hit too fast to score shows "0 "
    update_moving_points();                       // now at (299.9, ...)
    display_moving_points();
    FONT *f = data_font(DAT_FONT_TEXT);
    int x = static_cast<int>(sprite[FIRST_POINTS_SLOT].x);
    int y = static_cast<int>(sprite[FIRST_POINTS_SLOT].y);
    int inside, outside;
    count_white(x, y, x + text_length(f, "0"), y + text_height(f), &inside, &outside);
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}
