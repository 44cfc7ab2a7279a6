// test_effects -- particles, explosions, floating scores, pad flashes, the logo and the burst
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "explosions.h"
#include "fade.h"
#include "fixture.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "moving_points.h"
#include "null_drivers.h"
#include "particles.h"
#include "rebound_effect.h"

using Effects = Headless;

// A particle flies in one of 630 hundredths of a radian (sine for x), and each step moves it by
// its speed, then shakes x and y by rand() % 2 - rand() % 2.
TEST_F(Effects, ParticlesFlyInADrawnDirectionAndShakeEachStep)
{
    srand(9);
    for (int n = 0; n < 50; n++)
        create_particle(n, 7, 2.5, PARTICLE_STREAK, 10, 20, 30, 3);
    update_particle(), srand(9);
    double d[50];
    for (double &k : d)
        k = (rand() % 630) / 100.0;
    for (int n = 0; n < 50; n++) {
        const particle_record &p = particles[n];
        int ux = rand() % 2, dx = rand() % 2, uy = rand() % 2, dy = rand() % 2;
        ASSERT_EQ(N(p.x, p.y, p.tx, p.ty, p.rx, p.ry, p.col, p.life),
                  N(n + sin(d[n]) * 2.5 + (ux - dx), 7 + cos(d[n]) * 2.5 + (uy - dy), n, 7, 2, 2,
                    makecol(10, 20, 30), 2));
    }
}

// A particle of life 3 is drawn until its third step. A new one takes the lowest record whose
// life is 0 or less, born dead it leaves it free, and a full table drops it.
TEST_F(Effects, ParticleIsDrawnWhileAliveAndTakesTheLowestFreeRecord)
{
    MAX_PARTICLES = -1, create_particle(0, 0, 0, PARTICLE_DOT, 0, 255, 0, 12); // a table of none
    MAX_PARTICLES = 300;
    for (int n = 0; n < 300; n++)
        create_particle(n, 0, 0, PARTICLE_DOT, 0, 255, 0, n == 7 || n == 200 ? 1 : 3);
    create_particle(300, 0, 0, PARTICLE_DOT, 0, 255, 0, 12); // the 301st finds the table full
    int seen = 0;
    for (int frame = 0; frame < 4; frame++) {
        clear_bitmap(buffer);
        display_particles();
        seen += pixels(buffer, 0, 0, 799, 599, makecol(0, 255, 0)) > 0;
        update_particle(); // the first step frees 7 and 200
        // lives 11 and 12 go to 7 and 200 (8 and 9 at the end); 13 finds the table full
        for (int life = 10; life < 14 && frame == 0; life++)
            create_particle(0, 0, 0, PARTICLE_DOT, 1, 1, 1, life == 10 ? -3 : life);
    }
    EXPECT_EQ(N(seen, particles[7].life, particles[200].life, particles[300].life), N(3, 8, 9, 0));
    initialise_particles(), MAX_PARTICLES = PARTICLE_SLOTS; // the game's table: 20,000 to the last
    for (int n = 1; n <= 20001; n++)
        create_particle(n, 0, 0, PARTICLE_DOT, 1, 1, 1, 9);
    EXPECT_EQ(N(particles[0].x, particles[19999].x, live(particles)), N(1, 20000, 20000));
}

// Streaks and dots set exactly the pixels of the library's line and putpixel: every slope and
// length up to 12 pixels, inside and across each edge of the bitmap and of a clip rectangle, on
// 16-, 24- and 32-bit bitmaps. Unknown styles are not drawn.
TEST_F(Effects, StreaksAndDotsSetExactlyTheLibrarysPixels)
{
    const int w = 120, h = 90,
              starts[][2] = {{30, 40}, {3, 2}, {116, 87}, {21, 50}, {110, 50}, {60, 80}};
    BITMAP *real_buffer = buffer;
    MAX_PARTICLES = 1; // only record 0 is drawn
    create_particle(0, 0, 0, PARTICLE_STREAK, 255, 200, 200, 5);
    particle_record &p = particles[0];
    for (int depth : {16, 32, 24}) {
        BITMAP *drawn = create_bitmap_ex(depth, w, h), *expected = create_bitmap_ex(depth, w, h);
        int col = p.col = makecol_depth(depth, 255, 200, 200), wrong = 0;
        buffer = drawn;
        for (int clip : {0, 15})
            for (const auto &start : starts)
                for (int dy = -12; dy <= 12; dy++)
                    for (int dx = -12; dx <= 12; dx++)
                        for (int type : {PARTICLE_STREAK, PARTICLE_DOT, 7}) {
                            for (BITMAP *b : {drawn, expected}) {
                                set_clip_rect(b, clip, clip, w - 1 - clip, h - 1 - clip);
                                clear_to_color(b, 40);
                            }
                            p.type = type;
                            p.x = start[0] + dx + 0.8, p.y = start[1] + dy + 0.5;
                            p.tx = start[0] + 0.6, p.ty = start[1] + 0.3;
                            display_particles();
                            int x1 = int(p.x), y1 = int(p.y), x2 = int(p.tx), y2 = int(p.ty);
                            if (p.type == PARTICLE_STREAK) line(expected, x1, y1, x2, y2, col);
                            if (p.type == PARTICLE_DOT) putpixel(expected, x1, y1, col);
                            for (int y = 0; y < h; y++)
                                wrong += memcmp(drawn->line[y], expected->line[y],
                                                w * ((depth + 7) / 8)) != 0;
                        }
        EXPECT_EQ(wrong, 0) << depth << "-bit";
        destroy_bitmap(drawn), destroy_bitmap(expected);
    }
    buffer = real_buffer;
}

