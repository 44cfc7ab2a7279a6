// test_rules -- the rules of play: motion, friction, launches, controls, the computer player,
// collisions, scoring, side lines and the course of a game
#include <tuple>

#include "check_collision.h"
#include "explosions.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "hiscore.h"
#include "move_sprites.h"
#include "moving_points.h"
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
static int balls_of(int type)
{
    return int(std::count_if(sprite, std::end(sprite), [=](auto &s) { return s.type == type; }));
}

TEST_F(Rules, BallsMoveAndShedTrailsBumpersMoveAndSpin)
{
    place(0, KIND_P2_BALL, 700, 300, -6, 0);
    place(3, KIND_P1_BALL, 100.7, 200.2, 2, -1);
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 400, 300, 0, 0);
    const double bumpers[][5] = {                        // slot, angle, dx, dy, angle after
                                 {71, 5, 1.5, -0.5, 25}, // turns (150 + 50) / 10
                                 {72, 235, -2, 0, 0},    // lands on 255, which is 0
                                 {73, 240, 0, 2, 260},   // goes on past it
                                 {101, 0, 1, 1, 0}};     // past the last slot that moves
    for (const auto &b : bumpers)
        place(int(b[0]), KIND_BUMPER, 400, 300, b[2], b[3]), sprite[int(b[0])].angle = int(b[1]);
    set_color_depth(32), move_sprites(), set_color_depth(16); // colours kept to the bit
    for (const auto &b : bumpers)
        EXPECT_EQ(sprite[int(b[0])].angle, b[4]) << b[0];
    EXPECT_EQ(at(3), N(102.7, 199.2, 2, -1));
    EXPECT_EQ(N(at(0)[0], sprite[0].type, at(71)[0], at(71)[1], at(101)[0]),
              N(694, KIND_P2_BALL, 401.5, 299.5, 400));
    // One trail dot per ball in slot order, from the middle of where it was, blue for player 2.
    const particle_record &p = particles[1];
    EXPECT_EQ(N(p.x, p.y, p.life, live(particles), particles[0].col, p.col),
              N(105, 205, 10, 3, makecol32(0, 0, 255), makecol32(0, 255, 0)));
}

TEST_F(Rules, FrictionSlowsBallsAndRemovesThemBelowPointThree)
{
    const double rows[][6] = {
        // slot, dx, dy, steps until removed (-1 never), dx and dy after
        {0, 6, 0, 373, 0, 0},          // 6 x 0.992^k < 0.3 first at k = 373
        {7, -2, 0.25, 237, 0, 0},      // the slow component is left alone
        {8, -0.3, 0.3, -1, -0.3, 0.3}, // at the stop speed: neither slowed nor gone
        {50, 1, -1, -1, 0, 0},         // the overflow ball stops but stays
        {71, 3, -0.4, -1, 3, -0.4}};   // bumpers are never slowed
    for (const auto &r : rows) {
        SetUp();
        int slot = int(r[0]), steps = -1;
        place(slot, slot == 71 ? KIND_BUMPER : KIND_P1_BALL, 100, 300, r[1], r[2]);
        for (int k = 1; k <= 2000 && steps < 0; k++) {
            reduce_speed();
            if (sprite[slot].type == KIND_FREE) steps = k;
        }
        EXPECT_EQ(N(steps, sprite[slot].dx, sprite[slot].dy), N(r[3], r[4], r[5])) << slot;
    }
}

