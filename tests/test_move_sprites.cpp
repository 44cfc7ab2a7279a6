// Tests of motion: ball trails, movement, bumper spin, friction and the stopping of balls.
#include <cmath>

#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"
#include "move_sprites.h"
#include "particles.h"
#include "sim_helpers.h"

class MoveSprites : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        for (sprite_record &s : sprite)
            s = sprite_record{};
        initialise_particles();
    }
};

// Steps of reduce_speed until the slot's ball is removed, at most limit.
static int steps_until_removed(int slot, int limit)
{
    for (int step = 1; step <= limit; step++) {
        reduce_speed();
        if (sprite[slot].type == KIND_FREE) return step;
    }
    return -1;
}

// ---- movement and trails ----

TEST_F(MoveSprites, BallMovesAndDropsGreenTrailWhereItWas)
{
    place(3, KIND_P1_BALL, 100.7, 200.2, 2, -1);
    move_sprites();
    EXPECT_DOUBLE_EQ(sprite[3].x, 102.7);
    EXPECT_DOUBLE_EQ(sprite[3].y, 199.2);
    const particle_record &p = particles[0];
    EXPECT_EQ(p.x, 105); // truncated (100.7 + 5, 200.2 + 5)
    EXPECT_EQ(p.y, 205);
    EXPECT_EQ(p.life, 10);
    EXPECT_EQ(p.type, PARTICLE_DOT);
    EXPECT_EQ(p.col, makecol(0, 255, 0));
    EXPECT_NEAR(hypot(p.dx, p.dy), 0.2, 1e-12);
    EXPECT_EQ(live_particles(), 1);
}

TEST_F(MoveSprites, PlayerTwoTrailIsBlueAndEveryBallDropsOne)
{
    place(0, KIND_P2_BALL, 700, 300, -6, 0);
    place(1, KIND_P1_BALL, 100, 300, 6, 0);
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    move_sprites();
    EXPECT_EQ(particles[0].col, makecol(0, 0, 255));
    EXPECT_EQ(particles[1].col, makecol(0, 255, 0));
    EXPECT_EQ(particles[2].col, makecol(0, 0, 255));
    EXPECT_EQ(live_particles(), 3);
}

TEST_F(MoveSprites, BallAboutToStopStillDropsItsTrail)
{
    place(0, KIND_P1_BALL, 100, 100, 0.25, 0.1);
    move_sprites();
    reduce_speed();
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_EQ(live_particles(), 1);
}

TEST_F(MoveSprites, FreeSlotsMovingPointsAndEdgeCirclesStayPut)
{
    place(5, KIND_FREE, 100, 100, 3, 3);
    place(101, KIND_PAD_BOTTOM_LEFT, 0, 600, 3, 3);
    place(FIRST_POINTS_SLOT, KIND_MOVING_POINT, 300, 300, 3, 3);
    move_sprites();
    EXPECT_EQ(sprite[5].x, 100);
    EXPECT_EQ(sprite[101].y, 600);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].x, 300);
    EXPECT_EQ(live_particles(), 0);
}

// ---- bumper spin ----

TEST_F(MoveSprites, BumperMovesAndSpinsByATenthOfItsSpeedInHundredths)
{
    place(71, KIND_BUMPER, 400, 300, 1.5, -0.5);
    sprite[71].angle = 5;
    move_sprites();
    EXPECT_DOUBLE_EQ(sprite[71].x, 401.5);
    EXPECT_DOUBLE_EQ(sprite[71].y, 299.5);
    EXPECT_EQ(sprite[71].angle, 25); // (150 + 50) / 10
    EXPECT_EQ(live_particles(), 0);  // bumpers leave no trail
}

TEST_F(MoveSprites, SlowBumperAndRestingBumperDoNotTurn)
{
    place(72, KIND_BUMPER, 400, 300, 0.05, 0); // 5 / 10 truncates to 0
    place(73, KIND_BUMPER, 500, 300, 0, 0);
    sprite[72].angle = sprite[73].angle = 17;
    move_sprites();
    EXPECT_EQ(sprite[72].angle, 17);
    EXPECT_EQ(sprite[73].angle, 17);
}

TEST_F(MoveSprites, AngleLandingOn255BecomesZeroOthersGrowOn)
{
    place(71, KIND_BUMPER, 400, 300, -2, 0); // turns by 20 whichever way it goes
    place(72, KIND_BUMPER, 400, 400, 0, 2);
    sprite[71].angle = 235;
    sprite[72].angle = 240;
    move_sprites();
    EXPECT_EQ(sprite[71].angle, 0);
    EXPECT_EQ(sprite[72].angle, 260);
}

// ---- friction and stopping ----

// 6 x 0.992^k first falls below 0.3 at k = 373 (ln 0.05 / ln 0.992 = 372.97).
TEST_F(MoveSprites, BallLaunchedAtSixStopsAndIsRemovedAfter373Steps)
{
    place(0, KIND_P1_BALL, 100, 300, 6, 0);
    EXPECT_EQ(steps_until_removed(0, 1000), 373);
    EXPECT_EQ(sprite[0].dx, 0);
}

TEST_F(MoveSprites, BallAtExactlyPointThreeNeverStops)
{
    place(0, KIND_P1_BALL, 100, 300, 0.3, 0);
    EXPECT_EQ(steps_until_removed(0, 2000), -1);
    EXPECT_EQ(sprite[0].dx, 0.3);
}

// 2 x 0.992^k first falls below 0.3 at k = 237 (ln 0.15 / ln 0.992 = 236.2).
TEST_F(MoveSprites, SlowComponentIsKeptWhileTheFastOneDecays)
{
    place(0, KIND_P2_BALL, 100, 300, -2, 0.25);
    for (int step = 1; step < 237; step++) {
        reduce_speed();
        ASSERT_EQ(sprite[0].dy, 0.25) << step;
        ASSERT_EQ(sprite[0].type, KIND_P2_BALL) << step;
    }
    reduce_speed();
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_EQ(sprite[0].dy, 0);
}

TEST_F(MoveSprites, OverflowBallStopsButStaysOnTheField)
{
    place(OVERFLOW_BALL_SLOT, KIND_P1_BALL, 400, 300, 1, -1);
    for (int step = 0; step < 400; step++)
        reduce_speed();
    EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].dx, 0);
    EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].dy, 0);
    EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].type, KIND_P1_BALL);
}

TEST_F(MoveSprites, BumpersAreNeverSlowed)
{
    place(71, KIND_BUMPER, 400, 300, 3, -0.4);
    for (int step = 0; step < 100; step++)
        reduce_speed();
    EXPECT_EQ(sprite[71].dx, 3);
    EXPECT_EQ(sprite[71].dy, -0.4);
}
