// test_effects -- particles, explosions, floating scores, pad flashes, the logo's pixels, the
// game-over burst and the closing scene
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>

#include "explosions.h"
#include "fade.h"
#include "fixture.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "moving_points.h"
#include "particles.h"
#include "rebound_effect.h"

using Effects = Headless;

// ---- particles ----

// The game's rand() and srand() give the runtime's numbers from every seed. A new particle
// flies at its speed in one of 630 hundredths of a radian drawn from them, sine for x and
// cosine for y, with a shake of 2.
TEST_F(Effects, ParticlesFlyInADirectionDrawnFromTheRuntimesNumbers)
{
    for (unsigned seed : {1u, 0u, 2u, 20070701u, 2147483647u, 4294967295u, 1u}) {
        srand(seed), srandom(seed);
        int differ = 0;
        for (int n = 0; n < 5000; n++)
            differ += rand() != random();
        EXPECT_EQ(differ, 0) << seed;
    }
    srand(9);
    for (int n = 0; n < 5000; n++)
        create_particle(n % 800, 7, 2.5, PARTICLE_STREAK, 10, 20, 30, 5);
    srand(9);
    int differ = 0;
    for (const particle_record &p : particles) {
        if (p.life == 0) break;
        double d = (rand() % 630) / 100.0;
        differ += (nums{p.x, p.y, p.dx, p.dy, p.rx, p.ry, double(p.type), double(p.col)}) !=
                  (nums{double((&p - particles) % 800), 7, sin(d) * 2.5, cos(d) * 2.5, 2, 2,
                        PARTICLE_STREAK, double(makecol(10, 20, 30))});
    }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(live_particles(), 5000);
}

// Each step moves a particle by its speed, then shakes it by rand() % 2 - rand() % 2 for x and
// then for y, and remembers where it was. It is seen in life - 1 frames, and born dead it only
// writes its record.
TEST_F(Effects, ParticlesMoveShakeAgeAndShowForTheirLifeLessOne)
{
    for (int n = 0; n < 50; n++)
        create_particle(300, 200, 0, PARTICLE_DOT, 0, 255, 0, 3);
    particles[7].dx = 1.5, particles[7].dy = -2;
    srand(21);
    nums want;
    for (int n = 0; n < 50; n++) {
        int ux = rand() % 2, dx = rand() % 2, uy = rand() % 2, dy = rand() % 2;
        want.insert(want.end(),
                    {300 + (n == 7) * 1.5 + ux - dx, 200 - (n == 7) * 2.0 + uy - dy, 300, 200, 2});
    }
    srand(21);
    update_particle();
    nums got;
    for (int n = 0; n < 50; n++)
        got.insert(got.end(), {particles[n].x, particles[n].y, particles[n].tx, particles[n].ty,
                               double(particles[n].life)});
    EXPECT_EQ(got, want);
    int green = makecol(0, 255, 0), seen = 0;
    for (int frame = 0; frame < 4; frame++) {
        clear_bitmap(buffer);
        display_particles();
        seen += pixels(buffer, 0, 0, 799, 599, green) > 0;
        update_particle();
    }
    EXPECT_EQ(seen, 2); // life 3: seen after its first and second step
    create_particle(7, 9, 1.0, PARTICLE_DOT, 1, 2, 3, 0);
    create_particle(8, 9, 1.0, PARTICLE_DOT, 1, 2, 3, -3);
    EXPECT_EQ((nums{particles[0].x, double(particles[0].life), double(live_particles())}),
              (nums{8, -3, 0}));
}

// The plain rule: a new particle takes the first record of 0..MAX_PARTICLES-1 whose life is 0
// or less. Random creations (some born dead), updates and resets must all follow it, and a
// full table drops the particle.
static void check_allocation_order(int table_length, unsigned seed)
{
    memset(particles, 0, sizeof particles);
    MAX_PARTICLES = table_length;
    initialise_particles();
    std::mt19937 pick(seed);
    int marker = 0, full_seen = 0;
    for (int round = 0; round < 3000; round++) {
        unsigned op = pick() % 20;
        if (op == 19) initialise_particles();
        if (op >= 13) {
            update_particle();
            continue;
        }
        for (int k = pick() % 60; k > 0; k--) {
            int life = int(pick() % 40) - 5, expected = 0;
            while (expected < table_length && particles[expected].life > 0)
                expected++;
            create_particle(++marker, 0, 1.0, PARTICLE_DOT, 9, 9, 9, life);
            if (expected == table_length) {
                full_seen++;
                ASSERT_EQ(std::count_if(particles, particles + PARTICLE_SLOTS,
                                        [&](const particle_record &p) { return p.x == marker; }),
                          0);
            } else {
                ASSERT_EQ((nums{particles[expected].x, double(particles[expected].life)}),
                          (nums{double(marker), double(life)}));
            }
        }
    }
    EXPECT_EQ(full_seen > 0, table_length < 1000);
}

