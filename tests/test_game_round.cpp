// Tests of the game round: pacing against the tick counter, the end-of-game count, the three
// ways a game ends, the best score and the high-score entries.
#include <cstring>
#include <unistd.h>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "game_clock.h"
#include "game_round.h"
#include "gamedata.h"
#include "headless.h"
#include "hiscore.h"
#include "init.h"
#include "play_frame.h"
#include "title_screen.h"

namespace {

// Stand-in frames: each drawn frame lets the test's clock move on by a set pattern.
int frames_drawn = 0;
int ticks_per_frame = 1; // ticks the clock gains with each frame ...
int frames_per_tick = 1; // ... or one tick every this many frames
int escape_after = -1;   // press Escape when this many frames are drawn
int most_ahead = 0;      // the furthest the logic was ahead of the clock at a frame

void counted_frame()
{
    frames_drawn++;
    if (frames_drawn % frames_per_tick == 0) target_frames = target_frames + ticks_per_frame;
    if (actual_frames - target_frames > most_ahead) most_ahead = actual_frames - target_frames;
    if (frames_drawn == escape_after) key[KEY_ESC] = 1;
}

} // namespace

class GameRound : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_sprites();
        initialise_newgame();
        target_frames = 0;
        actual_frames = 0;
        p1_frames = p2_frames = 0;
        frames_drawn = 0;
        ticks_per_frame = frames_per_tick = 1;
        escape_after = -1;
        most_ahead = 0;
        mouse_b = 0;
        mouse_y = 80;
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        Menu_Option = MENU_TWO_PLAYER;
    }
    void TearDown() override
    {
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        mouse_b = 0;
    }
    static void run_play_loop()
    {
        while (game_continues())
            play_pass(counted_frame);
    }
};

TEST_F(GameRound, CountFallsByOneEvery200Ticks)
{
    const std::pair<int, int> ticks_to_count[] = {
        {0, 100},   {199, 100}, {200, 99},  {18400, 8},
        {18599, 8}, {20000, 0}, {20199, 0}, {20200, -1},
    };
    for (auto [ticks, count] : ticks_to_count) {
        target_frames = ticks;
        EXPECT_EQ(end_of_game_count(), count) << ticks << " ticks";
    }
}

// --- pacing ---

TEST_F(GameRound, AheadOfTheClockRedrawsUntilItCatchesUp)
{
    actual_frames = 7;
    target_frames = 4;
    EXPECT_EQ(draw_paced(counted_frame), 3);
    EXPECT_EQ(target_frames, 7);

    // Fast drawing: a tick every fourth frame.
    frames_per_tick = 4;
    frames_drawn = 0;
    actual_frames = 9;
    target_frames = 7;
    EXPECT_EQ(draw_paced(counted_frame), 8);
    EXPECT_EQ(target_frames, 9);
}

TEST_F(GameRound, FastMachineTakesOneLogicStepPerTick)
{
    frames_per_tick = 3;
    for (int pass = 0; pass < 300; pass++)
        play_pass(counted_frame);
    EXPECT_EQ(actual_frames, 300);
    // The first pass starts level with the clock; each later one waits for a tick. Ticks come
    // with frames 3, 6, 9, ...: pass 0 draws frame 1, pass 1 frames 2 and 3, then three a pass.
    EXPECT_EQ(target_frames, 299);
    EXPECT_EQ(frames_drawn, 1 + 2 + 3 * 298);
    // When a frame is drawn the step it shows is at most one ahead of the clock.
    EXPECT_LE(most_ahead, 1);
}

TEST_F(GameRound, SlowMachineNeitherSkipsFramesNorCatchesUp)
{
    ticks_per_frame = 2;
    for (int pass = 0; pass < 300; pass++)
        play_pass(counted_frame);
    EXPECT_EQ(actual_frames, 300);
    EXPECT_EQ(frames_drawn, 300);
    EXPECT_EQ(target_frames, 600);
}

// --- the end-of-game count ---

