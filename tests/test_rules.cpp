// test_rules -- the rules of play: motion, friction, launches, controls, the computer player,
// collisions, scoring, side lines, the field's set-up and the course of a game
#include <cmath>
#include <cstring>
#include <unistd.h>

#include "check_collision.h"
#include "explosions.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "hiscore.h"
#include "move_sprites.h"
#include "new_ball.h"
#include "particles.h"
#include "player_input.h"
#include "rebound_effect.h"
#include "title_screen.h"

using Rules = Headless;

static nums at(int slot)
{
    const sprite_record &s = sprite[slot];
    return {s.x, s.y, s.dx, s.dy};
}
static nums burst(int n)
{
    const explosion_record &e = explosion[n];
    return {e.x, e.y, double(e.life), double(e.speed), double(e.type)};
}
static int balls_of(int type)
{
    int n = 0;
    for (const sprite_record &s : sprite)
        n += s.type == type;
    return n;
}

// ---- motion and friction ----

TEST_F(Rules, BallsMoveAndShedTrailsBumpersMoveAndSpin)
{
    place(0, KIND_P2_BALL, 700, 300, -6, 0);
    place(3, KIND_P1_BALL, 100.7, 200.2, 2, -1);
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    const double bumpers[][5] = {{71, 5, 1.5, -0.5, 25}, // turns by (150 + 50) / 10
                                 {72, 235, -2, 0, 0},    // lands on 255, which is 0
                                 {73, 240, 0, 2, 260},   // goes on past it
                                 {74, 17, 0.05, 0, 17},  // 5 / 10 turns by nothing
                                 {100, 0, 1, 1, 20},     // the last slot that moves
                                 {101, 0, 1, 1, 0}};     // beyond it
    for (const auto &b : bumpers) {
        place(int(b[0]), KIND_BUMPER, 400, 300, b[2], b[3]);
        sprite[int(b[0])].angle = int(b[1]);
    }
    place(5, KIND_FREE, 100, 100, 3, 3);
    place(FIRST_POINTS_SLOT, KIND_MOVING_POINT, 300, 300, 3, 3);
    move_sprites();
    EXPECT_EQ(at(3), (nums{102.7, 199.2, 2, -1}));
    EXPECT_EQ(at(0)[0] + at(71)[0] + at(71)[1] + at(100)[0] + at(101)[0],
              694 + 401.5 + 299.5 + 401 + 400);
    for (const auto &b : bumpers)
        EXPECT_EQ(sprite[int(b[0])].angle, b[4]) << b[0];
    EXPECT_EQ(sprite[5].x + sprite[FIRST_POINTS_SLOT].x, 400);
    // One trail dot per ball in slot order, from the middle of where it was, blue for player 2.
    ASSERT_EQ(live_particles(), 3);
    const particle_record &p = particles[1];
    EXPECT_EQ((nums{p.x, p.y, double(p.life), double(p.type)}), (nums{105, 205, 10, PARTICLE_DOT}));
    EXPECT_NEAR(hypot(p.dx, p.dy), 0.2, 1e-12);
    EXPECT_EQ(p.col + particles[0].col + particles[2].col,
              makecol(0, 255, 0) + 2 * makecol(0, 0, 255));
}

TEST_F(Rules, FrictionStopsAndRemovesBallsBelowPointThree)
{
    const struct {
        int slot;
        double dx, dy;
        int steps; // until the ball is removed; -1 never
    } rows[] = {
        {0, 6, 0, 373},     // 6 x 0.992^k < 0.3 first at k = 373
        {7, -2, 0.25, 237}, // the slow component is left alone; 2 x 0.992^k < 0.3 at 237
        {0, 0.3, 0, -1},    // exactly 0.3 is not below it, and never slowed
        {50, 1, -1, -1},    // the overflow ball stops but stays
        {71, 3, -0.4, -1},  // bumpers are never slowed
    };
    for (const auto &r : rows) {
        SetUp();
        int type = r.slot == 71 ? KIND_BUMPER : KIND_P1_BALL, steps = -1;
        place(r.slot, type, 100, 300, r.dx, r.dy);
        auto slowed = [&](double v) {
            return type == KIND_BUMPER || fabs(v) <= 0.3 ? v : v * 0.992;
        };
        reduce_speed();
        EXPECT_EQ(at(r.slot), (nums{100, 300, slowed(r.dx), slowed(r.dy)})) << r.dx;
        for (int k = 2; k <= 2000 && steps < 0; k++) {
            reduce_speed();
            if (sprite[r.slot].type == KIND_FREE) steps = k;
        }
        EXPECT_EQ(steps, r.steps) << r.dx;
        EXPECT_EQ(sprite[r.slot].dx == 0, r.steps > 0 || r.slot == 50) << r.dx;
    }
    EXPECT_EQ(sprite[71].type, KIND_BUMPER);
}

