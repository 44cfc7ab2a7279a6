// Tests of collisions and scoring: the impulse, ball and bumper rules, side lines, edges.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "check_collision.h"
#include "explosions.h"
#include "headless.h"
#include "init.h"
#include "particles.h"
#include "rebound_effect.h"
#include "sim_helpers.h"

class CheckCollision : public ::testing::Test {
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
        initialise_explosions();
        initialise_rebound();
        p1_score = p2_score = 0;
        mult = 0;
    }
};

static void place_edge(int slot, int type, double x, double y, double diameter)
{
    place(slot, type, x, y, 0, 0);
    sprite[slot].w = sprite[slot].h = diameter;
    sprite[slot].mass = 10000;
}

// ---- a ball strikes a bumper ----

// Head-on along x, a ball of mass 1 at speed 6 gives a resting bumper of mass 20
// 2 x 6 / (1 + 20) = 12/21 and keeps 6 - 240/21 itself: speed class (int)(12/21 + 1) = 1.
TEST_F(CheckCollision, BallStrikingRestingBumperHeadOnScoresTen)
{
    place(0, KIND_P1_BALL, 366, 300, 6, 0); // 34 from the bumper's centre: 1 pixel of overlap
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    check_collision();
    EXPECT_NEAR(sprite[71].dx, 12.0 / 21, 1e-12);
    EXPECT_NEAR(sprite[71].dy, 0, 1e-12);
    EXPECT_NEAR(sprite[71].x, 400 + 1.0 / 21, 1e-12); // the heavy one moves 1/21 of the overlap
    EXPECT_EQ(p1_score, 10);
    EXPECT_EQ(p2_score, 0);
    EXPECT_EQ(mult, 1);
    EXPECT_EQ(live_moving_points(), 0);
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_EQ(sprite[0].life, 0);
    // a burst of streaks at the ball, which was pushed back 20/21 of a pixel
    EXPECT_EQ(explosion[0].x, 365);
    EXPECT_EQ(explosion[0].y, 300);
    EXPECT_EQ(explosion[0].life, 4);
    EXPECT_EQ(explosion[0].speed, 3);
    EXPECT_EQ(explosion[0].type, PARTICLE_STREAK);
}

struct speed_class_case {
    double bumper_dy; // untouched by a hit along x, so the speed sum is 12/21 + |dy|
    int points;
    bool shown;
};

class SpeedClass : public CheckCollision, public ::testing::WithParamInterface<speed_class_case> {};

