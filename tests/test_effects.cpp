// test_effects -- particles, explosions, floating scores, pad flashes, the logo's pixels and the
// game-over burst and closing scene
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "explosions.h"
#include "fade.h"
#include "fixture.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "moving_points.h"
#include "particles.h"
#include "rebound_effect.h"

using Effects = Headless;

// ---- random numbers and particles ----

// The game's rand() and srand() stand in for the runtime's: the same numbers from every seed.
TEST_F(Effects, RandomNumbersAreTheRuntimesFromEverySeed)
{
    for (unsigned seed : {1u, 0u, 2u, 20070701u, 2147483647u, 4294967295u, 1u}) {
        srand(seed);
        srandom(seed);
        int differ = 0;
        for (int n = 0; n < 5000; n++)
            differ += rand() != random();
        EXPECT_EQ(differ, 0) << seed;
    }
}

// Every direction is one of 630 hundredths of a radian, drawn from rand(), with its own sine
// for x and cosine for y; every particle starts with a shake of 2.
TEST_F(Effects, ParticlesFlyAtTheirSpeedInADrawnDirection)
{
    srand(9);
    std::vector<int> hundredths;
    for (int n = 0; n < 5000; n++)
        hundredths.push_back(rand() % 630);
    srand(9);
    for (int n = 0; n < 5000; n++)
        create_particle(n % 800, 7, 2.5, PARTICLE_STREAK, 10, 20, 30, 5);
    int differ = 0;
    for (int n = 0; n < 5000; n++) {
        const particle_record &p = particles[n];
        double d = hundredths[n] / 100.0;
        differ += p.dx != sin(d) * 2.5 || p.dy != cos(d) * 2.5 || p.x != n % 800 || p.y != 7 ||
                  p.rx != 2 || p.ry != 2 || p.type != PARTICLE_STREAK ||
                  p.col != makecol(10, 20, 30) || p.life != 5;
    }
    EXPECT_EQ(differ, 0);
}

// Each step moves a particle by its speed, then shakes it by rand() % 2 - rand() % 2, for x and
// then for y, and remembers where it was; it lives its life less one visible steps.
TEST_F(Effects, ParticlesMoveShakeAndAge)
{
    for (int n = 0; n < 50; n++)
        create_particle(300, 200, 0, PARTICLE_DOT, 1, 1, 1, 3);
    particles[7].dx = 1.5, particles[7].dy = -2;
    srand(21);
    std::vector<double> want_x, want_y;
    for (int n = 0; n < 50; n++) {
        int ux = rand() % 2, dx = rand() % 2, uy = rand() % 2, dy = rand() % 2;
        want_x.push_back(300 + (n == 7) * 1.5 + ux - dx);
        want_y.push_back(200 - (n == 7) * 2 + uy - dy);
    }
    srand(21);
    update_particle();
    for (int n = 0; n < 50; n++) {
        ASSERT_EQ(particles[n].x, want_x[n]) << n;
        ASSERT_EQ(particles[n].y, want_y[n]) << n;
        ASSERT_EQ(particles[n].tx, 300);
        ASSERT_EQ(particles[n].ty, 200);
        ASSERT_EQ(particles[n].life, 2);
    }
    update_particle();
    EXPECT_EQ(live_particles(), 50);
    update_particle();
    EXPECT_EQ(live_particles(), 0);
}

// Drawn frames of a particle of each life, counting from its first update.
TEST_F(Effects, ParticleIsSeenForItsLifeLessOneFrames)
{
    for (int life : {1, 10}) {
        SetUp();
        create_particle(300, 300, 0.2, PARTICLE_DOT, 0, 255, 0, life);
        int seen = 0;
        for (int step = 0; step < 12; step++) {
            update_particle();
            clear_bitmap(buffer);
            display_particles();
            seen += pixels(buffer, 0, 0, 799, 599, makecol(0, 255, 0)) > 0;
        }
        EXPECT_EQ(seen, life - 1);
    }
}