// ---- launches and controls ----

TEST_F(Rules, LaunchesLeaveTheLaunchersAtTheirSidesAim)
{
    p1_dy = -40;  // a quarter of it
    p2_dy = 2.5f; // twice it
    new_ball(KIND_P1_BALL);
    new_ball(KIND_P2_BALL);
    EXPECT_EQ(at(0), (nums{30, 290, 6, -10}));
    EXPECT_EQ(at(1), (nums{770, 290, -6, 5}));
    EXPECT_EQ((nums{sprite[0].w, sprite[1].h, sprite[0].mass, sprite[1].mass}),
              (nums{10, 10, 1, 1}));
    EXPECT_EQ(sprite[0].type * 10 + sprite[1].type, 12);
    EXPECT_EQ((nums{double(p1_balls), double(p2_balls), double(p1_frames), double(p2_frames)}),
              (nums{399, 399, 0, 0}));
}

TEST_F(Rules, LaunchWaitsSixteenStepsNeedsABallLeftAndTakesTheLowestFreeSlot)
{
    const int rows[][3] = {{15, 400, 0}, {16, 400, 1}, {100, 0, 0}, {100, -1, 0}, {100, 1, 1}};
    for (const auto &r : rows)
        for (int side : {KIND_P1_BALL, KIND_P2_BALL}) {
            SetUp();
            int &frames = side == KIND_P1_BALL ? p1_frames : p2_frames;
            int &balls = side == KIND_P1_BALL ? p1_balls : p2_balls;
            frames = r[0], balls = r[1];
            new_ball(side);
            EXPECT_EQ((nums{double(balls_of(side)), double(balls), double(frames)}),
                      (nums{double(r[2]), double(r[1] - r[2]), double(r[2] ? 0 : r[0])}));
        }
    sprite[0].type = sprite[1].type = sprite[3].type = KIND_P2_BALL;
    new_ball(KIND_P1_BALL);
    EXPECT_EQ(sprite[2].type, KIND_P1_BALL);
    EXPECT_EQ(free_ball_slot(), 4);
    for (int n = 0; n <= OVERFLOW_BALL_SLOT; n++)
        place(n, KIND_P2_BALL, 400, 300, -3, 0);
    p1_frames = 100;
    new_ball(KIND_P1_BALL); // all 50 taken: the overflow ball is replaced
    EXPECT_EQ(sprite[50].type * 1000 + sprite[50].x + sprite[49].type * 10 + sprite[51].type,
              1000 + 30 + 20);
}

// One logic step's controls; the launch timers move on as the play loop moves them.
static void input_step(int times = 1)
{
    while (times--) {
        player_input();
        p1_frames++;
        p2_frames++;
    }
}

TEST_F(Rules, MouseAimsAndFiresForPlayerOne)
{
    const float aims[][2] = {{0, -40}, {1, -40}, {80, 0}, {81, 0}, {82, 1}, {159, 39}, {160, 40}};
    for (const auto &a : aims)
        EXPECT_EQ(aim_from_mouse(int(a[0])), a[1]) << a[0];
    mouse_y = 0;
    mouse_b = 2; // the right button alone does not fire
    input_step();
    EXPECT_EQ(p1_dy + balls_of(KIND_P1_BALL), -40);
    mouse_b = 3; // with the left one it does, every 16 steps, at this step's aim
    input_step(40);
    EXPECT_EQ(balls_of(KIND_P1_BALL) + p1_balls, 3 + 397);
    EXPECT_EQ(sprite[0].dy + p1_frames, -10 + 40 - 32);
}

