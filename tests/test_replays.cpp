// test_replays -- recorded games play back exactly, watched or as fast as possible; bad files
// are refused with one line and touch nothing; a changed course is caught at its step
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "hiscore.h"
#include "particles.h"
#include "player_input.h"
#include "replay.h"

// The recordings of tests/recordings, made by scripts/record-test-games in the real game, with
// the scores the game showed and a checksum of the picture their S key saved (the script checks
// it against the game's own dump.pcx, pixel for pixel).
static const struct {
    const char *file;
    int mode, p1_score, p2_score;
    uint32_t shot;
} recorded_games[] = {
    {"escape.rec", 0, 1000, 150, 1123461237u},
    {"two-players.rec", 1, 9395, 8135, 2062641060u},
    {"one-player.rec", 0, 14135, 11010, 1461909971u},
};

static std::string recording_path(const char *file)
{
    return std::string(RECORDINGS_DIR "/") + file;
}

static uint32_t fnv1a(const std::string &bytes)
{
    uint32_t h = 2166136261u;
    for (unsigned char b : bytes)
        h = (h ^ b) * 16777619u;
    return h;
}

// Samples played during a playback, by entry.
static int samples_before[DAT_ENTRIES];
static int played(int entry)
{
    return sample_plays[entry] - samples_before[entry];
}

class Replays : public Headless {
  protected:
    replay_outcome play(const char *file, bool watching = false, void (*hook)() = nullptr)
    {
        char why[512];
        EXPECT_TRUE(read_recording(recording_path(file).c_str(), why, sizeof why)) << why;
        memcpy(samples_before, sample_plays, sizeof samples_before);
        return play_back_recording(watching, hook);
    }
};

TEST_F(Replays, RecordedGamesPlayBackExactlyToTheirScoresSoundsAndPicture)
{
    enter_temp_dir();
    for (const auto &g : recorded_games) {
        SCOPED_TRACE(g.file);
        remove(SCREENSHOT_FILE);
        replay_outcome o = play(g.file);
        EXPECT_TRUE(o.in_step) << "out of step at step " << o.out_of_step;
        EXPECT_EQ(N(recording.head.mode, o.p1_score, o.p2_score),
                  N(g.mode, g.p1_score, g.p2_score));
        for (int n = 0; n < DAT_ENTRIES; n++)
            EXPECT_EQ(played(n), recording.head.samples[n]) << "sample " << n;
        // One game-over sound, and a launch sound for every ball fired.
        EXPECT_EQ(N(played(DAT_GAMEOVER_SOUND), played(DAT_LAUNCH_SOUND_P1)),
                  N(1, BALLS_PER_GAME - p1_balls));
        EXPECT_EQ(fnv1a(file_bytes(SCREENSHOT_FILE)), g.shot);
    }
}

// Watched, the frames follow the clock (here about three a step, not the recorded counts), the
// recorded drawing is applied to the state all the same, and the closing fade is shown. Escape,
// when asked for, is pressed at the 3000th picture.
static int pictures, escape_at;
static void tick_every_third_picture()
{
    if (++pictures % 3 == 0) target_frames++;
    if (pictures == escape_at) key[KEY_ESC] = 1;
}

TEST_F(Replays, WatchedGameStaysInStepAndEscapeLeavesIt)
{
    enter_temp_dir();
    pictures = escape_at = 0;
    picture_shown = tick_every_third_picture;
    replay_outcome o = play("escape.rec", true);
    EXPECT_TRUE(o.in_step) << "out of step at step " << o.out_of_step;
    EXPECT_EQ(N(o.p1_score, o.p2_score), N(recorded_games[0].p1_score, recorded_games[0].p2_score));
    pictures = 0, escape_at = 3000;
    o = play("escape.rec", true);
    picture_shown = nullptr;
    EXPECT_TRUE(o.left);
    EXPECT_TRUE(o.steps > 900 && o.steps < 1100) << o.steps;
}

// A course that changes after step 200 (a bumper nudged by a pixel, as a changed rule would) is
// caught by the next checksum, after step 300.
static void nudge_a_bumper_after_step_200()
{
    if (actual_frames == 200) sprite[FIRST_BUMPER_SLOT].x += 1;
}

TEST_F(Replays, ChangedCourseIsCaughtAtTheNextChecksum)
{
    enter_temp_dir();
    replay_outcome o = play("escape.rec", false, nudge_a_bumper_after_step_200);
    EXPECT_FALSE(o.in_step);
    EXPECT_EQ(o.out_of_step, 300);
}