// The plain rule: a new particle takes the first record of 0..MAX_PARTICLES-1 whose life is 0
// or less. Random creations (some born dead), updates and resets must all follow it.
static void check_allocation_order(int table_length, unsigned seed)
{
    memset(particles, 0, sizeof particles);
    MAX_PARTICLES = table_length;
    initialise_particles();
    std::mt19937 pick(seed);
    int marker = 0, full_seen = 0;
    for (int round = 0; round < 3000; round++) {
        unsigned op = pick() % 20;
        if (op == 19) {
            initialise_particles();
        } else if (op >= 13) {
            update_particle();
        } else {
            for (int k = pick() % 60; k > 0; k--) {
                int life = int(pick() % 40) - 5, expected = 0;
                while (expected < table_length && particles[expected].life > 0)
                    expected++;
                if (expected == table_length) expected = -1;
                create_particle(++marker, 0, 1.0, PARTICLE_DOT, 9, 9, 9, life);
                if (expected < 0) {
                    full_seen++;
                    for (const particle_record &p : particles)
                        ASSERT_NE(p.x, marker) << "a dropped particle was written";
                } else {
                    ASSERT_EQ(particles[expected].x, marker) << "creation " << marker;
                    ASSERT_EQ(particles[expected].life, life);
                }
            }
        }
    }
    if (table_length < 1000) {
        EXPECT_GT(full_seen, 0) << "the short table never filled";
    }
}

TEST_F(Effects, NewParticleTakesTheLowestFreeRecord)
{
    check_allocation_order(PARTICLE_SLOTS, 11);
    check_allocation_order(300, 12);
    MAX_PARTICLES = PARTICLE_SLOTS;
    // A full table drops a new particle; one that dies frees its record.
    initialise_particles();
    for (int n = 0; n < PARTICLE_SLOTS; n++)
        create_particle(n % 800, 10, 0, PARTICLE_DOT, 1, 1, 1, n == 12345 ? 1 : 3);
    create_particle(555, 555, 1.0, PARTICLE_DOT, 1, 1, 1, 9);
    EXPECT_EQ(std::count_if(std::begin(particles), std::end(particles),
                            [](const particle_record &p) { return p.y == 555; }),
              0);
    update_particle();
    create_particle(555, 555, 1.0, PARTICLE_DOT, 1, 1, 1, 9);
    EXPECT_EQ(particles[12345].x, 555);
    EXPECT_EQ(particles[12345].life, 9);
    MAX_PARTICLES = -1; // a pass never runs outside the table
    create_particle(1, 1, 1, PARTICLE_DOT, 1, 1, 1, 9);
    update_particle();
    EXPECT_EQ(particles[12345].life, 9);
}

