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
    return N(sprite[slot].x, sprite[slot].y, sprite[slot].dx, sprite[slot].dy);
}
static nums burst(int n)
{
    const explosion_record &e = explosion[n];
    return N(e.x, e.y, e.life, e.speed, e.type);
}
static int balls_of(int type)
{
    int n = 0;
    for (const sprite_record &s : sprite)
        n += s.type == type;
    return n;
}

// ---- motion, friction, launches ----

TEST_F(Rules, BallsMoveAndShedTrailsBumpersMoveAndSpin)
{
    place(0, KIND_P2_BALL, 700, 300, -6, 0);
    place(3, KIND_P1_BALL, 100.7, 200.2, 2, -1);
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    place(5, KIND_FREE, 100, 100, 3, 3);
    place(FIRST_POINTS_SLOT, KIND_MOVING_POINT, 300, 300, 3, 3);
    const double bumpers[][5] = {                        // slot, angle, dx, dy, angle after
                                 {71, 5, 1.5, -0.5, 25}, // turns (150 + 50) / 10
                                 {72, 235, -2, 0, 0},    // lands on 255, which is 0
                                 {73, 240, 0, 2, 260},   // goes on past it
                                 {74, 17, 0.05, 0, 17},  // 5 / 10 turns by nothing
                                 {100, 0, 1, 1, 20},     // the last slot that moves
                                 {101, 0, 1, 1, 0}};
    for (const auto &b : bumpers) {
        place(int(b[0]), KIND_BUMPER, 400, 300, b[2], b[3]);
        sprite[int(b[0])].angle = int(b[1]);
    }
    move_sprites();
    for (const auto &b : bumpers)
        EXPECT_EQ(sprite[int(b[0])].angle, b[4]) << b[0];
    EXPECT_EQ(at(3), N(102.7, 199.2, 2, -1));
    EXPECT_EQ(N(at(0)[0], at(71)[0], at(71)[1], at(100)[0], at(101)[0], at(5)[0]),
              N(694, 401.5, 299.5, 401, 400, 100));
    EXPECT_EQ(sprite[FIRST_POINTS_SLOT].x, 300);
    // One trail dot per ball in slot order, from the middle of where it was, blue for player 2.
    const particle_record &p = particles[1];
    EXPECT_EQ(N(p.x, p.y, p.life, p.type, live_particles()), N(105, 205, 10, PARTICLE_DOT, 3));
    EXPECT_NEAR(hypot(p.dx, p.dy), 0.2, 1e-12);
    EXPECT_EQ(N(particles[0].col, p.col, particles[2].col),
              N(makecol(0, 0, 255), makecol(0, 255, 0), makecol(0, 0, 255)));
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
        auto slow = [&](double v) { return type == KIND_BUMPER || fabs(v) <= 0.3 ? v : v * 0.992; };
        reduce_speed();
        EXPECT_EQ(at(r.slot), N(100, 300, slow(r.dx), slow(r.dy))) << r.dx;
        for (int k = 2; k <= 2000 && steps < 0; k++) {
            reduce_speed();
            if (sprite[r.slot].type == KIND_FREE) steps = k;
        }
        EXPECT_EQ(N(steps, sprite[r.slot].dx == 0), N(r.steps, r.steps > 0 || r.slot == 50));
    }
}