// A bad file: one line on standard error, status 1, the table and the settings as they were.
TEST_F(Replays, BadFilesAreRefusedWithOneLineAndTouchNothing)
{
    std::string good = file_bytes(recording_path("escape.rec").c_str());
    ASSERT_GT(good.size(), 1000u);
    auto with = [&](size_t at, const char *bytes, size_t n) {
        std::string b = good;
        b.replace(at, n, bytes, n);
        return b;
    };
    std::string random_bytes;
    for (int n = 0; n < 5000; n++)
        random_bytes += static_cast<char>(rand());
    const struct {
        const char *what, *reason;
        std::string bytes;
    } bad[] = {
        {"missing", "cannot read", ""},
        {"cut", "cut short", good.substr(0, good.size() / 2)},
        {"format", "format version 2", with(8, "\x02\x00", 2)},
        {"rules", "other rules", with(10, "\x07\x00", 2)},
        {"damaged", "damaged", with(good.size() / 2, "\xff\xff\xff", 3)},
        {"large", "too large", good + std::string(REPLAY_MAX_FILE_BYTES, '\0')},
        {"random", "not a Brumzel Ball recording", random_bytes},
    };
    enter_temp_dir();
    write_file(SCORE_FILE, std::string(SCORE_FILE_SIZE, 'x'));
    write_file("brumzel-ball.cfg", "mode = window\n");
    for (const auto &b : bad) {
        for (const char *option : {"--timedemo", "--replay"}) {
            SCOPED_TRACE(std::string(b.what) + " " + option);
            if (*b.what != 'm') write_file("bad.rec", b.bytes);
            std::string run = std::string(GAME_PATH " ") + option + " bad.rec 2>err.txt";
            int status = system(run.c_str());
            std::string err = file_bytes("err.txt");
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << err;
            EXPECT_NE(err.find(b.reason), std::string::npos) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
            EXPECT_EQ(file_bytes(SCORE_FILE), std::string(SCORE_FILE_SIZE, 'x'));
            EXPECT_EQ(file_bytes("brumzel-ball.cfg"), "mode = window\n");
        }
    }
}

// A game recorded here, headless: the first recording of a run that cannot be written is said
// on standard error and the run goes on; the next goes to FILE-2 and plays back exactly. The
// clock catches up at every third picture, so passes draw one to three frames.
static void catch_up_every_third_picture()
{
    if (++pictures % 3 == 0) target_frames = actual_frames;
}

static void play_recorded_game()
{
    picture_shown = catch_up_every_third_picture;
    // As the game does: the logo sampled at start-up, the menu pass's resets, a new game and
    // get ready's clock.
    get_brumzel_pixels();
    start_menu_pass();
    initialise_newgame();
    actual_frames = target_frames = 0;
    begin_game_recording();
    while (game_continues()) {
        key[KEY_ESC] = actual_frames >= 400;
        mouse_b = actual_frames % 100 < 60;
        mouse_y = actual_frames % 161;
        play_pass();
    }
    gameover();
    end_game_recording();
    picture_shown = nullptr;
}

TEST_F(Replays, RunsAreRecordedToNumberedFilesThatPlayBack)
{
    const struct {
        const char *path;
        int game;
        const char *named;
    } names[] = {{"game.rec", 1, "game.rec"},
                 {"game.rec", 2, "game-2.rec"},
                 {"dir.d/game", 3, "dir.d/game-3"},
                 {"a/.rec", 2, "a/.rec-2"},
                 {"a/b.c.rec", 12, "a/b.c-12.rec"}};
    for (const auto &n : names) {
        char out[64];
        numbered_recording_path(n.path, n.game, out, sizeof out);
        EXPECT_STREQ(out, n.named);
    }
    enter_temp_dir();
    record_games_to("rec/game.rec");
    testing::internal::CaptureStderr();
    play_recorded_game();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("could not be written to rec/game.rec"), std::string::npos) << err;
    ASSERT_EQ(mkdir("rec", 0755), 0);
    play_recorded_game();
    record_games_to(nullptr);
    int scores[2] = {p1_score, p2_score};
    char why[512];
    ASSERT_TRUE(read_recording("rec/game-2.rec", why, sizeof why)) << why;
    replay_outcome o = play_back_recording(false);
    EXPECT_TRUE(o.in_step) << "out of step at step " << o.out_of_step;
    EXPECT_EQ(N(o.p1_score, o.p2_score, o.steps > 400), N(scores[0], scores[1], 1));
}