// Streaks and dots set exactly the pixels of the library's line and putpixel: every slope and
// length up to 12 pixels, inside, across the bitmap's edges and across a clip rectangle, on
// 16-, 24- and 32-bit bitmaps. Unknown styles are not drawn.
TEST_F(Effects, StreaksAndDotsSetExactlyTheLibrarysPixels)
{
    const int w = 120, h = 90;
    const int starts[][2] = {{30, 40}, {3, 2}, {116, 87}, {60, 16}, {21, 50}, {98, 73}};
    BITMAP *real_buffer = buffer;
    MAX_PARTICLES = 1; // only record 0 is drawn
    create_particle(0, 0, 0, PARTICLE_STREAK, 255, 200, 200, 5);
    particle_record &p = particles[0];
    for (int depth : {16, 32, 24}) {
        BITMAP *drawn = create_bitmap_ex(depth, w, h), *expected = create_bitmap_ex(depth, w, h);
        int col = p.col = makecol_depth(depth, 255, 200, 200), wrong = 0;
        buffer = drawn;
        for (bool clipped : {false, true}) {
            for (BITMAP *b : {drawn, expected}) {
                set_clip_state(b, true);
                set_clip_rect(b, clipped ? 20 : 0, clipped ? 15 : 0, clipped ? 99 : w - 1,
                              clipped ? 74 : h - 1);
            }
            for (const auto &start : starts)
                for (int dy = -12; dy <= 12; dy++)
                    for (int dx = -12; dx <= 12; dx++)
                        for (int type : {PARTICLE_STREAK, PARTICLE_DOT, -PARTICLE_STREAK, 7}) {
                            // the far end is the head, or for -PARTICLE_STREAK the tail
                            double fx = start[0] + dx + 0.8, fy = start[1] + dy + 0.5;
                            double nx = start[0] + 0.6, ny = start[1] + 0.3;
                            bool far_head = type != -PARTICLE_STREAK;
                            p.type = abs(type);
                            p.x = far_head ? fx : nx, p.y = far_head ? fy : ny;
                            p.tx = far_head ? nx : fx, p.ty = far_head ? ny : fy;
                            clear_to_color(drawn, 40);
                            clear_to_color(expected, 40);
                            display_particles();
                            int x1 = int(p.x), y1 = int(p.y), x2 = int(p.tx), y2 = int(p.ty);
                            if (p.type == PARTICLE_STREAK) line(expected, x1, y1, x2, y2, col);
                            if (p.type == PARTICLE_DOT) putpixel(expected, x1, y1, col);
                            for (int y = 0; y < h; y++)
                                wrong += memcmp(drawn->line[y], expected->line[y],
                                                w * ((depth + 7) / 8)) != 0;
                        }
        }
        EXPECT_EQ(wrong, 0) << depth << "-bit";
        destroy_bitmap(drawn);
        destroy_bitmap(expected);
    }
    buffer = real_buffer;
}

TEST_F(Effects, BlobIsAFilledCircleWhoseRadiusFlickersFromOneToThree)
{
    create_particle(400, 300, 0, PARTICLE_BLOB, 0, 0, 255, 5);
    int x = int(particles[0].x), y = int(particles[0].y), blue = makecol(0, 0, 255);
    bool sizes[4] = {};
    for (int frame = 0; frame < 30; frame++) {
        clear_bitmap(buffer);
        display_particles();
        int radius = 0; // how far the filled run reaches right of the centre
        while (radius < 4 && getpixel(buffer, x + radius + 1, y) == blue)
            radius++;
        ASSERT_EQ(getpixel(buffer, x, y), blue);
        ASSERT_GE(radius, 1);
        ASSERT_LE(radius, 3);
        ASSERT_EQ(getpixel(buffer, x, y - radius - 1), 0);
        sizes[radius] = true;
    }
    EXPECT_TRUE(sizes[1] && sizes[2] && sizes[3]);
}

// ---- explosions ----

TEST_F(Effects, ExplosionSpraysFortyOnePaleParticlesAStepWithItsLifeLeft)
{
    create_explosion(300, 200, 3, 2, PARTICLE_STREAK);
    create_explosion(123, 45, 0, 7, PARTICLE_BLOB); // born dead: written, never sprays
    EXPECT_EQ(explosion[1].x + explosion[1].y + explosion[1].speed, 123 + 45 + 7);
    EXPECT_EQ(explosion[1].type, PARTICLE_BLOB);
    create_explosion(9, 9, -2, 1, PARTICLE_DOT); // the same free record again
    EXPECT_EQ(explosion[1].x, 9);
    for (int life = 3, made = 0; life >= 1; life--, made += 41) {
        do_explosions();
        for (int n = made; n < made + 41; n++) {
            const particle_record &p = particles[n];
            ASSERT_EQ(p.life, life) << n;
            ASSERT_EQ(p.x, 300);
            ASSERT_EQ(p.y, 200);
            ASSERT_NEAR(hypot(p.dx, p.dy), 2.0, 1e-12);
            ASSERT_EQ(p.type, PARTICLE_STREAK);
            ASSERT_EQ(p.col, makecol(255, 200, 200));
        }
        EXPECT_EQ(live_particles(), made + 41);
        EXPECT_EQ(explosion[0].life, life - 1);
    }
    do_explosions();
    EXPECT_EQ(live_particles(), 3 * 41);
}