TEST_F(Rules, LaunchesLeaveTheLaunchersWithTheirSidesAimEverySixteenSteps)
{
    p1_dy = -40, p2_dy = 2.5f; // player 1's ball takes a quarter of the aim, player 2's twice it
    new_ball(KIND_P1_BALL);
    new_ball(KIND_P2_BALL);
    EXPECT_EQ(at(0), N(30, 290, 6, -10));
    EXPECT_EQ(at(1), N(770, 290, -6, 5));
    EXPECT_EQ(N(sprite[0].w, sprite[1].h, sprite[0].mass, sprite[1].mass, sprite[1].type),
              N(10, 10, 1, 1, KIND_P2_BALL));
    EXPECT_EQ(N(p1_balls, p2_balls, p1_frames, p2_frames), N(399, 399, 0, 0));
    const int rows[][3] = {// steps since the last launch, balls left, fires
                           {15, 400, 0},
                           {16, 400, 1},
                           {100, 0, 0},
                           {100, -1, 0},
                           {100, 1, 1}};
    for (const auto &r : rows)
        for (int side : {KIND_P1_BALL, KIND_P2_BALL}) {
            SetUp();
            int &frames = side == KIND_P1_BALL ? p1_frames : p2_frames;
            int &balls = side == KIND_P1_BALL ? p1_balls : p2_balls;
            frames = r[0], balls = r[1];
            new_ball(side);
            EXPECT_EQ(N(balls_of(side), balls, frames), N(r[2], r[1] - r[2], r[2] ? 0 : r[0]));
        }
    sprite[0].type = sprite[1].type = sprite[3].type = KIND_P2_BALL;
    new_ball(KIND_P1_BALL); // the lowest free slot
    EXPECT_EQ(N(sprite[2].type, free_ball_slot()), N(KIND_P1_BALL, 4));
    for (int n = 0; n <= OVERFLOW_BALL_SLOT; n++)
        place(n, KIND_P2_BALL, 400, 300, -3, 0);
    p1_frames = 100;
    new_ball(KIND_P1_BALL); // all 50 taken: the overflow ball is replaced
    EXPECT_EQ(N(sprite[50].type, sprite[50].x, sprite[49].type, sprite[51].type),
              N(KIND_P1_BALL, 30, KIND_P2_BALL, KIND_FREE));
}

// ---- controls and the computer ----

// Steps of controls; the launch timers move on as the play loop moves them.
static void input_steps(int steps)
{
    for (; steps > 0; steps--, p1_frames++, p2_frames++)
        player_input();
}

TEST_F(Rules, MouseAimsAndFiresForPlayerOneKeysForPlayerTwo)
{
    const float aims[][2] = {{0, -40}, {1, -40}, {80, 0}, {81, 0}, {82, 1}, {159, 39}, {160, 40}};
    for (const auto &a : aims)
        EXPECT_EQ(aim_from_mouse(int(a[0])), a[1]) << a[0];
    mouse_y = 0, mouse_b = 2; // the right button alone does not fire
    input_steps(1);
    EXPECT_EQ(N(p1_dy, balls_of(KIND_P1_BALL)), N(-40, 0));
    mouse_b = 3; // with the left one it does, every 16 steps, at this step's aim
    key[KEY_LCONTROL] = key[KEY_DOWN] = 1; // player 2 fires with the aim of the step before
    input_steps(1);
    EXPECT_EQ(N(at(0)[3], at(1)[3], p2_dy), N(-10, 0, float(0.06)));
    input_steps(200);
    EXPECT_EQ(p2_dy, 5.0f);
    key[KEY_DOWN] = 0, key[KEY_UP] = 1;
    input_steps(200);
    EXPECT_EQ(N(p2_dy, p1_balls, p2_balls), N(-5, 374, 374)); // a launch every 16 of 401 steps
    SetUp();
    Menu_Option = MENU_ONE_PLAYER; // no keys for player 2 against the computer
    key[KEY_LCONTROL] = key[KEY_UP] = 1;
    input_steps(40);
    EXPECT_EQ(N(p2_dy, balls_of(KIND_P2_BALL)), N(0, 0));
}

// A bumper right of x 600 moving toward player 2's side line.
static void threaten(int slot, double x = 650, double dx = 1)
{
    place(slot, KIND_BUMPER, x, 300, dx, 0);
}