TEST_F(Rules, KeysAimAndFireForPlayerTwoOnlyInATwoPlayerGame)
{
    key[KEY_LCONTROL] = key[KEY_DOWN] = 1;
    input_step(); // the ball leaves with the aim of the step before
    EXPECT_EQ(sprite[0].dy, 0);
    EXPECT_EQ(p2_dy, float(0.06));
    input_step(200);
    EXPECT_EQ(p2_dy, 5.0f);
    key[KEY_DOWN] = 0, key[KEY_UP] = 1;
    input_step(200);
    EXPECT_EQ(p2_dy, -5.0f);
    EXPECT_EQ(balls_of(KIND_P2_BALL), 26); // one every 16 of 401 steps
    SetUp();
    Menu_Option = MENU_ONE_PLAYER;
    key[KEY_LCONTROL] = key[KEY_UP] = 1;
    input_step(40);
    EXPECT_EQ(p2_dy + balls_of(KIND_P2_BALL), 0);
}

// A bumper right of x 600 moving toward player 2's side line.
static void threaten(int slot, double x = 650, double dx = 1)
{
    place(slot, KIND_BUMPER, x, 300, dx, 0);
}

TEST_F(Rules, ComputerAnswersOnlyBumpersClosingInOnItsSideInAOnePlayerGame)
{
    // Moving away, on the line, at rest, approaching from the left: no answer, not one draw.
    for (int game : {MENU_ONE_PLAYER, MENU_TWO_PLAYER}) {
        SetUp();
        Menu_Option = game;
        threaten(71, 650, -1), threaten(72, 600, 2), threaten(73, 700, 0), threaten(74, 550, 3);
        if (game == MENU_TWO_PLAYER) threaten(75);
        srand(7);
        input_step(300);
        EXPECT_EQ(p2_dy + balls_of(KIND_P2_BALL), 0);
        int next = rand();
        srand(7);
        EXPECT_EQ(next, rand());
    }
}

// For each threatening bumper two draws: fire on 0 or 1 of ten, then turn the aim up by 0.01
// on 0 or 1 of ten. A second shot in the same step is refused by the launch gap.
TEST_F(Rules, ComputerDrawsFireThenAimForEachThreat)
{
    int fired = 0;
    for (unsigned seed = 1; seed <= 60; seed++) {
        SetUp();
        Menu_Option = MENU_ONE_PLAYER;
        threaten(71), threaten(74);
        srand(seed);
        int r[5];
        for (int &v : r)
            v = rand();
        srand(seed);
        player_input();
        bool fires = r[0] % 10 < 2 || r[2] % 10 < 2;
        EXPECT_EQ(balls_of(KIND_P2_BALL), fires) << seed;
        EXPECT_FLOAT_EQ(p2_dy, float(-0.01 * ((r[1] % 10 < 2) + (r[3] % 10 < 2)))) << seed;
        EXPECT_EQ(rand(), r[4]) << seed;
        fired += fires;
    }
    EXPECT_TRUE(fired > 0 && fired < 60) << fired;
    p2_dy = -4.995f; // past the top the aim jumps to the bottom
    for (int k = 0; k < 1000 && p2_dy == -4.995f; k++)
        input_step();
    EXPECT_EQ(p2_dy, 5.0f);
}

TEST_F(Rules, HoldingSSavesTheLastFrame)
{
    enter_temp_dir();
    player_input();
    EXPECT_NE(access(SCREENSHOT_FILE, F_OK), 0);
    clear_to_color(buffer, makecol(255, 0, 0));
    key[KEY_S] = 1;
    player_input();
    BITMAP *shot = load_bitmap(SCREENSHOT_FILE, nullptr);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w * shot->h, 800 * 600);
    EXPECT_EQ(getr_depth(bitmap_color_depth(shot), getpixel(shot, 799, 599)), 255);
    destroy_bitmap(shot);
}

// ---- collisions and scoring ----

// Head on along x, a ball of mass 1 at speed 6 gives a resting bumper of mass 20 2 x 6 / 21,
// and the bumper gives way 1/21 of the 1-pixel overlap: speed class (int)(12/21 + 1) = 1. The
// burst is at the ball, pushed back 20/21.
TEST_F(Rules, BallStrikingRestingBumperHeadOnScoresTen)
{
    place(0, KIND_P1_BALL, 366, 300, 6, 0);
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    sprite[0].life = 5;
    check_collision();
    for (int i : {0, 2, 3})
        EXPECT_NEAR(at(71)[i], (nums{400 + 1.0 / 21, 300, 12.0 / 21, 0})[i], 1e-12);
    EXPECT_EQ((nums{double(p1_score), double(p2_score), double(mult), double(live_points())}),
              (nums{10, 0, 1, 0})); // classes 1 and 2 show no number
    EXPECT_EQ(sprite[0].type + sprite[0].life, 0);
    EXPECT_EQ(burst(0), (nums{365, 300, 4, 3, PARTICLE_STREAK}));
}

