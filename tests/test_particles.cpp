// Tests of the particle table: life and visibility, lowest-free allocation, shake and drawing.
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"
#include "particles.h"
#include "sim_helpers.h"

class Particles : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        MAX_PARTICLES = PARTICLE_SLOTS;
        initialise_particles();
        clear_bitmap(buffer);
        srand(1);
    }
    void TearDown() override
    {
        MAX_PARTICLES = PARTICLE_SLOTS;
    }
};

// ---- random numbers ----

// The game's rand() and srand() stand in for the runtime's, whose rand() is its random(): from
// the same seed, reseeded midway or not, the two give the same numbers.
TEST(RandomNumbers, SameNumbersAsTheRuntimesGeneratorFromEverySeed)
{
    const unsigned seeds[] = {1, 0, 2, 77, 20070701, 2147483647u, 4294967295u, 1};
    for (unsigned seed : seeds) {
        srand(seed);
        srandom(seed);
        int differ = 0;
        for (int n = 0; n < 5000; n++)
            differ += rand() != random();
        EXPECT_EQ(differ, 0) << "seed " << seed;
    }
}

// ---- life and visibility ----

TEST_F(Particles, ParticleOfLifeOneIsMovedOnceAndNeverDrawn)
{
    create_particle(100, 100, 1.0, PARTICLE_DOT, 255, 255, 255, 1);
    update_particle();
    EXPECT_EQ(particles[0].life, 0);
    display_particles();
    EXPECT_EQ(drawn_pixels(), 0);
}

TEST_F(Particles, TrailDotOfLifeTenIsVisibleInNineFrames)
{
    create_particle(300, 300, 0.2, PARTICLE_DOT, 0, 255, 0, 10);
    int visible = 0;
    for (int step = 0; step < 12; step++) {
        update_particle();
        clear_bitmap(buffer);
        display_particles();
        if (drawn_pixels() > 0) visible++;
    }
    EXPECT_EQ(visible, 9);
}

TEST_F(Particles, ParticleBornDeadWritesItsRecordButLeavesItFree)
{
    create_particle(7, 9, 1.0, PARTICLE_DOT, 1, 2, 3, 0);
    EXPECT_EQ(particles[0].x, 7);
    EXPECT_EQ(particles[0].y, 9);
    EXPECT_EQ(particles[0].life, 0);
    create_particle(8, 9, 1.0, PARTICLE_DOT, 1, 2, 3, -3);
    EXPECT_EQ(particles[0].x, 8);
    EXPECT_EQ(particles[0].life, -3);
    create_particle(11, 9, 1.0, PARTICLE_DOT, 1, 2, 3, 5);
    EXPECT_EQ(particles[0].x, 11);
    EXPECT_EQ(particles[1].life, 0);
}

TEST_F(Particles, InitialiseThenDisplayDrawsNothing)
{
    for (int n = 0; n < 500; n++)
        create_particle(n, 200, 1.0, PARTICLE_BLOB, 255, 0, 0, 50);
    initialise_particles();
    display_particles();
    EXPECT_EQ(drawn_pixels(), 0);
    create_particle(42, 42, 0, PARTICLE_DOT, 255, 0, 0, 5);
    EXPECT_EQ(particles[0].x, 42); // the table starts over at index 0
}

// ---- lowest free index ----

TEST_F(Particles, TwoParticlesTakeZeroAndOneAndAFreedIndexIsTakenAgain)
{
    create_particle(1, 1, 0, PARTICLE_DOT, 1, 1, 1, 1);
    create_particle(2, 2, 0, PARTICLE_DOT, 1, 1, 1, 5);
    EXPECT_EQ(particles[0].x, 1);
    EXPECT_EQ(particles[1].x, 2);
    update_particle(); // the first dies
    create_particle(3, 3, 0, PARTICLE_DOT, 1, 1, 1, 5);
    EXPECT_EQ(particles[0].x, 3);
    EXPECT_EQ(particles[0].life, 5);
    create_particle(4, 4, 0, PARTICLE_DOT, 1, 1, 1, 5);
    EXPECT_EQ(particles[2].x, 4);
}