TEST_F(Effects, FullExplosionTableReplacesItsLastRecord)
{
    for (int n = 0; n < 1000; n++)
        create_explosion(n, 0, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[999].x, 999);
    EXPECT_EQ(explosion[REPLACED_SLOT].life, 0);
    create_explosion(1000, 1, 5, 1, PARTICLE_DOT);
    create_explosion(2000, 2, 7, 1, PARTICLE_DOT); // record 1000 is live and replaced anyway
    EXPECT_EQ(explosion[REPLACED_SLOT].x, 2000);
    EXPECT_EQ(explosion[REPLACED_SLOT].life, 7);
    explosion[500].life = 0;
    create_explosion(3000, 3, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[500].x, 3000);
    initialise_explosions();
    do_explosions();
    EXPECT_EQ(live_particles(), 0);
}

// ---- floating scores ----

// Taking y / life off y climbs in a straight line: from 398, two pixels a step, the top on
// step 199, the last visible one; the slot's kind goes the step after its life.
TEST_F(Effects, ScoreNumbersClimbToTheTopDriftingToTheScorersSide)
{
    create_new_moving_points(500, 398, 50, 1);
    create_new_moving_points(500, 100, 250, 2);
    sprite_record &a = sprite[FIRST_POINTS_SLOT], &b = sprite[FIRST_POINTS_SLOT + 1];
    EXPECT_EQ(a.points + b.points, 300);
    EXPECT_EQ(a.type, KIND_MOVING_POINT);
    for (int k = 1; k <= 199; k++) {
        update_moving_points();
        ASSERT_NEAR(a.y, 398.0 * (199 - k) / 199, 1e-9) << k;
        ASSERT_EQ(a.x, 500 - k);
        ASSERT_EQ(b.x, 500 + k);
    }
    EXPECT_EQ(a.y + b.y, 0);
    EXPECT_EQ(a.life, 1);
    create_new_moving_points(1, 1, 1, 1); // the lowest free slot
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT + 2].points, 1);
    update_moving_points();
    EXPECT_EQ(a.life, 0);
    EXPECT_EQ(a.type, KIND_MOVING_POINT);
    update_moving_points();
    EXPECT_EQ(a.type, KIND_FREE);
    create_new_moving_points(300, 300, 25, 2); // an expired slot is taken again
    EXPECT_EQ(a.points, 25);
    EXPECT_EQ(a.life, MOVING_POINT_LIFE);
    EXPECT_EQ(a.x, 300);
    EXPECT_EQ(a.direction, 2);
}

TEST_F(Effects, NumberFindingAllNinetySlotsBusyIsDropped)
{
    for (int n = 0; n < 90; n++)
        create_new_moving_points(n, 300, n, 1);
    EXPECT_EQ(sprite[LAST_POINTS_SLOT].points, 89);
    sprite_record before[SPRITE_SLOTS];
    memcpy(before, sprite, sizeof sprite);
    create_new_moving_points(999, 999, 999, 2);
    EXPECT_EQ(memcmp(before, sprite, sizeof sprite), 0);
}

TEST_F(Effects, NumberIsDrawnInWhiteAtItsTruncatedPosition)
{
    create_new_moving_points(300.9, 200.7, 0, 1); // a hit too fast to score shows "0 "
    update_moving_points();
    sprite[FIRST_POINTS_SLOT + 1] = sprite[FIRST_POINTS_SLOT];
    sprite[FIRST_POINTS_SLOT + 1].type = KIND_BUMPER; // a live slot of another kind is not drawn
    sprite[FIRST_POINTS_SLOT + 1].y += 100;
    display_moving_points();
    int x = int(sprite[FIRST_POINTS_SLOT].x), y = int(sprite[FIRST_POINTS_SLOT].y);
    int w = text_length(data_font(DAT_FONT_TEXT), "0 "), h = text_height(data_font(DAT_FONT_TEXT));
    EXPECT_TRUE(shows_text(buffer, screen, DAT_FONT_TEXT, x, y, makecol(255, 255, 255), "0 "));
    EXPECT_EQ(pixels(buffer, 0, 0, 799, 599, -1, screen),
              pixels(buffer, x, y, x + w - 1, y + h - 1, -1, screen));
}

