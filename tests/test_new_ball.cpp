// Tests of new_ball: where a launch puts its ball, the rate limit, ball counts and slots.
#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"
#include "new_ball.h"

class NewBall : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_sprites();
        initialise_newgame();
        p1_frames = p2_frames = 100; // both launchers long rested
    }
    static int balls_of(int type)
    {
        int n = 0;
        for (const sprite_record &s : sprite)
            n += s.type == type;
        return n;
    }
};

TEST_F(NewBall, PlayerOneBallLeavesLeftLauncherWithQuarterOfAim)
{
    p1_dy = -40;
    new_ball(KIND_P1_BALL);
    const sprite_record &s = sprite[0];
    EXPECT_EQ(s.type, KIND_P1_BALL);
    EXPECT_EQ(s.x, 30);
    EXPECT_EQ(s.y, 290);
    EXPECT_EQ(s.dx, 6);
    EXPECT_EQ(s.dy, -10);
    EXPECT_EQ(s.w, 10);
    EXPECT_EQ(s.h, 10);
    EXPECT_EQ(s.mass, 1);
    EXPECT_EQ(p1_balls, BALLS_PER_GAME - 1);
    EXPECT_EQ(p1_frames, 0);
    EXPECT_EQ(p2_balls, BALLS_PER_GAME);
    EXPECT_EQ(p2_frames, 100);
}

TEST_F(NewBall, PlayerTwoBallLeavesRightLauncherWithTwiceTheAim)
{
    p2_dy = 2.5f;
    new_ball(KIND_P2_BALL);
    const sprite_record &s = sprite[0];
    EXPECT_EQ(s.type, KIND_P2_BALL);
    EXPECT_EQ(s.x, 770);
    EXPECT_EQ(s.y, 290);
    EXPECT_EQ(s.dx, -6);
    EXPECT_EQ(s.dy, 5);
    EXPECT_EQ(s.w, 10);
    EXPECT_EQ(s.mass, 1);
    EXPECT_EQ(p2_balls, BALLS_PER_GAME - 1);
    EXPECT_EQ(p2_frames, 0);
    EXPECT_EQ(p1_balls, BALLS_PER_GAME);
}

TEST_F(NewBall, LaunchNeedsSixteenStepsSinceTheLastOne)
{
    p1_frames = 15;
    p2_frames = 15;
    new_ball(KIND_P1_BALL);
    new_ball(KIND_P2_BALL);
    EXPECT_EQ(balls_of(KIND_P1_BALL) + balls_of(KIND_P2_BALL), 0);
    EXPECT_EQ(p1_balls, BALLS_PER_GAME);
    EXPECT_EQ(p1_frames, 15);

    p1_frames = 16;
    p2_frames = 16;
    new_ball(KIND_P1_BALL);
    new_ball(KIND_P2_BALL);
    EXPECT_EQ(balls_of(KIND_P1_BALL), 1);
    EXPECT_EQ(balls_of(KIND_P2_BALL), 1);
    // The second launch of a side in the same step is refused.
    new_ball(KIND_P1_BALL);
    EXPECT_EQ(balls_of(KIND_P1_BALL), 1);
}

TEST_F(NewBall, NoLaunchWithoutBallsLeft)
{
    p1_balls = 0;
    p2_balls = -1;
    sprite_record before[SPRITE_SLOTS];
    std::copy(std::begin(sprite), std::end(sprite), before);
    new_ball(KIND_P1_BALL);
    new_ball(KIND_P2_BALL);
    EXPECT_EQ(memcmp(before, sprite, sizeof sprite), 0);
    EXPECT_EQ(p1_balls, 0);
    EXPECT_EQ(p2_balls, -1);
    EXPECT_EQ(p1_frames, 100);
}

TEST_F(NewBall, TakesLowestFreeBallSlot)
{
    sprite[0].type = KIND_P2_BALL;
    sprite[1].type = KIND_P1_BALL;
    sprite[3].type = KIND_P1_BALL;
    new_ball(KIND_P1_BALL);
    EXPECT_EQ(sprite[2].type, KIND_P1_BALL);
    EXPECT_EQ(sprite[2].x, 30);
    EXPECT_EQ(free_ball_slot(), 4);
}

TEST_F(NewBall, FullBallSlotsOverflowIntoSlotFiftyReplacingItsBall)
{
    for (int n = 0; n <= 49; n++)
        sprite[n].type = KIND_P2_BALL;
    sprite[50].type = KIND_P2_BALL;
    sprite[50].x = 400;
    sprite[50].dx = -3;
    new_ball(KIND_P1_BALL);
    EXPECT_EQ(sprite[50].type, KIND_P1_BALL);
    EXPECT_EQ(sprite[50].x, 30);
    EXPECT_EQ(sprite[50].dx, 6);
    EXPECT_EQ(sprite[51].type, KIND_FREE);
    for (int n = 0; n <= 49; n++)
        ASSERT_EQ(sprite[n].type, KIND_P2_BALL) << "slot " << n;
    // A further launch replaces the overflow ball again.
    p2_frames = 100;
    new_ball(KIND_P2_BALL);
    EXPECT_EQ(sprite[50].type, KIND_P2_BALL);
    EXPECT_EQ(sprite[50].x, 770);
    EXPECT_EQ(sprite[51].type, KIND_FREE);
}