TEST_F(GameRound, CountStagesFireOnceEachInOrderAtTheirTicks)
{
    std::vector<std::pair<int, int>> fired; // tick, sample
    for (int t = 0; t <= 20400; t++) {
        target_frames = t;
        for (int again = 0; again < 2; again++) {
            int sample = check_end_of_game_count();
            if (sample >= 0) fired.emplace_back(t, sample);
        }
    }
    const std::vector<std::pair<int, int>> want = {
        {18400, DAT_WARNING_SOUND},     {19000, DAT_COUNT5_SOUND}, {19200, DAT_COUNT4_SOUND},
        {19400, DAT_COUNT3_SOUND},      {19600, DAT_COUNT2_SOUND}, {19800, DAT_COUNT1_SOUND},
        {20000, DAT_END_OF_TIME_SOUND},
    };
    EXPECT_EQ(fired, want);
    EXPECT_EQ(countdown_flag, 999);
}

TEST_F(GameRound, CountStageWaitsForTheOneBefore)
{
    // The warning at 8 was missed: no later stage can fire.
    for (int t = 18600; t <= 20400; t++) {
        target_frames = t;
        EXPECT_EQ(check_end_of_game_count(), -1) << t;
    }
    EXPECT_EQ(countdown_flag, 0);
    // Nothing plays at 7 and 6.
    countdown_flag = 5;
    for (int t = 18600; t < 19000; t++) {
        target_frames = t;
        EXPECT_EQ(check_end_of_game_count(), -1) << t;
    }
    EXPECT_EQ(countdown_flag, 5);
}

// --- the three ways a game ends ---

TEST_F(GameRound, GameGoesOnUntilEscapeTimeOrBothSidesOut)
{
    EXPECT_TRUE(game_continues());
    key[KEY_ESC] = 1;
    EXPECT_FALSE(game_continues());
    key[KEY_ESC] = 0;

    target_frames = 20199;
    EXPECT_TRUE(game_continues());
    target_frames = 20200;
    EXPECT_FALSE(game_continues());
    target_frames = 0;

    p1_balls = 0;
    EXPECT_TRUE(game_continues());
    p2_balls = 0;
    EXPECT_FALSE(game_continues());
    p1_balls = 1;
    EXPECT_TRUE(game_continues());
}

TEST_F(GameRound, PlayLoopRunsOutOfTimeAfter20200Ticks)
{
    run_play_loop();
    EXPECT_EQ(target_frames, 20200);
    EXPECT_EQ(actual_frames, 20200);
    EXPECT_EQ(countdown_flag, 999);
}

TEST_F(GameRound, EscapeEndsGameAtNextPass)
{
    escape_after = 50;
    run_play_loop();
    EXPECT_EQ(actual_frames, 50);
}

TEST_F(GameRound, GameEndsWhenBothSidesHaveFiredTheirLast)
{
    p1_balls = 3;
    p2_balls = 0;
    p1_frames = 100;
    mouse_b = 1; // player 1 holds the button: launches on steps 0, 16 and 32
    run_play_loop();
    EXPECT_EQ(actual_frames, 33);
    EXPECT_EQ(p1_balls, 0);
}

// --- best score ---

TEST_F(GameRound, NewHighScoreSamplePlaysOncePerRun)
{
    new_high = 0;
    hi = 90;
    p1_score = 90;
    EXPECT_FALSE(update_best_score()) << "equal to the best is no new high score";
    EXPECT_EQ(new_high, 0);

    p2_score = 91;
    EXPECT_TRUE(update_best_score());
    EXPECT_EQ(new_high, 1);
    EXPECT_EQ(hi, 91);

    p1_score = 120;
    EXPECT_FALSE(update_best_score());
    EXPECT_EQ(hi, 120);
    p2_score = 130;
    update_best_score();
    EXPECT_EQ(hi, 130) << "the higher of the two sides";

    // A later game of the same run passes the table's best again: no sample.
    start_menu_pass();
    initialise_newgame();
    p1_score = hi + 1;
    EXPECT_FALSE(update_best_score());
    EXPECT_EQ(hi, p1_score);
}