// For each threatening bumper two draws: fire on 0 or 1 of ten, then turn the aim up by 0.01 on
// 0 or 1 of ten; a second shot in a step is refused by the launch gap. Past the top the aim
// jumps to the bottom. A bumper moving away, on the line, at rest or from the left is no
// threat, and in a two-player game the computer does not play: not one number is drawn.
TEST_F(Rules, ComputerDrawsFireThenAimForEachThreatOnlyInAOnePlayerGame)
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
        EXPECT_EQ(N(balls_of(KIND_P2_BALL), rand()), N(fires, r[4])) << seed;
        EXPECT_FLOAT_EQ(p2_dy, float(-0.01 * ((r[1] % 10 < 2) + (r[3] % 10 < 2)))) << seed;
        fired += fires;
    }
    EXPECT_TRUE(fired > 0 && fired < 60) << fired;
    p2_dy = -4.995f;
    for (int k = 0; k < 1000 && p2_dy == -4.995f; k++)
        input_steps(1);
    EXPECT_EQ(p2_dy, 5.0f);
    for (int game : {MENU_ONE_PLAYER, MENU_TWO_PLAYER}) {
        SetUp();
        Menu_Option = game;
        threaten(71, 650, -1), threaten(72, 600, 2), threaten(73, 700, 0), threaten(74, 550, 3);
        if (game == MENU_TWO_PLAYER) threaten(75);
        srand(7);
        input_steps(300);
        int next = rand();
        srand(7);
        EXPECT_EQ(N(p2_dy, balls_of(KIND_P2_BALL), next), N(0, 0, rand())) << game;
    }
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
    EXPECT_EQ(N(shot->w, shot->h, getr_depth(bitmap_color_depth(shot), getpixel(shot, 799, 599))),
              N(800, 600, 255));
    destroy_bitmap(shot);
}

// ---- collisions and scoring ----

// Head on along x, a ball of mass 1 at speed 6 gives a resting bumper of mass 20 2 x 6 / 21,
// and the bumper gives way 1/21 of the 1-pixel overlap: speed class (int)(12/21 + 1) = 1, 10
// points, no number shown. The burst is at the ball, pushed back 20/21.
TEST_F(Rules, BallStrikingRestingBumperHeadOnScoresTen)
{
    place(0, KIND_P1_BALL, 366, 300, 6, 0);
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    sprite[0].life = 5;
    check_collision();
    for (int i : {0, 2, 3})
        EXPECT_NEAR(at(71)[i], N(400 + 1.0 / 21, 300, 12.0 / 21, 0)[i], 1e-12);
    EXPECT_EQ(N(p1_score, p2_score, mult, live_points(), sprite[0].type, sprite[0].life),
              N(10, 0, 1, 0, KIND_FREE, 0));
    EXPECT_EQ(burst(0), N(365, 300, 4, 3, PARTICLE_STREAK));
}

TEST_F(Rules, HitScoresByTheBumpersSpeedClassAfterIt)
{
    const double rows[][3] = {// the bumper's dy, untouched by a hit along x (speed sum 12/21 +
                              // |dy|), the points, and whether they are shown
                              {0, 10, 0},  {1, 25, 0},  {-2, 50, 1}, {3, 100, 1},
                              {4, 250, 1}, {4.5, 0, 1}, {-9, 0, 1}};
    for (const auto &r : rows)
        for (int side : {KIND_P1_BALL, KIND_P2_BALL}) {
            SetUp();
            place(0, side, 366, 300, 6, 0);
            place(71, KIND_BUMPER, 400, 300, 0, r[0]);
            check_collision();
            const sprite_record &m = sprite[FIRST_POINTS_SLOT];
            EXPECT_EQ(N(side == KIND_P1_BALL ? p1_score : p2_score, p1_score + p2_score,
                        live_points(), m.points, m.direction, m.x, m.y),
                      r[2] ? N(r[1], r[1], 1, r[1], side, sprite[0].x, 300)
                           : N(r[1], r[1], 0, 0, 0, 0, 0))
                << r[0];
        }
    for (int speed_class : {-1000, -100, -10, -1, 0, 6, 7, 10, 100, 1000}) // none outside 1-5
        EXPECT_EQ(bumper_hit_points(speed_class), 0) << speed_class;
}