// An explosion sprays 41 pale particles a step at its speed, each with the explosion's life
// left; with 0-999 live a new one replaces record 1000, live or not, and a freed one is taken.
TEST_F(Effects, ExplosionSpraysFortyOnePaleParticlesAStepWithItsLifeLeft)
{
    create_explosion(9, 9, -2, 1, PARTICLE_DOT); // born dead: its record is taken again
    create_explosion(300, 200, 3, 2, PARTICLE_STREAK);
    for (int life = 3, made = 0; life >= 1; life--, made += 41) {
        set_color_depth(32), do_explosions(), set_color_depth(16); // colours kept to the bit
        for (int n = made; n < made + 41; n++) {
            const particle_record &p = particles[n];
            ASSERT_EQ(N(p.x, p.y, p.life, p.type, p.col),
                      N(300, 200, life, PARTICLE_STREAK, makecol32(255, 200, 200)));
            ASSERT_NEAR(hypot(p.dx, p.dy), 2.0, 1e-12);
        }
        EXPECT_EQ(N(live(particles), explosion[0].life), N(made + 41, life - 1));
    }
    do_explosions();
    EXPECT_EQ(live(particles), 3 * 41);
    for (int n = 0; n < 1001; n++)
        create_explosion(n, 0, 5, 1, PARTICLE_DOT);
    create_explosion(2000, 2, 7, 1, PARTICLE_DOT); // record 1000 is live and replaced anyway
    EXPECT_EQ(N(explosion[999].x, explosion[1000].x, explosion[1000].life), N(999, 2000, 7));
    explosion[500].life = 0, create_explosion(3000, 3, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[500].x, 3000);
}

// From 398 a number climbs two pixels a step to the top on step 199, its last, drifting a pixel
// a step to the scorer's side; a freed slot is taken again, and with all 90 busy one is dropped.
TEST_F(Effects, ScoreNumbersClimbToTheTopDriftingToTheScorersSide)
{
    create_new_moving_points(500, 398, 50, 1), create_new_moving_points(500, 100, 250, 2);
    sprite_record &a = sprite[FIRST_POINTS_SLOT], &b = sprite[FIRST_POINTS_SLOT + 1];
    EXPECT_EQ(N(a.points, a.type, b.points), N(50, KIND_MOVING_POINT, 250));
    for (int k = 1; k <= 199; k++) {
        update_moving_points();
        ASSERT_NEAR(a.y, 398.0 * (199 - k) / 199, 1e-9) << k;
        ASSERT_EQ(N(a.x, b.x), N(500 - k, 500 + k));
    }
    EXPECT_EQ(N(a.y, b.y, a.life), N(0, 0, 1));
    update_moving_points(), update_moving_points();
    EXPECT_EQ(a.type, KIND_FREE);
    for (int n = 0; n < 90; n++)
        create_new_moving_points(n, 300, n, 1);
    EXPECT_EQ(N(a.points, a.life, sprite[LAST_POINTS_SLOT].points), N(0, 200, 89));
    const std::vector<sprite_record> before(sprite, sprite + SPRITE_SLOTS);
    create_new_moving_points(999, 999, 999, 2);
    EXPECT_EQ(memcmp(before.data(), sprite, sizeof sprite), 0);
}