TEST_P(SpeedClass, HitScoresByTheBumpersSpeedClass)
{
    const speed_class_case &c = GetParam();
    for (int side : {KIND_P1_BALL, KIND_P2_BALL}) {
        SetUp();
        place(0, side, 366, 300, 6, 0);
        place(71, KIND_BUMPER, 400, 300, 0, c.bumper_dy);
        check_collision();
        EXPECT_EQ(side == KIND_P1_BALL ? p1_score : p2_score, c.points);
        EXPECT_EQ(side == KIND_P1_BALL ? p2_score : p1_score, 0);
        EXPECT_EQ(sprite[0].type, KIND_FREE);
        ASSERT_EQ(live_moving_points(), c.shown ? 1 : 0);
        if (c.shown) {
            const sprite_record &m = sprite[FIRST_POINTS_SLOT];
            EXPECT_EQ(m.points, c.points);
            EXPECT_EQ(m.direction, side);
            EXPECT_EQ(m.x, sprite[0].x); // shown where the ball was
            EXPECT_EQ(m.y, 300);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ClassesOneToSixAndAbove, SpeedClass,
    ::testing::Values(speed_class_case{0, 10, false}, speed_class_case{1, 25, false},
                      speed_class_case{-2, 50, true}, speed_class_case{3, 100, true},
                      speed_class_case{4, 250, true}, speed_class_case{4.5, 0, true},
                      speed_class_case{-9, 0, true}));

// A ball can give a bumper at most 12/21 by itself, so the hit below is class 1, worth 10.
TEST_F(CheckCollision, BallTouchingTwoBumpersScoresOnlyWithTheLowerSlot)
{
    place(71, KIND_BUMPER, 340, 240, 0, 0);
    place(72, KIND_BUMPER, 402, 240, 0, 0);
    place(0, KIND_P2_BALL, 371, 256, 0, -6); // 34.9 from both centres, in the 2-pixel gap
    check_collision();
    EXPECT_EQ(p2_score, 10);
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_NE(sprite[71].dx, 0);
    EXPECT_EQ(sprite[72].dx, 0);
    EXPECT_EQ(sprite[72].dy, 0);
    EXPECT_EQ(sprite[72].x, 402);
    EXPECT_EQ(live_explosions(), 1);
}

// ---- two balls meet ----

TEST_F(CheckCollision, TwoBallsOfTheSameSideDestroyEachOtherWithoutScore)
{
    place(4, KIND_P1_BALL, 100, 300, 1, 0);
    place(9, KIND_P1_BALL, 108, 300, -1, 0);
    check_collision();
    EXPECT_EQ(sprite[4].type, KIND_FREE);
    EXPECT_EQ(sprite[9].type, KIND_FREE);
    EXPECT_EQ(p1_score + p2_score, 0);
    // equal masses each give way 1 pixel: midpoint (104, 300)
    EXPECT_EQ(explosion[0].x, 104);
    EXPECT_EQ(explosion[0].y, 300);
    EXPECT_EQ(explosion[0].life, 5);
    EXPECT_EQ(explosion[0].speed, 2);
    EXPECT_EQ(explosion[0].type, PARTICLE_DOT);
    EXPECT_EQ(live_moving_points(), 0);
}

TEST_F(CheckCollision, OpposingBallsAlsoDestroyEachOther)
{
    place(0, KIND_P1_BALL, 400, 300, 6, 0);
    place(1, KIND_P2_BALL, 405, 304, -6, 0);
    check_collision();
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_EQ(sprite[1].type, KIND_FREE);
    EXPECT_EQ(p1_score + p2_score, 0);
    EXPECT_EQ(live_explosions(), 1);
}

// ---- overlap test ----

TEST_F(CheckCollision, ExactlyTouchingCirclesCollide)
{
    place(0, KIND_P1_BALL, 365, 300, 6, 0); // 35 apart: radii 5 + 30
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    check_collision();
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_EQ(p1_score, 10);
    EXPECT_EQ(sprite[71].x, 400); // no overlap to undo
    EXPECT_NEAR(sprite[71].dx, 12.0 / 21, 1e-12);
}

TEST_F(CheckCollision, CirclesAHairApartDoNotCollide)
{
    place(0, KIND_P1_BALL, 364.999, 300, 6, 0);
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    check_collision();
    EXPECT_EQ(sprite[0].type, KIND_P1_BALL);
    EXPECT_EQ(sprite[0].dx, 6);
    EXPECT_EQ(sprite[71].dx, 0);
    EXPECT_EQ(p1_score, 0);
}

TEST_F(CheckCollision, FreshFieldMovesAndScoresNothing)
{
    initialise_sprites();
    sprite_record before[SPRITE_SLOTS];
    memcpy(before, sprite, sizeof sprite);
    check_collision();
    EXPECT_EQ(memcmp(before, sprite, sizeof sprite), 0); // edge circles overlap but never move
    EXPECT_EQ(p1_score + p2_score, 0);
    EXPECT_EQ(live_explosions(), 0);
    EXPECT_EQ(live_flashes(), 0);
}

// ---- bumpers ----

// Equal masses exchange their speeds along the line: the lower slot leaves at 3, so mult is
// 10 x (int)(3 + 1) = 40 and the burst flies at 20.
TEST_F(CheckCollision, BumpersClashWithABurstAsFastAsHalfOfMult)
{
    place(71, KIND_BUMPER, 359, 300, 0, 0);
    place(72, KIND_BUMPER, 300, 300, 3, 0);
    check_collision();
    EXPECT_NEAR(sprite[71].dx, 3, 1e-12);
    EXPECT_NEAR(sprite[72].dx, 0, 1e-12);
    EXPECT_EQ(mult, 40);
    EXPECT_EQ(explosion[0].speed, 20);
    EXPECT_EQ(explosion[0].life, 6);
    EXPECT_EQ(explosion[0].type, PARTICLE_STREAK);
    EXPECT_EQ(explosion[0].x, 329); // each gave way half a pixel: (359.5 + 299.5) / 2
    EXPECT_EQ(p1_score + p2_score, 0);
}

// An object's centre for the overlap test is taken once, when its turn begins: 71 gives way
// half a pixel to 72 and would then touch 73, but is still measured from where it started.
TEST_F(CheckCollision, OverlapIsMeasuredFromWhereTheObjectStartedItsTurn)
{
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    place(72, KIND_BUMPER, 459, 300, 0, 0);   // 1 pixel of overlap
    place(73, KIND_BUMPER, 339.7, 300, 0, 0); // 60.3 from 400, but 59.8 from 399.5
    check_collision();
    EXPECT_EQ(sprite[71].x, 399.5);
    EXPECT_EQ(sprite[72].x, 459.5);
    EXPECT_EQ(sprite[73].x, 339.7);
    EXPECT_EQ(live_explosions(), 1);
}

// Against mass 10000 a bumper of mass 20 keeps (10000 - 20) / (10000 + 20) of its normal
// speed, reversed; the edge itself never moves.
TEST_F(CheckCollision, BumperBouncingOffAnEdgeKeepsTheMassRatioOfItsSpeed)
{
    place_edge(104, KIND_TOP_EDGE, 400, -1180, 2450); // lowest point y = 45
    place(71, KIND_BUMPER, 400, 74, 0, -2);           // 1 pixel into it
    check_collision();
    EXPECT_NEAR(sprite[71].dy, 2.0 * 9980 / 10020, 1e-12);
    EXPECT_NEAR(sprite[71].y, 74 + 10000.0 / 10020, 1e-9);
    EXPECT_EQ(sprite[104].y, -1180);
    EXPECT_EQ(sprite[104].dy, 0);
    EXPECT_EQ(live_flashes(), 0); // the top edge is no pad
}

TEST_F(CheckCollision, BumperRestingAgainstACornerPadFlashesItEveryStep)
{
    place_edge(103, KIND_PAD_TOP_LEFT, 0, 0, 300);
    place(71, KIND_BUMPER, 145, 100, 0, 0); // 176.1 from the corner, closer than 150 + 30
    for (int step = 1; step <= 3; step++) {
        check_collision();
        EXPECT_EQ(live_flashes(), step);
        EXPECT_EQ(rebound[step - 1].type, KIND_PAD_TOP_LEFT);
    }
}

TEST_F(CheckCollision, BallStrikingACornerBouncesWithoutFlash)
{
    place_edge(108, KIND_PAD_BOTTOM_RIGHT, 800, 600, 300);
    place(0, KIND_P2_BALL, 691, 491, 2, 2); // 154.2 from the corner: radii 150 + 5
    check_collision();
    EXPECT_LT(sprite[0].dx, 0);
    EXPECT_LT(sprite[0].dy, 0);
    EXPECT_EQ(sprite[0].type, KIND_P2_BALL);
    EXPECT_EQ(live_flashes(), 0);
    EXPECT_EQ(p1_score + p2_score, 0);
}

// ---- side lines ----

TEST_F(CheckCollision, BumperHeldBeyondTheLeftLineScoresForPlayerTwoEveryStep)
{
    place(71, KIND_BUMPER, 50, 300, -1, 0); // its left edge at 20, beyond 28
    for (int step = 1; step <= 3; step++) {
        check_collision();
        EXPECT_EQ(p2_score, 250 * step);
        EXPECT_EQ(sprite[71].dx, step % 2 ? 1 : -1);
        const sprite_record &m = sprite[FIRST_POINTS_SLOT + step - 1];
        EXPECT_EQ(m.points, 250);
        EXPECT_EQ(m.direction, 2);
        EXPECT_EQ(m.x, 50);
        EXPECT_EQ(m.y, 300);
    }
    EXPECT_EQ(p1_score, 0);
}

TEST_F(CheckCollision, BumperBeyondTheRightLineScoresForPlayerOne)
{
    place(76, KIND_BUMPER, 743, 200, 2, 1); // its right edge at 773, beyond 772
    check_collision();
    EXPECT_EQ(p1_score, 250);
    EXPECT_EQ(p2_score, 0);
    EXPECT_EQ(sprite[76].dx, -2);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].direction, 1);
}

TEST_F(CheckCollision, BumperJustInsideTheLinesIsLeftAlone)
{
    place(71, KIND_BUMPER, 58, 300, -1, 0);
    place(72, KIND_BUMPER, 742, 300, 1, 0);
    check_collision();
    EXPECT_EQ(sprite[71].dx, -1);
    EXPECT_EQ(sprite[72].dx, 1);
    EXPECT_EQ(p1_score + p2_score, 0);
}

TEST_F(CheckCollision, BallBeyondASideLineTurnsBackWithoutScore)
{
    place(0, KIND_P1_BALL, 32, 300, -2, 1); // its left edge at 27
    place(1, KIND_P2_BALL, 768, 100, 3, 0); // its right edge at 773
    check_collision();
    EXPECT_EQ(sprite[0].dx, 2);
    EXPECT_EQ(sprite[0].dy, 1);
    EXPECT_EQ(sprite[1].dx, -3);
    EXPECT_EQ(p1_score + p2_score, 0);
    EXPECT_EQ(live_moving_points(), 0);
}