// The plain rule: the first record of 0..MAX_PARTICLES-1 whose life is 0 or less, -1 if none.
static int plain_scan()
{
    for (int n = 0; n < MAX_PARTICLES; n++)
        if (particles[n].life <= 0) return n;
    return -1;
}

// Random creations (some born dead), updates and resets; every creation must land where the
// plain scan from index 0 says, and a creation into a full table must write nothing.
static void check_allocation_order(int table_length, int rounds, unsigned seed)
{
    // Records beyond a short table keep what earlier tests left there: start from a clean table
    // so the markers looked for below can only come from this run.
    memset(particles, 0, sizeof particles);
    MAX_PARTICLES = table_length;
    initialise_particles();
    std::mt19937 pick(seed);
    int marker = 0, full_seen = 0;
    for (int round = 0; round < rounds; round++) {
        unsigned op = pick() % 20;
        if (op < 13) {
            int burst = pick() % 60;
            for (int k = 0; k < burst; k++) {
                int life = static_cast<int>(pick() % 40) - 5;
                int expected = plain_scan();
                marker++;
                create_particle(marker, 0, 1.0, PARTICLE_DOT, 9, 9, 9, life);
                if (expected < 0) {
                    full_seen++;
                    for (int n = 0; n < PARTICLE_SLOTS; n++)
                        ASSERT_NE(particles[n].x, marker) << "dropped particle written at " << n;
                } else {
                    ASSERT_EQ(particles[expected].x, marker) << "creation " << marker;
                    ASSERT_EQ(particles[expected].life, life);
                }
            }
        } else if (op < 19) {
            update_particle();
        } else {
            initialise_particles();
        }
    }
    if (table_length < 1000) {
        EXPECT_GT(full_seen, 0) << "the small table never filled";
    }
}

TEST_F(Particles, AllocationOrderMatchesPlainScanOverWholeTable)
{
    check_allocation_order(PARTICLE_SLOTS, 3000, 11);
}

TEST_F(Particles, AllocationOrderMatchesPlainScanInAShortTableThatFills)
{
    check_allocation_order(300, 3000, 12);
}

static particle_record snapshot[PARTICLE_SLOTS];

TEST_F(Particles, FullTableDropsTheNewParticleAndFreesOnDeath)
{
    for (int n = 0; n < PARTICLE_SLOTS; n++)
        create_particle(n % 800, 10, 0, PARTICLE_DOT, 1, 1, 1, n == 12345 ? 1 : 3);
    memcpy(snapshot, particles, sizeof particles);
    create_particle(555, 555, 1.0, PARTICLE_DOT, 1, 1, 1, 9);
    EXPECT_EQ(memcmp(snapshot, particles, sizeof particles), 0);
    update_particle(); // 12345 dies
    create_particle(555, 555, 1.0, PARTICLE_DOT, 1, 1, 1, 9);
    EXPECT_EQ(particles[12345].x, 555);
    EXPECT_EQ(particles[12345].life, 9);
}

// ---- motion ----

TEST_F(Particles, SpeedSplitsIntoSineHorizontalAndCosineVertical)
{
    srand(5);
    double direction = (rand() % 630) / 100.0;
    srand(5);
    create_particle(0, 0, 3.0, PARTICLE_DOT, 1, 1, 1, 5);
    EXPECT_DOUBLE_EQ(particles[0].dx, sin(direction) * 3.0);
    EXPECT_DOUBLE_EQ(particles[0].dy, cos(direction) * 3.0);
    EXPECT_EQ(particles[0].rx, 2.0);
    EXPECT_EQ(particles[0].ry, 2.0);
}

TEST_F(Particles, EveryDirectionIsAHundredthOfARadianWithItsOwnSineAndCosine)
{
    const int count = 5000;
    srand(9);
    std::vector<int> hundredths;
    for (int n = 0; n < count; n++)
        hundredths.push_back(rand() % 630);
    srand(9);
    for (int n = 0; n < count; n++)
        create_particle(0, 0, 2.5, PARTICLE_DOT, 1, 1, 1, 5);
    int differ = 0;
    for (int n = 0; n < count; n++) {
        double direction = hundredths[n] / 100.0;
        differ +=
            particles[n].dx != sin(direction) * 2.5 || particles[n].dy != cos(direction) * 2.5;
    }
    EXPECT_EQ(differ, 0);
}

