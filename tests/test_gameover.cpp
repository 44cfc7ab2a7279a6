// Tests of the game-over scene: the logo bursts, the bumpers leave, the scene runs until the
// last particle dies and the scores stand.
#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "fade.h"
#include "gamedata.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "headless.h"
#include "init.h"
#include "particles.h"
#include "sim_helpers.h"

class GameOver : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_sprites();
        initialise_particles();
        get_brumzel_pixels();
        srand(3);
    }
    void TearDown() override
    {
        key[KEY_ESC] = 0;
        mouse_b = 0;
    }
};

// ---- the burst ----

TEST_F(GameOver, EveryBumperBurstsIntoEverySecondLogoPixelAndLeaves)
{
    burst_bumpers();
    EXPECT_EQ(live_particles(), 6 * 1460);
    for (int b = 0; b < 6; b++) {
        const sprite_record &bumper = sprite[FIRST_BUMPER_SLOT + b];
        EXPECT_EQ(bumper.type, KIND_FREE);
        for (int j = 0; j < 1460; j++) {
            const particle_record &p = particles[b * 1460 + j];
            const brumzel_pixel &px = brumzel_pixels[2 * j];
            ASSERT_EQ(p.x, static_cast<int>(px.x + bumper.x));
            ASSERT_EQ(p.y, static_cast<int>(px.y + bumper.y));
            ASSERT_EQ(p.col, px.col); // a 16-bit colour survives its split into components
            ASSERT_GE(p.life, 200);
            ASSERT_LE(p.life, 599);
            ASSERT_GE(p.type, 1);
            ASSERT_LE(p.type, 3);
            double speed = hypot(p.dx, p.dy);
            ASSERT_NEAR(speed - 0.5, std::round(speed - 0.5), 1e-9); // 0.5, 1.5, ... 4.5
            ASSERT_GE(speed, 0.5 - 1e-9);
            ASSERT_LE(speed, 4.5 + 1e-9);
        }
    }
}

TEST_F(GameOver, BurstDrawsLifeThenStyleThenSpeedThenDirection)
{
    srand(77);
    int life = rand() % 400 + 200;
    int type = rand() % 3 + 1;
    double speed = (rand() % 50) / 10 + 0.5;
    double direction = (rand() % 630) / 100.0;
    srand(77);
    burst_bumpers();
    EXPECT_EQ(particles[0].life, life);
    EXPECT_EQ(particles[0].type, type);
    EXPECT_DOUBLE_EQ(particles[0].dx, sin(direction) * speed);
    EXPECT_DOUBLE_EQ(particles[0].dy, cos(direction) * speed);
}

TEST_F(GameOver, BurstIntoANearlyFullTableKeepsWithinIt)
{
    for (int n = 0; n < PARTICLE_SLOTS - 100; n++)
        create_particle(0, 0, 0, PARTICLE_DOT, 1, 1, 1, 1000);
    burst_bumpers();
    EXPECT_EQ(live_particles(), PARTICLE_SLOTS);
    EXPECT_EQ(sprite[LAST_BUMPER_SLOT].type, KIND_FREE);
}

// ---- the closing scene ----

// White pixels in the caption's area that the background does not have there.
static int caption_pixels()
{
    int white = makecol(255, 255, 255), count = 0;
    for (int y = GAMEOVER_Y; y < GAMEOVER_Y + 80; y++)
        for (int x = GAMEOVER_X; x < GAMEOVER_X + 400; x++)
            if (getpixel(buffer, x, y) == white && getpixel(background, x, y) != white) count++;
    return count;
}

// The clock is far ahead, so every step draws exactly one frame. A ball at (3, 1) stops in
// step 287 (3 x 0.992^k < 0.3 from k = 287), and its last trail dot dies 9 steps later; the
// scene ends in the step that kills the last particle, whichever lives longer.
TEST_F(GameOver, SceneRunsUntilTheLastParticleDiesAndScoresStand)
{
    place(0, KIND_P1_BALL, 200, 300, 3, 1);
    p1_score = 1230;
    p2_score = 450;
    key[KEY_ESC] = 1; // no key or button shortens the scene
    mouse_b = 1;
    target_frames = INT_MAX / 2;
    actual_frames = 0;
    burst_bumpers();
    int longest = 0;
    for (const particle_record &p : particles)
        if (p.life > longest) longest = p.life;
    run_gameover_loop();
    EXPECT_EQ(actual_frames, std::max(longest, 287 + 9));
    EXPECT_EQ(live_particles(), 0);
    EXPECT_EQ(p1_score, 1230);
    EXPECT_EQ(p2_score, 450);
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        EXPECT_EQ(sprite[n].type, 0);
    for (int n = 1; n <= OVERFLOW_BALL_SLOT; n++)
        EXPECT_EQ(sprite[n].type, KIND_FREE);
    EXPECT_GT(caption_pixels(), 0);
}

TEST_F(GameOver, BallRestingInTheOverflowSlotDoesNotHoldTheSceneOpen)
{
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    target_frames = INT_MAX / 2;
    actual_frames = 0;
    burst_bumpers();
    run_gameover_loop();
    EXPECT_EQ(live_particles(), 0);
    EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].type, KIND_FREE);
    EXPECT_LE(actual_frames, 600);
}

TEST_F(GameOver, WholeSequenceEndsFadedWithTheBumpersGone)
{
    target_frames = INT_MAX / 2;
    actual_frames = 0;
    gameover();
    EXPECT_EQ(live_particles(), 0);
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        EXPECT_EQ(sprite[n].type, 0);
    EXPECT_EQ(fade_pictures, 15); // faded at 16 a step: 239, 223, ... 15
    EXPECT_EQ(getpixel(screen, 400, 300), 0);
}