TEST_F(GameRound, MenuPassClearsTablesAndTakesBestScoreFromFile)
{
    char cwd[512];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(make_temp_dir("menu")), 0);
    sprite[3].type = KIND_P1_BALL;
    sprite[71].x = 700;
    hi = 12345;
    start_menu_pass();
    EXPECT_EQ(sprite[3].type, KIND_FREE);
    EXPECT_EQ(sprite[71].x, 340);
    EXPECT_EQ(hi, score_table[0].player_score);
    EXPECT_EQ(hi, 90) << "without a score file the built-in table's best";
    ASSERT_EQ(chdir(cwd), 0);
}

// --- high-score entries ---

namespace {

std::vector<int> names_asked;
int tables_shown = 0;

void name_typed(int score)
{
    names_asked.push_back(score);
    snprintf(score_table[CANDIDATE_ENTRY].player_name, NAME_FIELD, "P%d", score);
}

void table_shown(int wait)
{
    EXPECT_EQ(wait, 1);
    tables_shown++;
}

const score_screens quiet_screens = {name_typed, table_shown};

} // namespace

class HighScoreEntry : public GameRound {
  protected:
    void SetUp() override
    {
        GameRound::SetUp();
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        ASSERT_EQ(chdir(make_temp_dir("entry")), 0);
        // Places 1 to 10 hold 100, 90, ..., 10.
        for (int a = 0; a < SCORE_ENTRIES; a++) {
            score_table[a].player_score = a < SCORE_PLACES ? 100 - 10 * a : 0;
            snprintf(score_table[a].player_name, NAME_FIELD, "old%d", a);
        }
        names_asked.clear();
        tables_shown = 0;
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(cwd), 0);
        GameRound::TearDown();
    }
    char cwd[512];
};

TEST_F(HighScoreEntry, ScoreEqualToTenthPlaceDoesNotQualify)
{
    EXPECT_FALSE(score_qualifies(10));
    EXPECT_TRUE(score_qualifies(11));
    Menu_Option = MENU_TWO_PLAYER;
    p1_score = 10;
    p2_score = 10;
    enter_high_scores(quiet_screens);
    EXPECT_TRUE(names_asked.empty());
    EXPECT_EQ(tables_shown, 0);
    EXPECT_NE(access(SCORE_FILE, F_OK), 0) << "nothing entered, nothing saved";
}

TEST_F(HighScoreEntry, OnePointMoreIsEnteredSortedAndSaved)
{
    Menu_Option = MENU_ONE_PLAYER;
    p1_score = 11;
    enter_high_scores(quiet_screens);
    EXPECT_EQ(names_asked, std::vector<int>{11});
    EXPECT_EQ(tables_shown, 1);
    EXPECT_EQ(score_table[9].player_score, 11);
    EXPECT_STREQ(score_table[9].player_name, "P11");
    EXPECT_EQ(score_table[10].player_score, 10);
    EXPECT_EQ(access(SCORE_FILE, F_OK), 0);
}

TEST_F(HighScoreEntry, ComputerScoreNeverEntersTable)
{
    Menu_Option = MENU_ONE_PLAYER;
    p1_score = 5;
    p2_score = 5000;
    enter_high_scores(quiet_screens);
    EXPECT_TRUE(names_asked.empty());
    EXPECT_EQ(score_table[0].player_score, 100);
}

TEST_F(HighScoreEntry, PlayerTwoIsMeasuredAgainstTableAfterPlayerOne)
{
    Menu_Option = MENU_TWO_PLAYER;
    p1_score = 30; // pushes 10 out: the tenth place becomes 20
    p2_score = 15; // beat the old tenth place, not the new one
    enter_high_scores(quiet_screens);
    EXPECT_EQ(names_asked, std::vector<int>{30});
    EXPECT_EQ(score_table[9].player_score, 20);
}

TEST_F(HighScoreEntry, BothPlayersEnterPlayerOneFirst)
{
    Menu_Option = MENU_TWO_PLAYER;
    p1_score = 30;
    p2_score = 95;
    enter_high_scores(quiet_screens);
    EXPECT_EQ(names_asked, (std::vector<int>{30, 95}));
    EXPECT_EQ(tables_shown, 2);
    EXPECT_EQ(score_table[1].player_score, 95);
    EXPECT_STREQ(score_table[1].player_name, "P95");
    EXPECT_EQ(score_table[9].player_score, 30);
}