TEST_F(Rules, BallsMeetingAnythingAreUsedUpOnceAndScoreOnlyOnBumpers)
{
    place(71, KIND_BUMPER, 340, 240, 0, 0); // between two bumpers: one hit, the lower slot
    place(72, KIND_BUMPER, 402, 240, 0, 0);
    place(0, KIND_P2_BALL, 371, 256, 0, -6); // 34.9 from both centres
    place(4, KIND_P1_BALL, 100, 300, 1, 0);  // two balls of a side, each giving way 1 pixel
    place(9, KIND_P1_BALL, 108, 300, -1, 0);
    place(10, KIND_P1_BALL, 400, 400, 6, 0); // and of two sides
    place(11, KIND_P2_BALL, 405, 404, -6, 0);
    place(12, KIND_P1_BALL, 364.999, 500, 6, 0); // a hair from touching
    place(73, KIND_BUMPER, 400, 500, 0, 0);
    check_collision();
    EXPECT_EQ(N(p2_score, p1_score, live_points(), live_explosions()), N(10, 0, 0, 3));
    EXPECT_EQ(at(72), N(402, 240, 0, 0));
    EXPECT_EQ(at(73), N(400, 500, 0, 0));
    EXPECT_EQ(at(12), N(364.999, 500, 6, 0));
    EXPECT_NE(sprite[71].dx, 0);
    EXPECT_EQ(N(sprite[0].type, sprite[4].type, sprite[9].type, sprite[10].type, sprite[11].type),
              N(0, 0, 0, 0, 0));
    EXPECT_EQ(burst(1), N(104, 300, 5, 2, PARTICLE_DOT));
    SetUp(); // exactly touching: 35 apart, radii 5 + 30, no overlap to undo
    place(0, KIND_P1_BALL, 365, 300, 6, 0);
    place(71, KIND_BUMPER, 400, 300, 0, 0);
    check_collision();
    EXPECT_EQ(N(sprite[0].type, sprite[71].x, p1_score), N(KIND_FREE, 400, 10));
    SetUp(); // a fresh field: the edge circles overlap, but nothing moves
    initialise_sprites();
    sprite_record before[SPRITE_SLOTS];
    memcpy(before, sprite, sizeof sprite);
    check_collision();
    EXPECT_EQ(memcmp(before, sprite, sizeof sprite), 0);
    EXPECT_EQ(N(p1_score, p2_score, live_explosions(), live_flashes()), N(0, 0, 0, 0));
}

// Equal masses exchange their speeds along the line: the lower slot leaves at 3, so mult is
// 10 x (int)(3 + 1) = 40 and the burst flies at 20 from where each gave way half a pixel. A
// centre is taken when its turn begins: 74 gives way half a pixel to 75 and would then touch
// 76 (60.3 from 400 but 59.8 from 399.5), yet is measured from where it started.
TEST_F(Rules, BumpersClashWithABurstAsFastAsHalfOfMult)
{
    place(71, KIND_BUMPER, 359, 100, 0, 0);
    place(72, KIND_BUMPER, 300, 100, 3, 0);
    place(74, KIND_BUMPER, 400, 300, 0, 0);
    place(75, KIND_BUMPER, 459, 300, 0, 0);
    place(76, KIND_BUMPER, 339.7, 300, 0, 0);
    check_collision();
    EXPECT_NEAR(sprite[71].dx, 3, 1e-12);
    EXPECT_NEAR(sprite[72].dx, 0, 1e-12);
    EXPECT_EQ(burst(0), N(329, 100, 6, 20, PARTICLE_STREAK));
    EXPECT_EQ(N(at(74)[0], at(75)[0], at(76)[0], live_explosions()), N(399.5, 459.5, 339.7, 2));
    EXPECT_EQ(N(mult, p1_score + p2_score), N(10, 0)); // the last clash was from rest
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
        EXPECT_EQ(N(live_flashes(), rebound[step - 1].type), N(step, KIND_PAD_TOP_LEFT));
        if (step > 1) continue;
        EXPECT_NEAR(sprite[71].dy, 2.0 * 9980 / 10020, 1e-12);
        EXPECT_NEAR(sprite[71].y, 74 + 10000.0 / 10020, 1e-9);
        EXPECT_TRUE(sprite[0].dx < 0 && sprite[0].dy < 0);
    }
    EXPECT_EQ(at(104), N(400, -1180, 0, 0));
    EXPECT_EQ(N(sprite[0].type, p1_score + p2_score), N(KIND_P2_BALL, 0));
}