// ---- pad flashes ----

static BITMAP **flash_picture(int kind)
{
    BITMAP **pictures[] = {&bottom_left1, &top_left1, &top_right1, &bottom_right1};
    return pictures[kind - KIND_PAD_BOTTOM_LEFT];
}

TEST_F(Effects, OnlyCornerPadsFlashEachInTheLowestFreeEntry)
{
    for (int kind : {KIND_TOP_EDGE, KIND_BOTTOM_EDGE, KIND_BUMPER, 99, 104})
        create_pad_rebound(kind);
    EXPECT_EQ(live_flashes(), 0);
    EXPECT_EQ(pad_flash_position(KIND_TOP_EDGE), nullptr);
    EXPECT_EQ(pad_flash_position(99), nullptr);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    EXPECT_EQ(rebound[1].type, KIND_PAD_TOP_LEFT);
    EXPECT_EQ(rebound[1].life, REBOUND_LIFE);
    rebound[0].life = 0;
    create_pad_rebound(KIND_PAD_BOTTOM_RIGHT);
    EXPECT_EQ(rebound[0].type, KIND_PAD_BOTTOM_RIGHT);
    for (int n = 0; n < REBOUND_SLOTS; n++)
        create_pad_rebound(KIND_PAD_BOTTOM_LEFT);
    rebound_record before[REBOUND_SLOTS];
    memcpy(before, rebound, sizeof rebound);
    create_pad_rebound(KIND_PAD_TOP_RIGHT); // a full table ignores it
    EXPECT_EQ(memcmp(before, rebound, sizeof rebound), 0);
    initialise_rebound();
    EXPECT_EQ(live_flashes(), 0);
    EXPECT_EQ(rebound[19].type, KIND_PAD_BOTTOM_LEFT);
}

TEST_F(Effects, FlashShowsItsPictureAtItsCornerForTenDrawnFrames)
{
    const int corners[][3] = {{KIND_PAD_BOTTOM_LEFT, 28, 451},
                              {KIND_PAD_TOP_LEFT, 31, 17},
                              {KIND_PAD_TOP_RIGHT, 651, 15},
                              {KIND_PAD_BOTTOM_RIGHT, 647, 450}};
    for (const auto &c : corners) {
        initialise_rebound();
        create_pad_rebound(c[0]);
        BITMAP *picture = *flash_picture(c[0]);
        int frames = 0;
        for (int call = 0; call < 12; call++) {
            clear_bitmap(buffer);
            do_pad_rebound();
            int drawn = pixels(buffer, 0, 0, 799, 599, -1, screen);
            if (drawn == 0) continue;
            frames++;
            ASSERT_TRUE(shows_sprite(buffer, picture, c[1], c[2])) << c[0];
            ASSERT_EQ(drawn, pixels(buffer, c[1], c[2], c[1] + picture->w - 1,
                                    c[2] + picture->h - 1, -1, screen));
        }
        EXPECT_EQ(frames, REBOUND_LIFE) << c[0];
    }
}