TEST_F(Rules, HitScoresByTheBumpersSpeedClassAfterIt)
{
    const double rows[][3] = {
        // the bumper's dy, untouched by a hit along x: the speed sum is 12/21 + |dy|
        {0, 10, 0}, {1, 25, 0}, {-2, 50, 1}, {3, 100, 1}, {4, 250, 1}, {4.5, 0, 1}, {-9, 0, 1}};
    for (const auto &r : rows)
        for (int side : {KIND_P1_BALL, KIND_P2_BALL}) {
            SetUp();
            place(0, side, 366, 300, 6, 0);
            place(71, KIND_BUMPER, 400, 300, 0, r[0]);
            check_collision();
            int mine = side == KIND_P1_BALL ? p1_score : p2_score;
            EXPECT_EQ((nums{double(mine), double(p1_score + p2_score), double(live_points())}),
                      (nums{r[1], r[1], r[2]}))
                << r[0];
            const sprite_record &m = sprite[FIRST_POINTS_SLOT];
            if (r[2]) {
                EXPECT_EQ((nums{double(m.points), double(m.direction), m.x, m.y}),
                          (nums{r[1], double(side), sprite[0].x, 300}));
            }
        }
    for (int speed_class : {-1000, -100, -10, -1, 0, 6, 7, 10, 100, 1000}) // none outside 1-5
        EXPECT_EQ(bumper_hit_points(speed_class), 0) << speed_class;
}

TEST_F(Rules, BallsMeetingAnythingAreUsedUpOnceAndScoreOnlyOnBumpers)
{
    // A ball between two bumpers scores once, with the lower slot (a ball alone gives class 1).
    place(71, KIND_BUMPER, 340, 240, 0, 0);
    place(72, KIND_BUMPER, 402, 240, 0, 0);
    place(0, KIND_P2_BALL, 371, 256, 0, -6); // 34.9 from both centres
    // Two balls of one side, and of two, destroy each other: each gives way 1 pixel.
    place(4, KIND_P1_BALL, 100, 300, 1, 0);
    place(9, KIND_P1_BALL, 108, 300, -1, 0);
    place(10, KIND_P1_BALL, 400, 400, 6, 0);
    place(11, KIND_P2_BALL, 405, 404, -6, 0);
    check_collision();
    EXPECT_EQ(p2_score + p1_score + live_points(), 10);
    EXPECT_NE(sprite[71].dx, 0);
    EXPECT_EQ(at(72), (nums{402, 240, 0, 0}));
    for (int n : {0, 4, 9, 10, 11})
        EXPECT_EQ(sprite[n].type, KIND_FREE) << n;
    EXPECT_EQ(live_explosions(), 3);
    EXPECT_EQ(burst(1), (nums{104, 300, 5, 2, PARTICLE_DOT}));
}

TEST_F(Rules, CirclesCollideWhenTouchingNotAHairApart)
{
    place(0, KIND_P1_BALL, 365, 300, 6, 0); // 35 apart: radii 5 + 30
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    place(1, KIND_P1_BALL, 364.999, 500, 6, 0);
    place(72, KIND_BUMPER, 400, 500, 0, 0);
    check_collision();
    EXPECT_EQ(sprite[0].type, KIND_FREE);
    EXPECT_EQ(sprite[71].x, 400); // no overlap to undo
    EXPECT_NEAR(sprite[71].dx, 12.0 / 21, 1e-12);
    EXPECT_EQ(at(1), (nums{364.999, 500, 6, 0}));
    EXPECT_EQ(sprite[72].dx * 100 + p1_score, 10);
    SetUp();
    initialise_sprites(); // a fresh field: the edge circles overlap, but nothing moves
    sprite_record before[SPRITE_SLOTS];
    memcpy(before, sprite, sizeof sprite);
    check_collision();
    EXPECT_EQ(memcmp(before, sprite, sizeof sprite), 0);
    EXPECT_EQ(p1_score + p2_score + live_explosions() + live_flashes(), 0);
}