TEST_F(Rules, SideLinesTurnEverythingBackAndScoreBumpersForTheOtherSide)
{
    place(71, KIND_BUMPER, 50, 300, -1, 0); // left edge at 20, beyond 28
    place(76, KIND_BUMPER, 743, 200, 2, 1); // right edge at 773, beyond 772
    place(72, KIND_BUMPER, 58, 400, -1, 0); // exactly on the lines: left alone
    place(73, KIND_BUMPER, 742, 500, 1, 0);
    place(0, KIND_P1_BALL, 32, 100, -2, 1); // balls turn back but score nothing
    place(1, KIND_P2_BALL, 768, 100, 3, 0);
    for (int step = 1, flip = -1; step <= 2; step++, flip = -flip) {
        check_collision(); // every step beyond a line turns it, and a bumper scores 250
        EXPECT_EQ(N(p1_score, p2_score, at(71)[2], at(76)[2], at(0)[2], at(1)[2]),
                  N(250 * step, 250 * step, -flip, 2 * flip, -2 * flip, 3 * flip));
    }
    EXPECT_EQ(N(at(72)[2], at(73)[2], at(0)[3], live_points()), N(-1, 1, 1, 4));
    const sprite_record &left = sprite[FIRST_POINTS_SLOT], &right = sprite[FIRST_POINTS_SLOT + 1];
    EXPECT_EQ(
        N(left.points, left.direction, left.x, left.y, right.points, right.direction, right.x),
        N(250, 2, 50, 300, 250, 1, 743));
}

// ---- the field, and one logic step ----

TEST_F(Rules, SetUpLeavesSixBumpersAtRestAndTheEdgeCirclesAndANewGameItsCounts)
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
        EXPECT_EQ(N(s.type, s.x, s.y, s.w, s.h, s.mass, s.dx, s.dy, s.angle, s.frame),
                  N(r[1], r[2], r[3], r[4], r[4], r[5], 0, 0, r[6], bumper))
            << r[0];
    }
    for (const sprite_record &s : sprite)
        kept += (s.type != KIND_FREE) + 100 * s.life;
    EXPECT_EQ(kept, 12);
    p1_dy = 33, p2_dy = -4, p1_balls = 0, p2_balls = 17, p1_score = 5000, p2_score = 250;
    countdown_flag = 999, p1_frames = 7, p2_frames = 3, new_high = 1;
    initialise_newgame(); // the launch timers and the run's new-best flag stay
    EXPECT_EQ(N(p1_dy, p2_dy, p1_balls, p2_balls, p1_score, p2_score, countdown_flag, p1_frames,
                p2_frames, new_high),
              N(0, 0, 400, 400, 0, 0, 0, 7, 3, 1));
}

// Every part of a step leaves its mark: a ball in flight, a bumper beyond the right line, an
// explosion of two steps, player 1's button down, a ball at rest in slot 50. Play launches by
// the button before friction; the closing scene clears a resting overflow ball instead.
TEST_F(Rules, OneLogicStepRunsEveryPartOfPlayInOrder)
{
    for (bool closing : {false, true}) {
        SetUp();
        place(0, KIND_P1_BALL, 100, 100, 2, 0);
        place(72, KIND_BUMPER, 760, 300, 0, 0);
        place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 500, 0, 0);
        create_explosion(400, 400, 2, 1, PARTICLE_DOT);
        mouse_b = 1;
        closing ? gameover_logic_step() : play_logic_step();
        EXPECT_EQ(at(0), N(102, 100, 2 * 0.992, 0)); // moved, then slowed
        // The side line scored and its number drifted a step; the trail dot and the spray of
        // life 2 aged once: the ball's, the resting ball's and 41 of the explosion.
        EXPECT_EQ(N(p1_score, sprite[FIRST_POINTS_SLOT].x, particles[0].life, particles[2].life,
                    explosion[0].life, live_particles()),
                  N(250, 759, 9, 1, 1, 43));
        EXPECT_EQ(at(1), closing ? N(0, 0, 0, 0) : N(30, 290, 6 * 0.992, -10 * 0.992));
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
    static void passes(int n)
    {
        for (; n > 0 && game_continues(); n--)
            play_pass(counted_frame);
    }
};