TEST_F(Rules, LaunchesLeaveTheLaunchersWithTheirSidesAimEverySixteenSteps)
{
    p1_dy = -40, p2_dy = 2.5f; // player 1's ball takes a quarter of the aim, player 2's twice it
    new_ball(KIND_P1_BALL), new_ball(KIND_P2_BALL);
    EXPECT_EQ(at(0), N(30, 290, 6, -10));
    EXPECT_EQ(at(1), N(770, 290, -6, 5));
    EXPECT_EQ(sounds, (sound_log{{DAT_LAUNCH_SOUND_P1, 128, 255, 1000},
                                 {DAT_LAUNCH_SOUND_P2, 128, 255, 1000}}));
    EXPECT_EQ(N(sprite[0].w, sprite[1].mass, sprite[1].type, p1_balls, p2_balls, p1_frames),
              N(10, 1, KIND_P2_BALL, 399, 399, 0));
    // Steps since the last launch, balls left, and whether it fires.
    const int rows[][3] = {{15, 400, 0}, {16, 400, 1}, {100, 0, 0}, {100, 1, 1}};
    for (const auto &r : rows) {
        SetUp(), p2_frames = r[0], p2_balls = r[1];
        new_ball(KIND_P2_BALL);
        EXPECT_EQ(N(balls_of(KIND_P2_BALL), p2_balls), N(r[2], r[1] - r[2])) << r[0];
    }
    sprite[0].type = sprite[1].type = sprite[3].type = KIND_P2_BALL, new_ball(KIND_P1_BALL);
    EXPECT_EQ(N(sprite[2].type, free_ball_slot()), N(KIND_P1_BALL, 4)); // the lowest free slot
    for (int n = 0; n <= OVERFLOW_BALL_SLOT; n++)
        place(n, KIND_P2_BALL, 400, 300, -3, 0);
    p1_frames = 100, new_ball(KIND_P1_BALL); // all 50 taken: the overflow ball is replaced
    EXPECT_EQ(N(sprite[50].type, sprite[50].x, sprite[49].type), N(KIND_P1_BALL, 30, KIND_P2_BALL));
}

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
    EXPECT_EQ(mouse_range, (std::array<int, 4>{10, 0, 10, 160})); // the pointer held to a column
    mouse_b = 3;                           // with the left one it does, at this step's aim
    key[KEY_LCONTROL] = key[KEY_DOWN] = 1; // player 2 fires with the aim of the step before
    input_steps(1);
    EXPECT_EQ(N(at(0)[3], at(1)[3], p2_dy), N(-10, 0, float(0.06)));
    input_steps(200);
    key[KEY_DOWN] = 0, key[KEY_UP] = 1, input_steps(200);
    EXPECT_EQ(N(p2_dy, p1_balls, p2_balls), N(-5, 374, 374)); // a launch every 16 of 401 steps
    SetUp(), Menu_Option = MENU_ONE_PLAYER; // no keys for player 2 against the computer
    key[KEY_LCONTROL] = key[KEY_UP] = 1;
    input_steps(40);
    EXPECT_EQ(N(p2_dy, balls_of(KIND_P2_BALL)), N(0, 0));
}

// Per bumper right of x 600 moving right two draws: fire on 0 or 1 of ten, then aim up 0.01 on
// 0 or 1 of ten; a second shot in a step is refused by the launch gap.
TEST_F(Rules, ComputerDrawsFireThenAimForEachThreatOnlyInAOnePlayerGame)
{
    for (unsigned seed = 1; seed <= 20; seed++) {
        SetUp(), Menu_Option = MENU_ONE_PLAYER;
        place(71, KIND_BUMPER, 650, 300, 1, 0), place(74, KIND_BUMPER, 650, 300, 1, 0);
        srand(seed);
        const int r[5] = {rand(), rand(), rand(), rand(), rand()};
        srand(seed), player_input();
        EXPECT_EQ(N(balls_of(KIND_P2_BALL), rand()), N(r[0] % 10 < 2 || r[2] % 10 < 2, r[4]));
        EXPECT_FLOAT_EQ(p2_dy, float(-0.01 * ((r[1] % 10 < 2) + (r[3] % 10 < 2)))) << seed;
    }
    // Moving away, on the line, at rest, from the left, or in a two-player game: no draw at all.
    const double quiet[][3] = {{650, -1, 1}, {600, 2, 1}, {700, 0, 1}, {550, 3, 1}, {650, 1, 2}};
    for (const auto &q : quiet) {
        SetUp();
        Menu_Option = q[2] == 1 ? MENU_ONE_PLAYER : MENU_TWO_PLAYER;
        place(71, KIND_BUMPER, q[0], 300, q[1], 0);
        srand(7), input_steps(300);
        int next = rand();
        srand(7);
        EXPECT_EQ(N(p2_dy, balls_of(KIND_P2_BALL), next), N(0, 0, rand())) << q[0] << " " << q[1];
    }
}

// Head on, a ball of mass 1 at 6 gives a resting bumper of mass 20 2 x 6 / 21 along x and is
// used up; speed class (int)(12/21 + |dy| + 1) picks the points, from 3 on shown.
TEST_F(Rules, BallStrikingBumperScoresByTheBumpersSpeedClassAfterIt)
{
    // The bumper's dy, the points, and whether they are shown.
    const double rows[][3] = {{0, 10, 0},  {1, 25, 0},  {-2, 50, 1}, {3, 100, 1},
                              {4, 250, 1}, {4.5, 0, 1}, {-9, 0, 1}};
    for (const auto &r : rows)
        for (int side : {KIND_P1_BALL, KIND_P2_BALL}) {
            SetUp(), place(0, side, 366, 300, 6, 0);
            place(71, KIND_BUMPER, 400, 300, 0, r[0]);
            check_collision();
            EXPECT_NEAR(sprite[71].dx, 12.0 / 21, 1e-12);
            const sprite_record &m = sprite[FIRST_POINTS_SLOT];
            EXPECT_EQ(N(side == KIND_P1_BALL ? p1_score : p2_score, p1_score + p2_score,
                        live_points(), m.points, m.direction, sprite[0].type, explosion[0].x),
                      r[2] ? N(r[1], r[1], 1, r[1], side, 0, 365) : N(r[1], r[1], 0, 0, 0, 0, 365))
                << r[0];
        }
    for (int speed_class : {-1000, -1, 0, 6, 1000}) // none outside 1-5
        EXPECT_EQ(bumper_hit_points(speed_class), 0) << speed_class;
}