TEST_F(Effects, NewParticleTakesTheLowestFreeRecord)
{
    check_allocation_order(PARTICLE_SLOTS, 11);
    check_allocation_order(300, 12);
    MAX_PARTICLES = PARTICLE_SLOTS;
    initialise_particles();
    for (int n = 0; n < PARTICLE_SLOTS; n++)
        create_particle(n % 800, 10, 0, PARTICLE_DOT, 1, 1, 1, n == 12345 ? 1 : 3);
    update_particle(); // 12345 dies: its record is taken next
    create_particle(555, 555, 1.0, PARTICLE_DOT, 1, 1, 1, 9);
    EXPECT_EQ((nums{particles[12345].y, double(particles[12345].life)}), (nums{555, 9}));
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
    const int w = 120, h = 90,
              starts[][2] = {{30, 40}, {3, 2}, {116, 87}, {60, 16}, {21, 50}, {98, 73}};
    BITMAP *real_buffer = buffer;
    MAX_PARTICLES = 1; // only record 0 is drawn
    create_particle(0, 0, 0, PARTICLE_STREAK, 255, 200, 200, 5);
    particle_record &p = particles[0];
    for (int depth : {16, 32, 24}) {
        BITMAP *drawn = create_bitmap_ex(depth, w, h), *expected = create_bitmap_ex(depth, w, h);
        int col = p.col = makecol_depth(depth, 255, 200, 200), wrong = 0;
        buffer = drawn;
        for (bool clipped : {false, true})
            for (const auto &start : starts)
                for (int dy = -12; dy <= 12; dy++)
                    for (int dx = -12; dx <= 12; dx++)
                        for (int type : {PARTICLE_STREAK, PARTICLE_DOT, -PARTICLE_STREAK, 7}) {
                            for (BITMAP *b : {drawn, expected}) {
                                set_clip_state(b, true);
                                set_clip_rect(b, 20 * clipped, 15 * clipped, w - 1 - 20 * clipped,
                                              h - 1 - 15 * clipped);
                                clear_to_color(b, 40);
                            }
                            // the far end is the head, or for -PARTICLE_STREAK the tail
                            double fx = start[0] + dx + 0.8, fy = start[1] + dy + 0.5;
                            double nx = start[0] + 0.6, ny = start[1] + 0.3;
                            bool far_head = type != -PARTICLE_STREAK;
                            p.type = abs(type);
                            p.x = far_head ? fx : nx, p.y = far_head ? fy : ny;
                            p.tx = far_head ? nx : fx, p.ty = far_head ? ny : fy;
                            display_particles();
                            int x1 = int(p.x), y1 = int(p.y), x2 = int(p.tx), y2 = int(p.ty);
                            if (p.type == PARTICLE_STREAK) line(expected, x1, y1, x2, y2, col);
                            if (p.type == PARTICLE_DOT) putpixel(expected, x1, y1, col);
                            for (int y = 0; y < h; y++)
                                wrong += memcmp(drawn->line[y], expected->line[y],
                                                w * ((depth + 7) / 8)) != 0;
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
    bool sizes[5] = {};
    for (int frame = 0; frame < 30; frame++) {
        clear_bitmap(buffer);
        display_particles();
        int radius = 0; // how far the filled run reaches right of the centre
        while (radius < 4 && getpixel(buffer, x + radius + 1, y) == blue)
            radius++;
        sizes[radius] = getpixel(buffer, x, y - radius - 1) == 0;
    }
    EXPECT_EQ((std::vector<bool>(sizes, sizes + 5)),
              (std::vector<bool>{false, true, true, true, false}));
}

// ---- explosions ----

TEST_F(Effects, ExplosionSpraysFortyOnePaleParticlesAStepWithItsLifeLeft)
{
    create_explosion(300, 200, 3, 2, PARTICLE_STREAK);
    create_explosion(123, 45, 0, 7, PARTICLE_BLOB); // born dead: written, never sprays
    const explosion_record &dead = explosion[1];
    EXPECT_EQ((nums{dead.x, dead.y, double(dead.speed), double(dead.type)}),
              (nums{123, 45, 7, PARTICLE_BLOB}));
    create_explosion(9, 9, -2, 1, PARTICLE_DOT); // the same free record again
    EXPECT_EQ(explosion[1].x, 9);
    for (int life = 3, made = 0; life >= 1; life--, made += 41) {
        do_explosions();
        for (int n = made; n < made + 41; n++) {
            const particle_record &p = particles[n];
            ASSERT_EQ(
                (nums{p.x, p.y, double(p.life), double(p.type), double(p.col)}),
                (nums{300, 200, double(life), PARTICLE_STREAK, double(makecol(255, 200, 200))}));
            ASSERT_NEAR(hypot(p.dx, p.dy), 2.0, 1e-12);
        }
        EXPECT_EQ(live_particles() * 10 + explosion[0].life, (made + 41) * 10 + life - 1);
    }
    do_explosions();
    EXPECT_EQ(live_particles(), 3 * 41);
}

TEST_F(Effects, FullExplosionTableReplacesItsLastRecord)
{
    for (int n = 0; n < 1000; n++)
        create_explosion(n, 0, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[999].x + explosion[REPLACED_SLOT].life, 999);
    create_explosion(1000, 1, 5, 1, PARTICLE_DOT);
    create_explosion(2000, 2, 7, 1, PARTICLE_DOT); // record 1000 is live and replaced anyway
    EXPECT_EQ((nums{explosion[REPLACED_SLOT].x, double(explosion[REPLACED_SLOT].life)}),
              (nums{2000, 7}));
    explosion[500].life = 0;
    create_explosion(3000, 3, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[500].x, 3000);
    initialise_explosions();
    do_explosions();
    EXPECT_EQ(live_particles(), 0);
}

// ---- floating scores ----

// Taking y / life off y climbs in a straight line: from 398, two pixels a step, the top on step
// 199, the last visible one, a pixel a step toward the scorer's side; the slot's kind goes the
// step after its life, and the lowest free slot is taken.
TEST_F(Effects, ScoreNumbersClimbToTheTopDriftingToTheScorersSide)
{
    create_new_moving_points(500, 398, 50, 1);
    create_new_moving_points(500, 100, 250, 2);
    sprite_record &a = sprite[FIRST_POINTS_SLOT], &b = sprite[FIRST_POINTS_SLOT + 1];
    EXPECT_EQ((nums{double(a.points), double(a.type), double(b.points), double(b.direction)}),
              (nums{50, KIND_MOVING_POINT, 250, 2}));
    for (int k = 1; k <= 199; k++) {
        update_moving_points();
        ASSERT_NEAR(a.y, 398.0 * (199 - k) / 199, 1e-9) << k;
        ASSERT_EQ((nums{a.x, b.x}), (nums{500.0 - k, 500.0 + k}));
    }
    EXPECT_EQ((nums{a.y, b.y, double(a.life)}), (nums{0, 0, 1}));
    create_new_moving_points(1, 1, 1, 1);
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT + 2].points, 1);
    update_moving_points();
    EXPECT_EQ(a.life * 1000 + a.type, KIND_MOVING_POINT);
    update_moving_points();
    EXPECT_EQ(a.type, KIND_FREE);
    create_new_moving_points(300, 300, 25, 2); // an expired slot is taken again
    EXPECT_EQ((nums{double(a.points), double(a.life), a.x, double(a.direction)}),
              (nums{25, MOVING_POINT_LIFE, 300, 2}));
    for (int n = 2; n < 90; n++) // with all 90 busy a number is dropped
        create_new_moving_points(n, 300, n, 1);
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
    FONT *f = data_font(DAT_FONT_TEXT);
    EXPECT_TRUE(shows_text(buffer, screen, DAT_FONT_TEXT, x, y, makecol(255, 255, 255), "0 "));
    EXPECT_EQ(
        pixels(buffer, 0, 0, 799, 599, -1, screen),
        pixels(buffer, x, y, x + text_length(f, "0 ") - 1, y + text_height(f) - 1, -1, screen));
}