// A bumper resting on a pad asks for a flash every step while others come and go at the other
// corners. With pictures large enough to cover each other (holes and stripes let them show
// through), every frame must show what drawing each live flash in turn would show.
TEST_F(Effects, PiledUpFlashesShowWhatEachDrawnInTurnWould)
{
    BITMAP *real[4], *big[4];
    for (int n = 0; n < 4; n++) {
        real[n] = *flash_picture(KIND_PAD_BOTTOM_LEFT + n);
        big[n] = create_bitmap(420, 460);
        clear_to_color(big[n], makecol(60 * n + 40, 200 - 40 * n, 90));
        rectfill(big[n], 100, 100, 300, 300, bitmap_mask_color(big[n]));
        for (int x = 0; x < 420; x += 7)
            vline(big[n], x, 0, 459, bitmap_mask_color(big[n]));
        *flash_picture(KIND_PAD_BOTTOM_LEFT + n) = big[n];
    }
    static const int requests[] = {
        KIND_PAD_BOTTOM_LEFT, KIND_PAD_TOP_RIGHT,    KIND_PAD_BOTTOM_LEFT, KIND_PAD_TOP_LEFT,
        KIND_PAD_BOTTOM_LEFT, KIND_PAD_BOTTOM_RIGHT, KIND_PAD_TOP_RIGHT,   KIND_PAD_BOTTOM_LEFT};
    BITMAP *expected = create_bitmap(800, 600);
    int backdrop = makecol(20, 60, 20), wrong = 0, most_live = 0;
    for (int frame = 0; frame < 40; frame++) {
        for (int k = 0; k < 3 && frame < 25; k++)
            create_pad_rebound(requests[(frame * 3 + k) % 8]);
        clear_to_color(expected, backdrop);
        most_live = std::max(most_live, live_flashes());
        for (const rebound_record &r : rebound)
            if (r.life > 0) {
                const pad_flash_place *at = pad_flash_position(r.type);
                draw_sprite(expected, *flash_picture(r.type), at->x, at->y);
            }
        clear_to_color(buffer, backdrop);
        do_pad_rebound();
        wrong += pixels(buffer, 0, 0, 799, 599, -1, expected) != 0;
    }
    destroy_bitmap(expected);
    for (int n = 0; n < 4; n++) {
        *flash_picture(KIND_PAD_BOTTOM_LEFT + n) = real[n];
        destroy_bitmap(big[n]);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(most_live, REBOUND_SLOTS);
    EXPECT_EQ(live_flashes(), 0);
}

// ---- the logo's pixels ----

// The logo is read one column and one row past its 60x60, where the cleared buffer is black:
// column 60 and row 60 come out black and kept. Mask-coloured pixels are skipped, pixels past
// the table's 3700 entries ignored, and entries past the last one are zero.
TEST_F(Effects, LogoPixelsAreKeptColumnByColumnUpToTheTablesEnd)
{
    BITMAP *logo = brumzel1, *test = create_bitmap(LOGO_SIZE, LOGO_SIZE);
    int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    clear_to_color(test, bitmap_mask_color(test));
    putpixel(test, 3, 5, red);
    putpixel(test, 3, 2, blue);
    brumzel1 = test;
    get_brumzel_pixels();
    const int rows[][4] = {
        {0, 0, 60, 0},  {2, 2, 60, 0},   {3, 3, 2, blue},  {4, 3, 5, red},
        {5, 3, 60, 0},  {62, 60, 0, 0},  {122, 60, 60, 0}, // 60 + 2 pixels + 61
        {123, 0, 0, 0}, {3699, 0, 0, 0},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(brumzel_pixels[r[0]].x, r[1]) << r[0];
        EXPECT_EQ(brumzel_pixels[r[0]].y, r[2]) << r[0];
        EXPECT_EQ(brumzel_pixels[r[0]].col, r[3]) << r[0];
    }
    // Fully opaque: 61 x 61 pixels, of which the first 3700 are kept, to row 39 of column 60.
    clear_to_color(test, red);
    get_brumzel_pixels();
    EXPECT_EQ(brumzel_pixels[3659].y * 1000 + brumzel_pixels[3659].col, 60 * 1000);
    EXPECT_EQ(brumzel_pixels[3699].x, 60);
    EXPECT_EQ(brumzel_pixels[3699].y, 39);
    brumzel1 = logo;
    destroy_bitmap(test);
    get_brumzel_pixels();
    int kept = 0;
    for (const brumzel_pixel &p : brumzel_pixels) {
        ASSERT_NE(p.col, bitmap_mask_color(buffer));
        if (p.x == 0 && p.y == 0 && p.col == 0) continue;
        kept++;
        ASSERT_EQ(getpixel(buffer, p.x, p.y), p.col); // the logo is left in buffer
        if (p.x < 60 && p.y < 60) {
            ASSERT_EQ(getpixel(brumzel1, p.x, p.y), p.col);
        }
    }
    EXPECT_GT(kept, 2000);
}

// ---- the burst and the closing scene ----

class Burst : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        initialise_sprites();
        get_brumzel_pixels();
        target_frames = INT_MAX / 2; // a slow machine: one frame a step
    }
};