// Equal masses exchange their speeds along the line: the lower slot leaves at 3, so mult is
// 10 x (int)(3 + 1) = 40 and the burst flies at 20 from where each gave way half a pixel. A
// centre is taken when its turn begins: 71 gives way half a pixel to 72 and would then touch 73
// (60.3 from 400 but 59.8 from 399.5), yet is measured from where it started.
TEST_F(Rules, BumpersClashWithABurstAsFastAsHalfOfMult)
{
    place(71, KIND_BUMPER, 359, 300, 0, 0);
    place(72, KIND_BUMPER, 300, 300, 3, 0);
    check_collision();
    EXPECT_NEAR(sprite[71].dx, 3, 1e-12);
    EXPECT_NEAR(sprite[72].dx, 0, 1e-12);
    EXPECT_EQ(mult, 40);
    EXPECT_EQ(burst(0), (nums{329, 300, 6, 20, PARTICLE_STREAK}));
    SetUp();
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    place(72, KIND_BUMPER, 459, 300, 0, 0);
    place(73, KIND_BUMPER, 339.7, 300, 0, 0);
    check_collision();
    EXPECT_EQ((nums{at(71)[0], at(72)[0], at(73)[0]}), (nums{399.5, 459.5, 339.7}));
    EXPECT_EQ(live_explosions() + p1_score + p2_score, 1);
}

// Against mass 10000 a bumper of mass 20 keeps (10000 - 20) / (10000 + 20) of its speed,
// reversed, and gives way 10000/10020 of the overlap; the edge never moves. A bumper resting
// on a corner pad flashes it every step; the top edge and a ball never do.
TEST_F(Rules, EdgesTurnObjectsBackAndCornerPadsFlashUnderBumpers)
{
    initialise_sprites();
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        sprite[n].type = KIND_FREE;
    place(71, KIND_BUMPER, 400, 74, 0, -2); // 1 pixel into the top edge (lowest point y 45)
    place(72, KIND_BUMPER, 145, 100, 0, 0); // within the top-left pad's reach
    place(0, KIND_P2_BALL, 691, 491, 2, 2); // 154.2 from the bottom-right corner
    for (int step = 1; step <= 3; step++) {
        check_collision();
        EXPECT_EQ(live_flashes(), step);
        EXPECT_EQ(rebound[step - 1].type, KIND_PAD_TOP_LEFT);
        if (step > 1) continue;
        EXPECT_NEAR(sprite[71].dy, 2.0 * 9980 / 10020, 1e-12);
        EXPECT_NEAR(sprite[71].y, 74 + 10000.0 / 10020, 1e-9);
        EXPECT_TRUE(sprite[0].dx < 0 && sprite[0].dy < 0);
    }
    EXPECT_EQ(at(104), (nums{400, -1180, 0, 0}));
    EXPECT_EQ(sprite[0].type, KIND_P2_BALL);
    EXPECT_EQ(p1_score + p2_score, 0);
}

TEST_F(Rules, SideLinesTurnEverythingBackAndScoreBumpersForTheOtherSide)
{
    place(71, KIND_BUMPER, 50, 300, -1, 0); // left edge at 20, beyond 28
    place(76, KIND_BUMPER, 743, 200, 2, 1); // right edge at 773, beyond 772
    place(72, KIND_BUMPER, 58, 400, -1, 0); // exactly on the lines: left alone
    place(73, KIND_BUMPER, 742, 500, 1, 0);
    place(0, KIND_P1_BALL, 32, 100, -2, 1); // balls turn back but score nothing
    place(1, KIND_P2_BALL, 768, 100, 3, 0);
    for (int step = 1; step <= 2; step++) {
        check_collision();
        int flip = step == 1 ? -1 : 1; // every step beyond a line turns it and scores 250
        EXPECT_EQ(
            (nums{double(p1_score), double(p2_score), at(71)[2], at(76)[2], at(0)[2], at(1)[2]}),
            (nums{250.0 * step, 250.0 * step, -1.0 * flip, 2.0 * flip, -2.0 * flip, 3.0 * flip}));
    }
    EXPECT_EQ((nums{at(72)[2], at(73)[2], at(0)[3]}), (nums{-1, 1, 1}));
    ASSERT_EQ(live_points(), 4);
    const sprite_record &left = sprite[FIRST_POINTS_SLOT], &right = sprite[FIRST_POINTS_SLOT + 1];
    EXPECT_EQ((nums{double(left.points), double(left.direction), left.x, left.y}),
              (nums{250, 2, 50, 300}));
    EXPECT_EQ((nums{double(right.points), double(right.direction), right.x}), (nums{250, 1, 743}));
}

// ---- the field ----