// ---- pad flashes ----

static BITMAP **flash_picture(int kind)
{
    BITMAP **pictures[] = {&bottom_left1, &top_left1, &top_right1, &bottom_right1};
    return pictures[kind - KIND_PAD_BOTTOM_LEFT];
}

TEST_F(Effects, OnlyCornerPadsFlashEachInTheLowestFreeEntryForTenFrames)
{
    for (int kind : {KIND_TOP_EDGE, KIND_BOTTOM_EDGE, KIND_BUMPER, 99, 104})
        create_pad_rebound(kind);
    EXPECT_EQ(live_flashes(), 0);
    EXPECT_EQ(pad_flash_position(KIND_TOP_EDGE), pad_flash_position(99));
    EXPECT_EQ(pad_flash_position(99), nullptr);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    rebound[0].life = 0;
    create_pad_rebound(KIND_PAD_BOTTOM_RIGHT);
    EXPECT_EQ((nums{double(rebound[0].type), double(rebound[1].type), double(rebound[1].life)}),
              (nums{KIND_PAD_BOTTOM_RIGHT, KIND_PAD_TOP_LEFT, REBOUND_LIFE}));
    for (int n = 0; n < REBOUND_SLOTS; n++)
        create_pad_rebound(KIND_PAD_BOTTOM_LEFT);
    rebound_record before[REBOUND_SLOTS];
    memcpy(before, rebound, sizeof rebound);
    create_pad_rebound(KIND_PAD_TOP_RIGHT); // a full table ignores it
    EXPECT_EQ(memcmp(before, rebound, sizeof rebound), 0);
    initialise_rebound();
    EXPECT_EQ(live_flashes() * 1000 + rebound[19].type, KIND_PAD_BOTTOM_LEFT);
    // Each corner's picture at its place, for ten drawn frames, and nothing else.
    const int corners[][3] = {{KIND_PAD_BOTTOM_LEFT, 28, 451},
                              {KIND_PAD_TOP_LEFT, 31, 17},
                              {KIND_PAD_TOP_RIGHT, 651, 15},
                              {KIND_PAD_BOTTOM_RIGHT, 647, 450}};
    for (const auto &c : corners) {
        create_pad_rebound(c[0]);
        BITMAP *picture = *flash_picture(c[0]);
        int frames = 0;
        for (int call = 0; call < 12; call++) {
            clear_bitmap(buffer);
            do_pad_rebound();
            int drawn = pixels(buffer, 0, 0, 799, 599, -1, screen);
            frames += drawn > 0;
            if (drawn == 0) continue;
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
    const int requests[] = {0, 2, 0, 1, 0, 3, 2, 0}; // corners, from the bottom left
    BITMAP *expected = create_bitmap(800, 600);
    int backdrop = makecol(20, 60, 20), wrong = 0, most_live = 0;
    for (int frame = 0; frame < 40; frame++) {
        for (int k = 0; k < 3 && frame < 25; k++)
            create_pad_rebound(KIND_PAD_BOTTOM_LEFT + requests[(frame * 3 + k) % 8]);
        clear_to_color(expected, backdrop);
        most_live = std::max(most_live, live_flashes());
        for (const rebound_record &r : rebound)
            if (r.life > 0) {
                const pad_flash_place *place = pad_flash_position(r.type);
                draw_sprite(expected, *flash_picture(r.type), place->x, place->y);
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
    EXPECT_EQ((nums{double(wrong), double(most_live), double(live_flashes())}),
              (nums{0, REBOUND_SLOTS, 0}));
}

// ---- the logo's pixels, the burst and the closing scene ----

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
        {0, 0, 60, 0},  {2, 2, 60, 0},  {3, 3, 2, blue},  {4, 3, 5, red},
        {5, 3, 60, 0},  {62, 60, 0, 0}, {122, 60, 60, 0}, // 60 + 2 + 61 entries, then zeros
        {123, 0, 0, 0}, {3699, 0, 0, 0}};
    for (const auto &r : rows) {
        const brumzel_pixel &p = brumzel_pixels[r[0]];
        EXPECT_EQ((nums{double(p.x), double(p.y), double(p.col)}),
                  (nums{double(r[1]), double(r[2]), double(r[3])}))
            << r[0];
    }
    clear_to_color(test, red); // 61 x 61 kept; the first 3700 go to row 39 of column 60
    get_brumzel_pixels();
    EXPECT_EQ((nums{double(brumzel_pixels[3659].y), double(brumzel_pixels[3659].col),
                    double(brumzel_pixels[3699].x), double(brumzel_pixels[3699].y)}),
              (nums{60, 0, 60, 39}));
    brumzel1 = logo;
    destroy_bitmap(test);
    get_brumzel_pixels();
    int kept = 0;
    for (const brumzel_pixel &p : brumzel_pixels) {
        ASSERT_NE(p.col, bitmap_mask_color(buffer));
        if (p.x == 0 && p.y == 0 && p.col == 0) continue;
        kept++;
        ASSERT_EQ(getpixel(buffer, p.x, p.y), p.col); // the logo is left in buffer
        ASSERT_TRUE(p.x == 60 || p.y == 60 || getpixel(brumzel1, p.x, p.y) == p.col);
    }
    EXPECT_GT(kept, 2000);
}

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
    EXPECT_EQ((nums{double(particles[0].life), double(particles[0].type), particles[0].dx,
                    particles[0].dy}), // the draws: life, style, speed, then direction
              (nums{double(life), double(type), sin(direction) * speed, cos(direction) * speed}));
    for (int b = 0; b < 6; b++) {
        const sprite_record &bumper = sprite[FIRST_BUMPER_SLOT + b];
        EXPECT_EQ(bumper.type, KIND_FREE);
        for (int j = 0; j < 1460; j++) {
            const particle_record &p = particles[b * 1460 + j];
            const brumzel_pixel &px = brumzel_pixels[2 * j];
            double s = hypot(p.dx, p.dy); // 0.5, 1.5, ... 4.5
            ASSERT_EQ(
                (nums{p.x, p.y, double(p.col)}),
                (nums{double(int(px.x + bumper.x)), double(int(px.y + bumper.y)), double(px.col)}));
            ASSERT_TRUE(p.life >= 200 && p.life <= 599 && p.type >= 1 && p.type <= 3);
            ASSERT_TRUE(s > 0.4 && s < 4.6 && fabs(s - 0.5 - std::round(s - 0.5)) < 1e-9) << s;
        }
    }
    initialise_sprites(); // into a nearly full table, within it
    initialise_particles();
    for (int n = 0; n < PARTICLE_SLOTS - 100; n++)
        create_particle(0, 0, 0, PARTICLE_DOT, 1, 1, 1, 1000);
    burst_bumpers();
    EXPECT_EQ(live_particles() + sprite[LAST_BUMPER_SLOT].type, PARTICLE_SLOTS);
}

// A ball at (3, 1) stops in step 287 (3 x 0.992^k < 0.3 from k = 287) and its last trail dot
// dies 9 steps later: the scene ends in the step that kills the last particle, whichever lives
// longer. No key or button shortens it, and the scores stand.
TEST_F(Burst, ClosingSceneRunsUntilTheLastParticleDies)
{
    place(0, KIND_P1_BALL, 200, 300, 3, 1);
    p1_score = 1230;
    key[KEY_ESC] = 1, mouse_b = 1;
    burst_bumpers();
    int longest = 0;
    for (const particle_record &p : particles)
        longest = std::max(longest, p.life);
    EXPECT_TRUE(any_particle_alive());
    run_gameover_loop();
    EXPECT_FALSE(any_particle_alive());
    EXPECT_EQ(
        (nums{double(actual_frames), double(p1_score), double(p1_balls), double(sprite[0].type)}),
        (nums{double(std::max(longest, 287 + 9)), 1230, BALLS_PER_GAME, KIND_FREE}));
    // The last frame: "GAME OVER" in white over the field, on the screen too.
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_LARGE, GAMEOVER_X, GAMEOVER_Y,
                           makecol(255, 255, 255), "GAME OVER", 0));
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, -1, buffer), 0);
}

TEST_F(Burst, WholeSceneEndsFadedEvenWithABallRestingInTheOverflowSlot)
{
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    gameover();
    EXPECT_EQ(live_particles() + sprite[OVERFLOW_BALL_SLOT].type, 0);
    EXPECT_LE(actual_frames, 600);
    EXPECT_EQ(fade_pictures, 15); // faded at 16 a step: 239, 223, ... 15
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, 0), 800 * 600);
}