TEST_F(Burst, EveryBumperBurstsIntoEverySecondLogoPixelAndLeaves)
{
    srand(77);
    int life = rand() % 400 + 200, type = rand() % 3 + 1;
    double speed = (rand() % 50) / 10 + 0.5, direction = (rand() % 630) / 100.0;
    srand(77);
    burst_bumpers();
    EXPECT_EQ(live_particles(), 6 * 1460);
    EXPECT_EQ(particles[0].life, life); // the draws: life, style, speed, then direction
    EXPECT_EQ(particles[0].type, type);
    EXPECT_DOUBLE_EQ(particles[0].dx, sin(direction) * speed);
    EXPECT_DOUBLE_EQ(particles[0].dy, cos(direction) * speed);
    for (int b = 0; b < 6; b++) {
        const sprite_record &bumper = sprite[FIRST_BUMPER_SLOT + b];
        EXPECT_EQ(bumper.type, KIND_FREE);
        for (int j = 0; j < 1460; j++) {
            const particle_record &p = particles[b * 1460 + j];
            const brumzel_pixel &px = brumzel_pixels[2 * j];
            ASSERT_EQ(p.x, int(px.x + bumper.x));
            ASSERT_EQ(p.y, int(px.y + bumper.y));
            ASSERT_EQ(p.col, px.col);
            ASSERT_TRUE(p.life >= 200 && p.life <= 599) << p.life;
            ASSERT_TRUE(p.type >= 1 && p.type <= 3) << p.type;
            double s = hypot(p.dx, p.dy); // 0.5, 1.5, ... 4.5
            ASSERT_NEAR(s - 0.5, std::round(s - 0.5), 1e-9);
            ASSERT_TRUE(s > 0.4 && s < 4.6) << s;
        }
    }
    initialise_sprites(); // into a nearly full table, within it
    initialise_particles();
    for (int n = 0; n < PARTICLE_SLOTS - 100; n++)
        create_particle(0, 0, 0, PARTICLE_DOT, 1, 1, 1, 1000);
    burst_bumpers();
    EXPECT_EQ(live_particles(), PARTICLE_SLOTS);
    EXPECT_EQ(sprite[LAST_BUMPER_SLOT].type, KIND_FREE);
}

// A ball at (3, 1) stops in step 287 (3 x 0.992^k < 0.3 from k = 287) and its last trail dot
// dies 9 steps later: the scene ends in the step that kills the last particle, whichever lives
// longer. No key or button shortens it, and the scores stand.
TEST_F(Burst, ClosingSceneRunsUntilTheLastParticleDies)
{
    place(0, KIND_P1_BALL, 200, 300, 3, 1);
    p1_score = 1230;
    key[KEY_ESC] = 1;
    mouse_b = 1;
    burst_bumpers();
    int longest = 0;
    for (const particle_record &p : particles)
        longest = std::max(longest, p.life);
    EXPECT_TRUE(any_particle_alive());
    run_gameover_loop();
    EXPECT_FALSE(any_particle_alive());
    EXPECT_EQ(actual_frames, std::max(longest, 287 + 9));
    EXPECT_EQ(p1_score, 1230);
    EXPECT_EQ(p1_balls, BALLS_PER_GAME);
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    // The last frame: "GAME OVER" in white over the field, on the screen too.
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_LARGE, GAMEOVER_X, GAMEOVER_Y,
                           makecol(255, 255, 255), "GAME OVER", 0));
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, -1, buffer), 0);
}

TEST_F(Burst, WholeSceneEndsFadedEvenWithABallRestingInTheOverflowSlot)
{
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    gameover();
    EXPECT_EQ(live_particles(), 0);
    EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].type, KIND_FREE);
    EXPECT_LE(actual_frames, 600);
    EXPECT_EQ(fade_pictures, 15); // faded at 16 a step: 239, 223, ... 15
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, 0), 800 * 600);
}