TEST_F(Rules, BallsMeetingAnythingAreUsedUpOnceAndScoreOnlyOnBumpers)
{
    place(71, KIND_BUMPER, 340, 240, 0, 0); // between two bumpers: one hit, the lower slot
    place(72, KIND_BUMPER, 402, 240, 0, 0);
    place(0, KIND_P2_BALL, 371, 256, 0, -6); // 34.9 from both centres
    place(4, KIND_P1_BALL, 100, 300, 1, 0);  // two balls of a side
    place(9, KIND_P1_BALL, 108, 300, -1, 0);
    place(10, KIND_P1_BALL, 400, 400, 6, 0); // and of two sides
    place(11, KIND_P2_BALL, 405, 404, -6, 0);
    place(12, KIND_P1_BALL, 364.999, 500, 6, 0); // a hair from touching
    place(73, KIND_BUMPER, 400, 500, 0, 0);
    check_collision();
    EXPECT_EQ(N(p2_score, p1_score, live_points(), live(explosion)), N(10, 0, 0, 3));
    EXPECT_EQ(N(at(72)[2], at(73)[2], at(12)[0], sprite[12].type), N(0, 0, 364.999, KIND_P1_BALL));
    EXPECT_EQ(N(sprite[0].type, sprite[4].type, sprite[9].type, sprite[10].type, sprite[11].type),
              N(0, 0, 0, 0, 0));
}

// Equal masses swap speeds: the lower slot leaves at 3, mult 10 x (int)(3 + 1) = 40, the burst
// flies at 20; each centre is taken as its turn begins (76 stays clear of 74's start); the
// last clash, from rest, leaves mult 10 and no score.
TEST_F(Rules, BumpersClashWithABurstAsFastAsHalfOfMult)
{
    place(71, KIND_BUMPER, 359, 100, 0, 0), place(72, KIND_BUMPER, 300, 100, 3, 0);
    place(74, KIND_BUMPER, 400, 300, 0, 0), place(75, KIND_BUMPER, 459, 300, 0, 0);
    place(76, KIND_BUMPER, 339.7, 300, 0, 0);
    check_collision();
    EXPECT_NEAR(sprite[71].dx - sprite[72].dx, 3, 1e-12);
    const explosion_record &e = explosion[0];
    EXPECT_EQ(N(e.x, e.life, e.speed, at(74)[0], at(75)[0], at(76)[0], live(explosion), mult,
                p1_score + p2_score),
              N(329, 6, 20, 399.5, 459.5, 339.7, 2, 10, 0));
    EXPECT_EQ(sounds, sound_log(2, {DAT_CLASH_SOUND, 128, 128, 1000}));
}

// Against mass 10000 a bumper of mass 20 keeps (10000 - 20) / (10000 + 20) of its speed,
// reversed; a bumper on a corner pad flashes it every step, the top edge and a ball never do.
TEST_F(Rules, EdgesTurnObjectsBackAndCornerPadsFlashUnderBumpers)
{
    initialise_sprites();
    place(71, KIND_BUMPER, 400, 74, 0, -2); // 1 pixel into the top edge (lowest point y 45)
    place(72, KIND_BUMPER, 145, 100, 0, 0); // within the top-left pad's reach
    place(73, KIND_BUMPER, 145, 500, 0, 0); // and the bottom-left one's, in the first edge slot
    place(0, KIND_P2_BALL, 691, 491, 2, 2); // 154.2 from the bottom-right corner
    check_collision();
    EXPECT_NEAR(sprite[71].dy, 2.0 * 9980 / 10020, 1e-12);
    EXPECT_TRUE(sprite[0].dx < 0 && sprite[0].dy < 0);
    check_collision();
    EXPECT_EQ(N(live(rebound), rebound[1].type, at(104)[1], sprite[0].type, p1_score + p2_score),
              N(4, KIND_PAD_BOTTOM_LEFT, -1180, KIND_P2_BALL, 0));
    EXPECT_EQ(sounds, sound_log(4, {DAT_PAD_SOUND, 255, 255, 1000}));
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
    EXPECT_EQ(N(at(72)[2], at(73)[2], at(0)[3], live_points(), sprite[FIRST_POINTS_SLOT].direction),
              N(-1, 1, 1, 4, 2));
    const sound_log goals = {{DAT_GOAL_SOUND, 255, 0, 1000}, {DAT_GOAL_SOUND, 255, 255, 500}};
    EXPECT_EQ(sounds, (sound_log{goals[0], goals[1], goals[0], goals[1]})); // left, then right
}