TEST_F(Rules, SetUpLeavesSixBumpersAtRestAndTheEdgeCircles)
{
    for (sprite_record &s : sprite)
        s.type = KIND_P1_BALL, s.life = 50;
    initialise_sprites();
    const double rows[][7] = {
        // slot, kind, x, y, diameter, mass, angle
        {71, KIND_BUMPER, 340, 240, 60, 20, 0},
        {72, KIND_BUMPER, 402, 240, 60, 20, 42},
        {73, KIND_BUMPER, 464, 240, 60, 20, 84},
        {74, KIND_BUMPER, 370, 296, 60, 20, 126},
        {75, KIND_BUMPER, 432, 296, 60, 20, 168},
        {76, KIND_BUMPER, 402, 352, 60, 20, 210},
        {101, KIND_PAD_BOTTOM_LEFT, 0, 600, 300, 1e4, 0},
        {103, KIND_PAD_TOP_LEFT, 0, 0, 300, 1e4, 0},
        {104, KIND_TOP_EDGE, 400, -1180, 2450, 1e4, 0},   // reaches down to y 45
        {105, KIND_BOTTOM_EDGE, 400, 1980, 2845, 1e4, 0}, // reaches up to y 557.5
        {107, KIND_PAD_TOP_RIGHT, 800, 0, 300, 1e4, 0},
        {108, KIND_PAD_BOTTOM_RIGHT, 800, 600, 300, 1e4, 0}};
    int kept = 0;
    for (const auto &r : rows) {
        const sprite_record &s = sprite[int(r[0])];
        bool bumper = r[1] == KIND_BUMPER;
        EXPECT_EQ((nums{double(s.type), s.x, s.y, s.w, s.h, s.mass, s.dx, s.dy}),
                  (nums{r[1], r[2], r[3], r[4], r[4], r[5], 0, 0}))
            << r[0];
        if (bumper) {
            EXPECT_EQ((nums{double(s.angle), double(s.frame)}), (nums{r[6], 1})) << r[0];
        }
    }
    for (const sprite_record &s : sprite)
        kept += (s.type != KIND_FREE) + 100 * s.life;
    EXPECT_EQ(kept, 12);
}

TEST_F(Rules, NewGameResetsAimsBallsScoresAndCountButNotLaunchTimers)
{
    p1_dy = 33, p2_dy = -4, p1_balls = 0, p2_balls = 17, p1_score = 5000, p2_score = 250;
    countdown_flag = 999, p1_frames = 7, p2_frames = 3, new_high = 1;
    initialise_newgame();
    EXPECT_EQ(
        (nums{p1_dy, p2_dy, double(p1_balls), double(p2_balls), double(p1_score), double(p2_score),
              double(countdown_flag), double(p1_frames), double(p2_frames), double(new_high)}),
        (nums{0, 0, 400, 400, 0, 0, 0, 7, 3, 1}));
}

// ---- one logic step of play and of the closing scene ----

// Every part of a step leaves its mark: a ball in flight, a bumper beyond the right line, an
// explosion of two steps, player 1's button down, a ball at rest in slot 50.
static void busy_field()
{
    place(0, KIND_P1_BALL, 100, 100, 2, 0);
    place(72, KIND_BUMPER, 760, 300, 0, 0);
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 500, 0, 0);
    create_explosion(400, 400, 2, 1, PARTICLE_DOT);
    mouse_b = 1;
}

TEST_F(Rules, OneLogicStepRunsEveryPartOfPlayInOrder)
{
    for (bool closing : {false, true}) {
        SetUp();
        busy_field();
        closing ? gameover_logic_step() : play_logic_step();
        EXPECT_EQ(at(0), (nums{102, 100, 2 * 0.992, 0})); // moved, then slowed
        EXPECT_EQ(p1_score, 250);                         // the side line scored ...
        EXPECT_EQ(sprite[FIRST_POINTS_SLOT].x, 759);      // ... and its number drifted a step
        EXPECT_EQ(particles[0].life + particles[2].life + explosion[0].life, 9 + 1 + 1);
        EXPECT_EQ(live_particles(), 1 + 1 + 41); // ball, overflow ball, one spray
        // Play launches by the button before friction; the closing scene clears a resting
        // overflow ball instead.
        EXPECT_EQ(at(1),
                  closing ? (nums{0, 0, 0, 0}) : (nums{30, 290, 6 * 0.992, -40 / 4 * 0.992}));
        EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].type, closing ? KIND_FREE : KIND_P2_BALL);
    }
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 500, 0.5, 0); // a moving one stays
    gameover_logic_step();
    EXPECT_EQ(sprite[OVERFLOW_BALL_SLOT].type, KIND_P2_BALL);
}