// Each update draws four numbers per particle: up then down for x, then up then down for y.
TEST_F(Particles, ShakeDrawsUpAndDownForXThenForY)
{
    for (int n = 0; n < 50; n++)
        create_particle(300, 200, 0, PARTICLE_DOT, 1, 1, 1, 5);
    srand(21);
    std::vector<int> expected_x, expected_y;
    for (int n = 0; n < 50; n++) {
        int up_x = rand() % 2, down_x = rand() % 2, up_y = rand() % 2, down_y = rand() % 2;
        expected_x.push_back(300 + up_x - down_x);
        expected_y.push_back(200 + up_y - down_y);
    }
    srand(21);
    update_particle();
    for (int n = 0; n < 50; n++) {
        ASSERT_EQ(particles[n].x, expected_x[n]) << n;
        ASSERT_EQ(particles[n].y, expected_y[n]) << n;
    }
}

TEST_F(Particles, ParticleAtRestShakesByAtMostOnePixel)
{
    const int count = 4000;
    for (int n = 0; n < count; n++)
        create_particle(400, 300, 0, PARTICLE_DOT, 1, 1, 1, 5);
    update_particle();
    int seen_x[3] = {0, 0, 0}, seen_y[3] = {0, 0, 0};
    for (int n = 0; n < count; n++) {
        double sx = particles[n].x - 400, sy = particles[n].y - 300;
        ASSERT_TRUE(sx == -1 || sx == 0 || sx == 1) << sx;
        ASSERT_TRUE(sy == -1 || sy == 0 || sy == 1) << sy;
        seen_x[static_cast<int>(sx) + 1]++;
        seen_y[static_cast<int>(sy) + 1]++;
        EXPECT_EQ(particles[n].tx, 400);
        EXPECT_EQ(particles[n].ty, 300);
    }
    // Two draws of 0 or 1 each: no shake half the time, each direction a quarter.
    for (int *seen : {seen_x, seen_y}) {
        EXPECT_NEAR(seen[0], count / 4, count / 20);
        EXPECT_NEAR(seen[1], count / 2, count / 20);
        EXPECT_NEAR(seen[2], count / 4, count / 20);
    }
}

TEST_F(Particles, UnknownStyleIsMovedAndAgedButNotDrawn)
{
    create_particle(200, 200, 2.0, 7, 255, 255, 255, 5);
    update_particle();
    EXPECT_EQ(particles[0].life, 4);
    EXPECT_NEAR(hypot(particles[0].x - 200, particles[0].y - 200), 2.0, 1.5);
    display_particles();
    EXPECT_EQ(drawn_pixels(), 0);
}

// ---- drawing ----

TEST_F(Particles, DotIsDrawnInItsColourAtItsPosition)
{
    create_particle(200, 150, 0, PARTICLE_DOT, 10, 200, 30, 5);
    update_particle();
    display_particles();
    int x = static_cast<int>(particles[0].x), y = static_cast<int>(particles[0].y);
    EXPECT_EQ(getpixel(buffer, x, y), makecol(10, 200, 30));
    EXPECT_EQ(drawn_pixels(), 1);
}

TEST_F(Particles, StreakRunsFromItsLastPositionToItsCurrentOne)
{
    create_particle(300, 300, 6.0, PARTICLE_STREAK, 255, 200, 200, 5);
    update_particle();
    display_particles();
    const particle_record &p = particles[0];
    int col = makecol(255, 200, 200);
    EXPECT_EQ(getpixel(buffer, static_cast<int>(p.x), static_cast<int>(p.y)), col);
    EXPECT_EQ(getpixel(buffer, static_cast<int>(p.tx), static_cast<int>(p.ty)), col);
    int span = std::max(abs(static_cast<int>(p.x) - 300), abs(static_cast<int>(p.y) - 300));
    EXPECT_EQ(drawn_pixels(), span + 1); // a one-pixel line as long as the step
}