// Passes of the play loop, each frame drawn taking one tick of the clock.
static void passes(int n)
{
    for (; n > 0 && game_continues(); n--)
        play_pass([] { target_frames = target_frames + 1; });
}

// Logic never runs ahead of the clock, and a machine behind it still draws every step once.
TEST_F(Rules, DrawingWaitsForTheClockButNeverSkipsAFrame)
{
    const int rows[][3] = {{7, 4, 3},  // three ticks behind the logic: redrawn until they come
                           {0, 5, 1}}; // the clock ahead: one frame, nothing skipped
    for (const auto &r : rows) {
        actual_frames = r[0], target_frames = r[1];
        EXPECT_EQ(draw_paced([] { target_frames = target_frames + 1; }), r[2]) << r[0];
    }
    __inc_game_time(); // the timer's tick
    EXPECT_EQ(target_frames, 7);
}

// The last slot of each range a step walks takes part in it.
TEST_F(Rules, StepsReachTheLastSlotsOfTheirRanges)
{
    for (int n = 0; n < LAST_BALL_SLOT; n++)
        sprite[n].type = KIND_P1_BALL;
    EXPECT_EQ(free_ball_slot(), LAST_BALL_SLOT);
    memset(sprite, 0, sizeof sprite);
    place(LAST_BALL_SLOT, KIND_P2_BALL, 100, 500, 0, 0);  // at rest: leaves the field
    place(LAST_SPARE_SLOT, KIND_P1_BALL, 100, 300, 1, 0); // slowed, never removed
    place(LAST_MOVED_SLOT, KIND_BUMPER, 300, 300, 1, 0);
    place(98, KIND_BUMPER, 187, 300, 0, 0), place(99, KIND_BUMPER, 245, 300, 0, 0); // 2 apart
    move_sprites();
    reduce_speed();
    EXPECT_EQ(N(sprite[49].type, at(70)[0], at(70)[2], sprite[70].type), N(0, 101, 0.992, 1));
    check_collision(); // 98 and 99 pushed 1 each; 99 then half its overlap of 5 with 100
    EXPECT_EQ(N(at(98)[0], at(99)[0], at(100)[0]), N(186, 243.5, 301)); // 100 never moves
    Menu_Option = MENU_ONE_PLAYER; // the computer watches the last bumper slot
    place(LAST_BUMPER_SLOT, KIND_BUMPER, 650, 300, 1, 0);
    srand(5), player_input();
    int after = rand();
    srand(5), rand(), rand(); // its two draws, to fire and to aim
    EXPECT_EQ(rand(), after);
    sprite[LAST_POINTS_SLOT].life = 5, sprite[LAST_POINTS_SLOT].type = KIND_MOVING_POINT;
    update_moving_points();
    EXPECT_EQ(sprite[LAST_POINTS_SLOT].life, 4);
}

TEST_F(Rules, CountFallsByOneEvery200TicksAndEachStageFiresOnceArmedByTheOneBefore)
{
    std::vector<std::pair<int, int>> fired,
        want = {{18400, DAT_WARNING_SOUND},    {19000, DAT_COUNT5_SOUND}, {19200, DAT_COUNT4_SOUND},
                {19400, DAT_COUNT3_SOUND},     {19600, DAT_COUNT2_SOUND}, {19800, DAT_COUNT1_SOUND},
                {20000, DAT_END_OF_TIME_SOUND}};
    for (int t = 0; t <= 20400; t++) {
        target_frames = t;
        for (int again = 0; again < 2; again++)
            if (int sample = check_end_of_game_count(); sample >= 0) fired.emplace_back(t, sample);
    }
    EXPECT_EQ(fired, want);
    ASSERT_EQ(sounds.size(), want.size());
    for (size_t k = 0; k < want.size(); k++)
        EXPECT_EQ(sounds[k], (sound{want[k].second, 255, 128, 1000}));
    int later = countdown_flag = 0; // the warning at 8 missed: nothing later fires
    for (int t = 18600; t <= 20400; t++) {
        target_frames = t;
        later += check_end_of_game_count() != -1; // -1: no sample
    }
    EXPECT_EQ(N(later, countdown_flag), N(0, 0));
}