// ---- the course of a game ----

// A stand-in frame: the clock gains ticks_per_frame every frames_per_tick frames, and Escape
// goes down at frame escape_at.
static int frames_drawn, ticks_per_frame, frames_per_tick, escape_at, most_ahead;
static void counted_frame()
{
    frames_drawn++;
    if (frames_drawn % frames_per_tick == 0) target_frames = target_frames + ticks_per_frame;
    most_ahead = std::max(most_ahead, actual_frames - target_frames);
    if (frames_drawn == escape_at) key[KEY_ESC] = 1;
}

class Game : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        initialise_sprites();
        p1_frames = p2_frames = frames_drawn = most_ahead = 0;
        mouse_y = 80;
        ticks_per_frame = frames_per_tick = 1;
        escape_at = -1;
    }
    static void play_loop()
    {
        while (game_continues())
            play_pass(counted_frame);
    }
};

TEST_F(Game, CountFallsByOneEvery200TicksAndTheClockStartsFromAReset)
{
    const int rows[][2] = {{0, 100},   {199, 100}, {200, 99},  {18400, 8},
                           {18599, 8}, {20000, 0}, {20199, 0}, {20200, -1}};
    for (const auto &r : rows) {
        target_frames = r[0];
        EXPECT_EQ(end_of_game_count(), r[1]) << r[0];
    }
    for (int i = 0; i < 500; i++)
        __inc_game_time();
    reset_target_frames();
    __inc_game_time();
    EXPECT_EQ(target_frames, 1);
}

TEST_F(Game, DrawingWaitsForTheClockButNeverSkipsAFrame)
{
    actual_frames = 7, target_frames = 4;
    EXPECT_EQ(draw_paced(counted_frame), 3); // redrawn until the clock catches up
    EXPECT_EQ(target_frames, 7);
    frames_per_tick = 3; // a fast machine: a tick every third frame
    actual_frames = target_frames = frames_drawn = most_ahead = 0;
    for (int pass = 0; pass < 300; pass++)
        play_pass(counted_frame);
    // Pass 0 draws frame 1, pass 1 frames 2 and 3 (the first tick), then three a pass.
    EXPECT_EQ((nums{double(actual_frames), double(target_frames), double(frames_drawn)}),
              (nums{300, 299, 1 + 2 + 3 * 298}));
    EXPECT_LE(most_ahead, 1);
    frames_per_tick = 1, ticks_per_frame = 2; // a slow machine: one frame a step all the same
    actual_frames = target_frames = frames_drawn = 0;
    for (int pass = 0; pass < 300; pass++)
        play_pass(counted_frame);
    EXPECT_EQ((nums{double(frames_drawn), double(target_frames), double(p1_frames + p2_frames)}),
              (nums{300, 600, 1200})); // the launch timers count steps
}

TEST_F(Game, CountStagesFireOnceEachInOrderEachArmedByTheOneBefore)
{
    std::vector<std::pair<int, int>> fired; // tick, sample
    for (int t = 0; t <= 20400; t++) {
        target_frames = t;
        for (int again = 0; again < 2; again++) {
            int sample = check_end_of_game_count();
            if (sample >= 0) fired.emplace_back(t, sample);
        }
    }
    EXPECT_EQ(fired, (std::vector<std::pair<int, int>>{{18400, DAT_WARNING_SOUND},
                                                       {19000, DAT_COUNT5_SOUND},
                                                       {19200, DAT_COUNT4_SOUND},
                                                       {19400, DAT_COUNT3_SOUND},
                                                       {19600, DAT_COUNT2_SOUND},
                                                       {19800, DAT_COUNT1_SOUND},
                                                       {20000, DAT_END_OF_TIME_SOUND}}));
    EXPECT_EQ(countdown_flag, 999);
    countdown_flag = 0; // the warning at 8 missed: nothing later fires
    for (int t = 18600; t <= 20400; t++) {
        target_frames = t;
        ASSERT_EQ(check_end_of_game_count(), -1) << t;
    }
}