TEST_F(Game, CountFallsByOneEvery200TicksAndEachStageFiresOnceArmedByTheOneBefore)
{
    const int rows[][2] = {{0, 100},   {199, 100}, {200, 99},  {18400, 8},
                           {18599, 8}, {20000, 0}, {20199, 0}, {20200, -1}};
    for (const auto &r : rows) {
        target_frames = r[0];
        EXPECT_EQ(end_of_game_count(), r[1]) << r[0];
    }
    std::vector<std::pair<int, int>> fired; // tick, sample
    for (int t = 0; t <= 20400; t++) {
        target_frames = t;
        for (int again = 0; again < 2; again++)
            if (int sample = check_end_of_game_count(); sample >= 0) fired.emplace_back(t, sample);
    }
    EXPECT_EQ(fired, (std::vector<std::pair<int, int>>{{18400, DAT_WARNING_SOUND},
                                                       {19000, DAT_COUNT5_SOUND},
                                                       {19200, DAT_COUNT4_SOUND},
                                                       {19400, DAT_COUNT3_SOUND},
                                                       {19600, DAT_COUNT2_SOUND},
                                                       {19800, DAT_COUNT1_SOUND},
                                                       {20000, DAT_END_OF_TIME_SOUND}}));
    EXPECT_EQ(countdown_flag, 999);
    int later = countdown_flag = 0; // the warning at 8 missed: nothing later fires
    for (int t = 18600; t <= 20400; t++) {
        target_frames = t;
        later += check_end_of_game_count() >= 0;
    }
    EXPECT_EQ(N(later, countdown_flag), N(0, 0));
    for (int i = 0; i < 500; i++) // the timer's ticks, and a reset between them
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
    passes(300);
    // Pass 0 draws frame 1, pass 1 frames 2 and 3 (the first tick), then three a pass, each
    // showing a step at most one ahead of the clock.
    EXPECT_EQ(N(actual_frames, target_frames, frames_drawn, most_ahead), N(300, 299, 897, 1));
    frames_per_tick = 1, ticks_per_frame = 2; // a slow machine: one frame a step all the same
    actual_frames = target_frames = frames_drawn = 0;
    passes(300);
    EXPECT_EQ(N(frames_drawn, target_frames, p1_frames + p2_frames), N(300, 600, 1200));
}

TEST_F(Game, GameEndsOnEscapeTimeOrBothSidesOutOfBalls)
{
    const int rows[][4] = {// Escape, ticks, balls of each side, and whether the game goes on
                           {0, 0, 1, 1},
                           {1, 0, 1, 0},
                           {0, 20199, 1, 1},
                           {0, 20200, 1, 0},
                           {0, 0, 0, 1}}; // player 2 alone still has balls
    for (const auto &r : rows) {
        key[KEY_ESC] = r[0], target_frames = r[1], p1_balls = r[2];
        EXPECT_EQ(game_continues(), bool(r[3])) << r[0] << " " << r[1] << " " << r[2];
    }
    p2_balls = 0;
    EXPECT_FALSE(game_continues());
    const int games[][3] = {{-1, 400, 20200}, // the whole time: 20200 passes
                            {50, 400, 50},    // Escape at the 50th frame
                            {-1, 3, 33}};     // 3 balls, the last one launched in pass 33
    for (const auto &g : games) {
        SetUp();
        escape_at = g[0], p1_balls = g[1], p2_balls = g[1] == 3 ? 0 : 400;
        p1_frames = 100, mouse_b = g[1] == 3;
        passes(30000);
        EXPECT_EQ(actual_frames, g[2]);
    }
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
    EXPECT_EQ(N(hi, new_high), N(130, 1));
    target_frames = 18400, p1_score = 140; // a pass takes the best along and fires the count
    passes(1);
    EXPECT_EQ(N(hi, countdown_flag, actual_frames, p1_frames + p2_frames), N(140, 5, 1, 2));
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
    EXPECT_EQ(N(sprite[3].type, live_particles(), live_explosions(), live_flashes(), sprite[71].x,
                hi), // without a file, the built-in table's best
              N(0, 0, 0, 0, 340, 90));
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
        EXPECT_EQ(N(tables_shown, score_table[9].player_score, access(SCORE_FILE, F_OK) == 0),
                  N(r.named.size(), r.tenth, !r.named.empty()));
        TearDown();
        *home = 0;
    }
    EXPECT_STREQ(score_table[1].player_name, "P95");
}