TEST_F(Rules, GameEndsOnEscapeTimeOrBothSidesOutOfBalls)
{
    // Escape, ticks, player 1's balls (player 2 has some), and whether the game goes on.
    const int rows[][4] = {
        {0, 0, 1, 1}, {1, 0, 1, 0}, {0, 20199, 1, 1}, {0, 20200, 1, 0}, {0, 0, 0, 1}};
    for (const auto &r : rows) {
        key[KEY_ESC] = r[0], target_frames = r[1], p1_balls = r[2];
        EXPECT_EQ(game_continues(), bool(r[3])) << r[0] << " " << r[1] << " " << r[2];
    }
    SetUp(); // the last of 3 balls is launched in pass 33, and the game ends with both out
    p1_balls = 3, p2_balls = 0, p1_frames = 100, mouse_b = 1;
    passes(30000);
    EXPECT_EQ(actual_frames, 33);
}

TEST_F(Rules, NewBestScorePlaysItsSampleOncePerRunAndAPassKeepsItUp)
{
    hi = 90, p1_score = 90;
    EXPECT_FALSE(update_best_score()); // equal is no new best
    p2_score = 91;
    EXPECT_TRUE(update_best_score());
    p1_score = 130;
    EXPECT_FALSE(update_best_score());
    EXPECT_EQ(N(hi, new_high), N(130, 1));
    target_frames = 18400, p1_score = 140; // a pass takes the best along and fires the count
    passes(1);
    EXPECT_EQ(N(hi, countdown_flag, actual_frames), N(140, 5, 1));
    EXPECT_EQ(sounds, (sound_log{{DAT_NEW_HIGH_SOUND, 255, 128, 1000},
                                 {DAT_WARNING_SOUND, 255, 128, 1000}}));
}

// Player 1's score enters first, then player 2's against the table as player 1 left it, and only
// in a two-player game; a score equal to the tenth place does not enter. The close button waits
// while a score is kept.
TEST_F(Rules, QualifyingScoresEnterTheTablePlayerOneFirst)
{
    enter_temp_dir();
    static std::string entered;
    static const score_screens logged = {
        [](int score) { entered += std::to_string(score) + (keeping_score ? "k " : " "); },
        [](int wait) { entered += "shown" + std::to_string(wait) + " "; }};
    const std::tuple<int, int, int, const char *> rows[] = {
        {MENU_ONE_PLAYER, 41, 500, "41k shown1 "}, // the computer never enters
        {MENU_TWO_PLAYER, 40, 41, "41k shown1 "},  // 40 only ties the tenth place
        {MENU_TWO_PLAYER, 50, 45, "50k shown1 "},  // 50 pushes 45 down to the tenth place
        {MENU_TWO_PLAYER, 41, 60, "41k shown1 60k shown1 "}};
    for (auto [menu, p1, p2, want] : rows) {
        set_default_scores(); // places 6-9 at 45, the tenth at 40
        for (int a = 5; a < 9; a++)
            score_table[a].player_score = 45;
        Menu_Option = menu, p1_score = p1, p2_score = p2, entered.clear();
        enter_high_scores(logged);
        EXPECT_EQ(entered + std::to_string(keeping_score), want + std::string("0"));
    }
}

// Before every game the menu pass frees every table, whatever the last game left, places the
// bumpers and edges at rest and takes the best score from the table; a new game resets the rest.
TEST_F(Rules, EveryGameStartsFromFreeTablesAndResetCounters)
{
    enter_temp_dir();
    for (sprite_record &s : sprite)
        s.type = KIND_P1_BALL, s.life = 9, s.dx = s.dy = 3;
    create_particle(1, 1, 1, PARTICLE_DOT, 1, 1, 1, 50);
    create_explosion(1, 1, 5, 1, PARTICLE_DOT);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    start_menu_pass();
    int taken = 0, moving = 0;
    for (const sprite_record &s : sprite)
        taken += s.type != KIND_FREE || s.life != 0, moving += s.type && (s.dx || s.dy);
    EXPECT_EQ(N(taken, moving, live(particles), live(explosion), live(rebound), hi),
              N(12, 0, 0, 0, 0, 90));
    p1_dy = p2_dy = 3, p1_balls = p2_balls = 5, p1_score = p2_score = 7, countdown_flag = 99;
    initialise_newgame();
    EXPECT_EQ(N(p1_dy, p2_dy, p1_balls, p2_balls, p1_score, p2_score, countdown_flag),
              N(0, 0, 400, 400, 0, 0, 0));
}