// Only corner pads flash, a full table ignoring more; each picture shows for ten drawn frames
// (where: the sprites' reviewed picture).
TEST_F(Effects, OnlyCornerPadsFlashAtTheirCornerForTenFrames)
{
    for (int kind : {KIND_TOP_EDGE, KIND_BOTTOM_EDGE, KIND_BUMPER, 99})
        create_pad_rebound(kind);
    EXPECT_EQ(live(rebound), 0);
    for (int n = 0; n <= 20; n++) // one more than the table's 20
        create_pad_rebound(n < 20 ? KIND_PAD_BOTTOM_LEFT : KIND_PAD_TOP_RIGHT);
    EXPECT_EQ(N(live(rebound), rebound[19].type), N(20, KIND_PAD_BOTTOM_LEFT));
    EXPECT_EQ(sounds, sound_log(20, {DAT_PAD_SOUND, 255, 255, 1000}));
    initialise_rebound();
    for (int k = 0; k < 4; k++) {
        create_pad_rebound(KIND_PAD_BOTTOM_LEFT + k);
        int frames = 0;
        for (int call = 0; call < 12; call++) {
            clear_bitmap(buffer), do_pad_rebound();
            frames += pixels(buffer, 0, 0, 799, 599, 0) < 800 * 600;
        }
        EXPECT_EQ(frames, 10) << k;
    }
    // A flash asked again is drawn again once another corner's picture covered it: here the top
    // left's made large enough to reach the bottom left's, both plain colours.
    BITMAP *small = create_bitmap(100, 100), *large = create_bitmap(700, 500);
    clear_to_color(small, 1), clear_to_color(large, 2);
    std::swap(bottom_left1, small), std::swap(top_left1, large);
    create_pad_rebound(KIND_PAD_BOTTOM_LEFT), create_pad_rebound(KIND_PAD_TOP_LEFT);
    create_pad_rebound(KIND_PAD_BOTTOM_LEFT), do_pad_rebound();
    EXPECT_EQ(N(getpixel(buffer, 60, 470), getpixel(buffer, 60, 40)), N(1, 2));
    std::swap(bottom_left1, small), std::swap(top_left1, large);
    destroy_bitmap(small), destroy_bitmap(large);
}

// The logo is read a column and a row past its 60x60, which come out black; mask-coloured pixels
// are skipped, pixels past the table's 3700 entries ignored, and the entries after the last zero.
TEST_F(Effects, LogoPixelsAreKeptColumnByColumnUpToTheTablesEnd)
{
    BITMAP *logo = brumzel1, *test = create_bitmap(LOGO_SIZE, LOGO_SIZE);
    int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    clear_to_color(test, bitmap_mask_color(test));
    putpixel(test, 3, 5, red), putpixel(test, 3, 2, blue);
    brumzel1 = test, get_brumzel_pixels();
    const int rows[][4] = {{2, 2, 60, 0},    {3, 3, 2, blue}, {4, 3, 5, red}, {5, 3, 60, 0},
                           {122, 60, 60, 0}, {123, 0, 0, 0},  {3699, 0, 0, 0}};
    for (const auto &r : rows) {
        const brumzel_pixel &p = brumzel_pixels[r[0]];
        EXPECT_EQ(N(p.x, p.y, p.col), N(r[1], r[2], r[3])) << r[0];
    }
    clear_to_color(test, red); // 61 x 61 kept; the first 3700 go to row 39 of column 60
    get_brumzel_pixels();
    EXPECT_EQ(N(brumzel_pixels[3699].x, brumzel_pixels[3699].y), N(60, 39));
    brumzel1 = logo, destroy_bitmap(test);
}

class Burst : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        initialise_sprites(), get_brumzel_pixels();
        target_frames = INT_MAX / 2; // a slow machine: one frame a step
    }
};

// A ball at (3, 1) stops in step 287 (3 x 0.992^k < 0.3), its last trail dot 9 steps later; the
// scene, a picture a step, ends with the last particle, whatever the keys; the scores stand.
TEST_F(Burst, ClosingSceneRunsUntilTheLastParticleDies)
{
    place(0, KIND_P1_BALL, 200, 300, 3, 1);
    p1_score = 1230, key[KEY_ESC] = 1, mouse_b = 1, burst_bumpers();
    int longest = 0, shortest = 1000; // the burst's lives are drawn from 200 to 599
    for (const particle_record &p : particles)
        longest = std::max(longest, p.life), shortest = std::min(shortest, p.life ? p.life : 1000);
    null_display_blits = 0, run_gameover_loop();
    EXPECT_EQ(N(actual_frames, null_display_blits, p1_score, sprite[0].type, shortest, longest),
              N(599, 599, 1230, KIND_FREE, 200, 599));
}

TEST_F(Burst, WholeSceneEndsFadedEvenWithABallRestingInTheOverflowSlot)
{
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    gameover();
    // Faded at 16 a step: 239, 223, ... 15.
    EXPECT_EQ(N(live(particles) + sprite[OVERFLOW_BALL_SLOT].type, fade_pictures), N(0, 15));
    EXPECT_EQ(sounds, (sound_log{{DAT_GAMEOVER_SOUND, 255, 128, 1000}}));
    EXPECT_EXIT((install_display_hooks(), null_close_button(), run_gameover_loop()),
                testing::ExitedWithCode(0), "^$"); // the close button ends the game in the scene
}