TEST_F(Game, GameEndsOnEscapeTimeOrBothSidesOutOfBalls)
{
    EXPECT_TRUE(game_continues());
    key[KEY_ESC] = 1;
    EXPECT_FALSE(game_continues());
    key[KEY_ESC] = 0;
    target_frames = 20200;
    EXPECT_FALSE(game_continues());
    target_frames = 0, p1_balls = 0;
    EXPECT_TRUE(game_continues());
    p2_balls = 0;
    EXPECT_FALSE(game_continues());
    p2_balls = 1;
    play_loop(); // the whole time: 20200 passes, and the count ran out
    EXPECT_EQ(actual_frames + countdown_flag, 20200 + 999);
    SetUp();
    escape_at = 50;
    play_loop();
    EXPECT_EQ(actual_frames, 50);
    SetUp();
    p1_balls = 3, p2_balls = 0, p1_frames = 100;
    mouse_b = 1; // launches on steps 0, 16 and 32; the game ends after the last
    play_loop();
    EXPECT_EQ(actual_frames, 33);
}

TEST_F(Game, NewBestScorePlaysItsSampleOncePerRunAndAPassKeepsItUp)
{
    hi = 90, p1_score = 90;
    EXPECT_FALSE(update_best_score()); // equal is no new best
    p2_score = 91;
    EXPECT_TRUE(update_best_score());
    p1_score = 130;
    EXPECT_FALSE(update_best_score());
    p2_score = 120;
    update_best_score();
    EXPECT_EQ(hi * 10 + new_high, 1301);
    target_frames = 18400, p1_score = 140; // a pass takes the best along and fires the count
    play_pass(counted_frame);
    EXPECT_EQ((nums{double(hi), double(countdown_flag), double(actual_frames),
                    double(p1_frames + p2_frames)}),
              (nums{140, 5, 1, 2}));
}

TEST_F(Game, MenuPassClearsTheFieldAndTakesTheBestScoreFromTheTable)
{
    enter_temp_dir();
    place(3, KIND_P1_BALL, 1, 1, 1, 1);
    sprite[71].x = 700;
    create_particle(1, 1, 1, PARTICLE_DOT, 1, 1, 1, 9);
    create_explosion(1, 1, 5, 1, PARTICLE_DOT);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    hi = 12345;
    start_menu_pass();
    EXPECT_EQ(sprite[3].type + live_particles() + live_explosions() + live_flashes(), 0);
    EXPECT_EQ(sprite[71].x, 340);
    EXPECT_EQ(hi, 90); // without a file, the built-in table's best
}

// Name entry and the table screen replaced by stand-ins that record what they were asked.
static std::vector<int> names_asked;
static int tables_shown;
static const score_screens quiet = {[](int score) {
                                        names_asked.push_back(score);
                                        snprintf(score_table[CANDIDATE_ENTRY].player_name,
                                                 NAME_FIELD, "P%d", score);
                                    },
                                    [](int wait) { tables_shown += wait; }};

TEST_F(Game, QualifyingScoresAreNamedSortedShownAndSaved)
{
    const struct {
        int menu, p1, p2;
        std::vector<int> named; // in order; places 1-10 hold 100, 90, ... 10
        int tenth;
    } rows[] = {
        {MENU_TWO_PLAYER, 10, 10, {}, 10},       // equal to the tenth place is not enough
        {MENU_ONE_PLAYER, 11, 0, {11}, 11},      // one point more is
        {MENU_ONE_PLAYER, 5, 5000, {}, 10},      // the computer never enters
        {MENU_TWO_PLAYER, 30, 15, {30}, 20},     // player 2 against the table player 1 left
        {MENU_TWO_PLAYER, 30, 95, {30, 95}, 30}, // player 1 first
    };
    for (const auto &r : rows) {
        SetUp();
        enter_temp_dir();
        for (int a = 0; a < SCORE_ENTRIES; a++)
            score_table[a].player_score = a < SCORE_PLACES ? 100 - 10 * a : 0;
        names_asked.clear();
        tables_shown = 0;
        Menu_Option = r.menu, p1_score = r.p1, p2_score = r.p2;
        enter_high_scores(quiet);
        EXPECT_EQ(names_asked, r.named) << r.p1 << " " << r.p2;
        EXPECT_EQ(tables_shown, int(r.named.size()));
        EXPECT_EQ(score_table[9].player_score, r.tenth);
        EXPECT_EQ(access(SCORE_FILE, F_OK) == 0, !r.named.empty());
        TearDown();
        *home = 0;
    }
    EXPECT_STREQ(score_table[1].player_name, "P95");
}