// Streaks and dots set exactly the pixels of the library's line and putpixel: every slope and
// length up to 12 pixels, inside, across the bitmap's edges and across a clip rectangle, on
// 16-, 24- and 32-bit bitmaps.
TEST_F(Particles, StreaksAndDotsSetExactlyTheLibrarysPixels)
{
    const int w = 120, h = 90;
    const int starts[][2] = {{30, 40}, {3, 2}, {116, 87}, {60, 16}, {21, 50}, {98, 73}};
    BITMAP *real_buffer = buffer;
    MAX_PARTICLES = 1; // only record 0 is drawn
    create_particle(0, 0, 0, PARTICLE_STREAK, 255, 200, 200, 5);
    for (int depth : {16, 32, 24}) {
        SCOPED_TRACE(depth);
        BITMAP *drawn = create_bitmap_ex(depth, w, h), *expected = create_bitmap_ex(depth, w, h);
        int col = makecol_depth(depth, 255, 200, 200);
        particles[0].col = col;
        buffer = drawn;
        int wrong = 0;
        for (bool clipped : {false, true}) {
            for (BITMAP *b : {drawn, expected}) {
                set_clip_state(b, true);
                if (clipped)
                    set_clip_rect(b, 20, 15, 99, 74);
                else
                    set_clip_rect(b, 0, 0, w - 1, h - 1);
            }
            for (const auto &start : starts)
                for (int dy = -12; dy <= 12; dy++)
                    for (int dx = -12; dx <= 12; dx++)
                        for (int type : {PARTICLE_STREAK, PARTICLE_DOT, -PARTICLE_STREAK}) {
                            // the far end is the head, or for -PARTICLE_STREAK the tail
                            particle_record &p = particles[0];
                            double far_x = start[0] + dx + 0.8, far_y = start[1] + dy + 0.5;
                            double near_x = start[0] + 0.6, near_y = start[1] + 0.3;
                            bool far_head = type != -PARTICLE_STREAK;
                            p.type = abs(type);
                            p.x = far_head ? far_x : near_x;
                            p.y = far_head ? far_y : near_y;
                            p.tx = far_head ? near_x : far_x;
                            p.ty = far_head ? near_y : far_y;
                            clear_to_color(drawn, makecol_depth(depth, 0, 0, 40));
                            clear_to_color(expected, makecol_depth(depth, 0, 0, 40));
                            display_particles();
                            int x1 = static_cast<int>(p.x), y1 = static_cast<int>(p.y);
                            int x2 = static_cast<int>(p.tx), y2 = static_cast<int>(p.ty);
                            if (p.type == PARTICLE_STREAK)
                                line(expected, x1, y1, x2, y2, col);
                            else
                                putpixel(expected, x1, y1, col);
                            for (int y = 0; y < h; y++)
                                wrong += memcmp(drawn->line[y], expected->line[y],
                                                w * ((depth + 7) / 8)) != 0;
                        }
        }
        EXPECT_EQ(wrong, 0);
        destroy_bitmap(drawn);
        destroy_bitmap(expected);
    }
    buffer = real_buffer;
}

TEST_F(Particles, BlobIsAFilledCircleWhoseRadiusFlickersFromOneToThree)
{
    create_particle(400, 300, 0, PARTICLE_BLOB, 0, 0, 255, 5);
    update_particle();
    int x = static_cast<int>(particles[0].x), y = static_cast<int>(particles[0].y);
    bool sizes[4] = {false, false, false, false};
    for (int frame = 0; frame < 30; frame++) {
        clear_bitmap(buffer);
        display_particles();
        ASSERT_EQ(getpixel(buffer, x, y), makecol(0, 0, 255));
        ASSERT_EQ(getpixel(buffer, x + 4, y), 0);
        ASSERT_EQ(getpixel(buffer, x, y - 4), 0);
        int radius = 0; // how far the filled run reaches to the right of the centre
        while (radius < 3 && getpixel(buffer, x + radius + 1, y) != 0)
            radius++;
        ASSERT_GE(radius, 1);
        sizes[radius] = true;
    }
    EXPECT_TRUE(sizes[1] && sizes[2] && sizes[3]);
}
