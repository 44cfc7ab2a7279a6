// Tests of the sprite table set-up and the new-game values.
#include <cmath>

#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"

namespace {

bool is_fixed_object(int slot)
{
    return (slot >= FIRST_BUMPER_SLOT && slot <= LAST_BUMPER_SLOT) || slot == 101 ||
           (slot >= 103 && slot <= 105) || slot == 107 || slot == 108;
}

double centre_distance(const sprite_record &a, const sprite_record &b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

class SpriteTable : public ::testing::Test {
  protected:
    void SetUp() override
    {
        // Leave the table as a busy game would: every slot taken and alive.
        for (int n = 0; n < SPRITE_SLOTS; n++) {
            sprite[n].type = n < 50 ? KIND_P1_BALL : KIND_MOVING_POINT;
            sprite[n].life = 50;
            sprite[n].x = 123;
            sprite[n].dx = 4;
        }
        initialise_sprites();
    }
};

TEST_F(SpriteTable, OnlyBumpersAndEdgesSurviveSetUp)
{
    for (int n = 0; n < SPRITE_SLOTS; n++) {
        if (is_fixed_object(n)) continue;
        EXPECT_EQ(sprite[n].type, KIND_FREE) << "slot " << n;
        EXPECT_EQ(sprite[n].life, 0) << "slot " << n;
    }
    EXPECT_EQ(sprite[102].type, KIND_FREE);
    EXPECT_EQ(sprite[106].type, KIND_FREE);
    EXPECT_EQ(sprite[109].type, KIND_FREE);
}

TEST_F(SpriteTable, BumpersFormTheirTriangleAtRest)
{
    const double want[6][2] = {{340, 240}, {402, 240}, {464, 240},
                               {370, 296}, {432, 296}, {402, 352}};
    const int angles[6] = {0, 42, 84, 126, -1, 210}; // slot 75's angle is the game's choice
    for (int i = 0; i < 6; i++) {
        const sprite_record &b = sprite[FIRST_BUMPER_SLOT + i];
        EXPECT_EQ(b.type, KIND_BUMPER);
        EXPECT_EQ(b.x, want[i][0]);
        EXPECT_EQ(b.y, want[i][1]);
        EXPECT_EQ(b.dx, 0);
        EXPECT_EQ(b.dy, 0);
        EXPECT_EQ(b.w, 60);
        EXPECT_EQ(b.h, 60);
        EXPECT_EQ(b.mass, 20);
        EXPECT_EQ(b.frame, 1);
        EXPECT_EQ(b.life, 0);
        if (angles[i] >= 0) {
            EXPECT_EQ(b.angle, angles[i]);
        }
        EXPECT_GE(b.angle, 0);
        EXPECT_LE(b.angle, 255);
    }
}

TEST_F(SpriteTable, EdgeCirclesAreHugeAndImmovable)
{
    const struct {
        int slot, type;
        double x, y, d;
    } want[] = {
        {101, KIND_PAD_BOTTOM_LEFT, 0, 600, 300}, {103, KIND_PAD_TOP_LEFT, 0, 0, 300},
        {104, KIND_TOP_EDGE, 400, -1180, 2450},   {105, KIND_BOTTOM_EDGE, 400, 1980, 2845},
        {107, KIND_PAD_TOP_RIGHT, 800, 0, 300},   {108, KIND_PAD_BOTTOM_RIGHT, 800, 600, 300},
    };
    for (const auto &e : want) {
        const sprite_record &s = sprite[e.slot];
        EXPECT_EQ(s.type, e.type) << "slot " << e.slot;
        EXPECT_EQ(s.x, e.x);
        EXPECT_EQ(s.y, e.y);
        EXPECT_EQ(s.w, e.d);
        EXPECT_EQ(s.h, e.d);
        EXPECT_EQ(s.dx, 0);
        EXPECT_EQ(s.dy, 0);
        EXPECT_EQ(s.mass, 10000);
    }
    // The top edge reaches down to y 45 and the bottom edge up to y 557.5.
    EXPECT_DOUBLE_EQ(sprite[104].y + sprite[104].w / 2, 45);
    EXPECT_DOUBLE_EQ(sprite[105].y - sprite[105].w / 2, 557.5);
}

TEST_F(SpriteTable, NoBumperTouchesAnotherOrAnEdge)
{
    for (int a = FIRST_BUMPER_SLOT; a <= LAST_BUMPER_SLOT; a++) {
        for (int b = 0; b < SPRITE_SLOTS; b++) {
            if (b == a || sprite[b].type == KIND_FREE) continue;
            double reach = (sprite[a].w + sprite[b].w) / 2;
            EXPECT_GT(centre_distance(sprite[a], sprite[b]), reach)
                << "bumper " << a << " touches slot " << b;
        }
        // Well inside both side lines.
        EXPECT_GT(sprite[a].x - sprite[a].w / 2, 28);
        EXPECT_LT(sprite[a].x + sprite[a].w / 2, 772);
    }
}

TEST(NewGame, ResetsAimsBallsScoresAndCountButNotLaunchTimers)
{
    p1_dy = 33;
    p2_dy = -4;
    p1_balls = 0;
    p2_balls = 17;
    p1_score = 5000;
    p2_score = 250;
    countdown_flag = 999;
    p1_frames = 7;
    p2_frames = 3;
    new_high = 1;
    initialise_newgame();
    EXPECT_EQ(p1_dy, 0.0f);
    EXPECT_EQ(p2_dy, 0.0f);
    EXPECT_EQ(p1_balls, 400);
    EXPECT_EQ(p2_balls, 400);
    EXPECT_EQ(p1_score, 0);
    EXPECT_EQ(p2_score, 0);
    EXPECT_EQ(countdown_flag, 0);
    EXPECT_EQ(p1_frames, 7);
    EXPECT_EQ(p2_frames, 3);
    EXPECT_EQ(new_high, 1);
}
