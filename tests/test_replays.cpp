// test_replays -- recorded games play back exactly, watched or as the timedemo plays them with
// its figures; every figure of a file is read to its limit and refused past it, and a bad file
// touches nothing; a changed course is caught at its step
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

#include "explosions.h"
#include "fade.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "hiscore.h"
#include "null_drivers.h"
#include "particles.h"
#include "player_input.h"
#include "rebound_effect.h"
#include "replay.h"
#include "version.h"

// The recordings of tests/recordings, made by scripts/record-test-games in the real game, with
// the scores the game showed, a checksum of the picture their S key saved (the script checks
// it against the game's own dump.pcx, pixel for pixel) and their fullest moments played back.
static const struct {
    const char *file;
    int mode, p1_score, p2_score;
    uint32_t shot;
    const char *fullest;
} recorded_games[] = {
    {"escape.rec", 0, 1000, 150, 1123461237u,
     "23 balls in flight, 9026 live particles, 1 pad flashes at once, flashes at 2 of 4 corners"},
    {"two-players.rec", 1, 9395, 8135, 2062641060u,
     "38 balls in flight, 9134 live particles, 1 pad flashes at once, flashes at 3 of 4 corners"},
    {"one-player.rec", 0, 14135, 11010, 1461909971u,
     "23 balls in flight, 8760 live particles, 2 pad flashes at once, flashes at 4 of 4 corners"},
};

static uint32_t fnv1a(const std::string &bytes)
{
    return fnv1a32(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
}

class Replays : public Headless {
  protected:
    void load(const char *file)
    {
        char why[512];
        const std::string path = RECORDINGS_DIR "/" + std::string(file);
        ASSERT_TRUE(read_recording(path.c_str(), why, sizeof why)) << why;
    }
};

// What f prints on a stream.
static std::string printed(const std::function<void(FILE *)> &f)
{
    char *text;
    size_t size;
    FILE *out = open_memstream(&text, &size);
    f(out), fclose(out);
    std::string s(text, size);
    return free(text), s;
}

// Played as the timedemo plays them, every checksum matches and every sample is heard as often
// as in the game; it prints the recorded steps, a frame a step and the scores the game showed.
TEST_F(Replays, RecordedGamesPlayBackExactlyToTheirScoresSoundsAndPicture)
{
    enter_temp_dir();
    for (const auto &g : recorded_games) {
        SCOPED_TRACE(g.file);
        remove(SCREENSHOT_FILE);
        load(g.file);
        static unsigned char again[REPLAY_MAX_FILE_BYTES]; // written again: byte for byte the same
        const size_t n = encode_recording(again, sizeof again);
        EXPECT_TRUE(file_bytes((RECORDINGS_DIR "/" + std::string(g.file)).c_str()) ==
                        std::string(reinterpret_cast<char *>(again), n) &&
                    !encode_recording(again, 64)); // nothing written where it does not fit
        create_particle(1, 1, 1, PARTICLE_DOT, 1, 1, 1, 50), create_pad_rebound(KIND_PAD_TOP_LEFT);
        create_explosion(1, 1, 5, 1, PARTICLE_DOT); // left by the game before, and cleared
        const std::string p1 = std::to_string(g.p1_score), p2 = std::to_string(g.p2_score);
        const std::string steps = std::to_string(recording.head.steps);
        const std::regex printed_as(
            "timedemo " + std::string(g.file) + ": " + steps + " steps, " + steps +
            " frames in [^]*\nfinal scores: player 1 " + p1 + ", player 2 " + p2 + " \\(recorded " +
            p1 + " and " + p2 + (g.mode ? ", two" : ", one") + "-player game\\)\n" +
            "fullest moments: " + g.fullest + ", the burst\nevery checksum matched \\(" +
            std::to_string(recording.head.checksums) + "\\)\n");
        int status;
        std::string out = printed([&](FILE *f) { status = play_timedemo(g.file, f); });
        EXPECT_EQ(N(status, std::regex_match(out, printed_as)), N(0, 1)) << out;
        EXPECT_EQ(fnv1a(file_bytes(SCREENSHOT_FILE)), g.shot);
    }
}

// Watched, the frames follow the clock (here about three a step, not the recorded counts), the
// recorded drawing is applied to the state all the same, and the closing fade is shown, without
// a word, and held half a second; Escape, pressed at the 3000th picture, leaves it; the close
// button ends the game at once. The score table is never written.
static int pictures, escape_at, close_at, whole_game;
static unsigned rested; // ms since the last picture
static void tick_every_third_picture()
{
    if (rested = 0, ++pictures % 3 == 0) target_frames++;
    if (pictures == escape_at) key[KEY_ESC] = 1;
}

TEST_F(Replays, WatchedGameStaysInStepAndEscapeLeavesIt)
{
    enter_temp_dir();
    picture_shown = tick_every_third_picture, null_rested = [](unsigned ms) { rested += ms; };
    for (int escape : {0, 3000}) {
        pictures = 0, escape_at = escape, fade_pictures = 0;
        load("escape.rec");
        testing::internal::CaptureStderr();
        watch_recording(), whole_game = escape ? whole_game : pictures;
        EXPECT_EQ(N(testing::internal::GetCapturedStderr().empty(), fade_pictures, rested,
                    access(SCORE_FILE, F_OK), p1_score == recorded_games[0].p1_score),
                  N(1, 15, 500, -1, !escape));
    }
    picture_shown = nullptr;
    EXPECT_TRUE(actual_frames > 900 && actual_frames < 1100 &&
                abs(whole_game - 3 * int(recording.head.passes)) < 30) // the closing scene's too
        << actual_frames << " " << whole_game;
    install_display_hooks(), escape_at = key[KEY_ESC] = 0;
    for (int at : {300, whole_game - 100}) { // in play; in the closing scene, before its fade
        pictures = 0, close_at = at;
        picture_shown = [] { // the close button pressed: the game ends in that pass
            tick_every_third_picture();
            if (pictures > close_at + 3) _exit(3);
            if (pictures == close_at) null_close_button();
        };
        EXPECT_EXIT((load("escape.rec"), watch_recording()), testing::ExitedWithCode(0), "^$");
    }
}

// Figured from given frame times and tables: 200 of 1 to 200 ms in any order have a mean of 100.5,
// a 99th percentile of 199 and a slowest of 200; one, its own; none, 0. The most at once are kept:
// balls in slots 0-50, live particles, flashes of any kind, corners of a pad's kind alone.
TEST_F(Replays, TimedemoPrintsTheFiguresOfItsFrameTimesAndTables)
{
    float ms[200];
    for (int n = 0; n < 200; n++)
        ms[n] = float(n * 7 % 200 + 1);
    timedemo_figures t = {{true, 0, -1, 300, 301, 5, 6}, 600, 1.5, figure_frame_times(ms, 200), {}};
    initialise_sprites();
    for (int slot : {0, OVERFLOW_BALL_SLOT, OVERFLOW_BALL_SLOT + 1})
        place(slot, KIND_P2_BALL - slot % 2, 1, 1, 0, 0);
    for (int life : {1, 0, 5, 2})
        create_particle(0, 0, 0, PARTICLE_DOT, 0, 0, 0, life);
    rebound[0] = {KIND_PAD_BOTTOM_LEFT, 3}, rebound[1] = {KIND_PAD_TOP_LEFT, 0};
    rebound[2] = {KIND_TOP_EDGE, 1}, rebound[REBOUND_SLOTS - 1] = {KIND_PAD_BOTTOM_RIGHT, 1};
    note_fullest(&t.fullest);
    const frame_time_figures none = figure_frame_times(ms, 0), one = figure_frame_times(ms, 1);
    EXPECT_EQ(N(none.mean, none.p99, none.slowest, one.mean, one.p99, one.slowest, t.fullest.burst),
              N(0, 0, 0, 1, 1, 1, 0));
    initialise_particles(), initialise_rebound(), sprite[FIRST_BUMPER_SLOT].type = KIND_FREE;
    note_fullest(&t.fullest);
    replay_header &h = recording.head; // a two-player game of 7 to 8, 9 checksums
    h.mode = 1, h.p1_score = 7, h.p2_score = 8, h.checksums = 9;
    EXPECT_EQ(printed([&](FILE *f) { print_timedemo(f, "x.rec", t); }),
              "timedemo x.rec: 300 steps, 600 frames in 1.50 s: 200 steps/s, 400 frames/s\n"
              "frame time: mean 100.500 ms, 99th percentile 199.000 ms, slowest 200.000 ms\n"
              "final scores: player 1 5, player 2 6 (recorded 7 and 8, two-player game)\n"
              "fullest moments: 2 balls in flight, 3 live particles, 3 pad flashes at once, "
              "flashes at 2 of 4 corners, the burst\nevery checksum matched (9)\n");
}

// A course changed after step 200 (a bumper nudged, as a changed rule would) is caught by the
// next checksum, at step 300; a recording ending after 500 passes, at the step past it; pass 99
// reading the clock once more, at its own; player 2's recorded score not reached, at the last.
TEST_F(Replays, ChangedCourseIsCaughtAtItsStep)
{
    void (*nudge)() = [] { sprite[FIRST_BUMPER_SLOT].x += actual_frames == 200; };
    const int cases[][4] = {{0, 0, 0, 300}, {500, 0, 0, 501}, {0, 1, 0, 100}, {0, 0, 1, -1}};
    for (const auto &c : cases) {
        load("escape.rec");
        picture_shown = c[3] == 300 ? nudge : nullptr;
        recording.head.passes = c[0] ? c[0] : recording.head.passes;
        recording.pass[99].reads.clock_reads -= c[1], recording.head.p2_score += c[2];
        int status;
        testing::internal::CaptureStderr();
        std::string out = printed([&](FILE *f) { status = play_timedemo("e.rec", f); });
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "brumzel-ball: the replay went out of step at step " +
                      std::to_string(c[3] < 0 ? recording.head.steps : c[3]) + "\n");
        EXPECT_EQ(N(status, out.find("checksum")), N(1, std::string::npos)) << out;
    }
    picture_shown = nullptr;
    // The generator's state is taken back only with its places inside its ring.
    for (int rear : {-1, 0, RANDOM_RING_WORDS - 1, RANDOM_RING_WORDS}) {
        random_snapshot r = snapshot_random();
        r.rear = rear, r.front = (rear + RANDOM_SEPARATION) % RANDOM_RING_WORDS;
        EXPECT_EQ(restore_random(r), rear >= 0 && rear < RANDOM_RING_WORDS) << rear;
    }
}

// The command line: help and the version on standard output; a bad option (the usage after it)
// or recording in one line on standard error, each with its status; the table and settings
// untouched. Refused: the header's figures past their limits (the mode at byte 48; steps, passes
// and checksums at 57; the body's length at 69), a pass's key bit, clock reading or flag past the
// last, a file cut, lengthened, damaged, of another kind or too large.
TEST_F(Replays, CommandLineAnswersAndRefusesBadRecordingsTouchingNothing)
{
    const std::string good = file_bytes(RECORDINGS_DIR "/escape.rec");
    uint32_t sums_and_body[2];
    memcpy(sums_and_body, &good[65], 8);
    const size_t body = good.size() - 4 - 8 * sums_and_body[0] - sums_and_body[1];
    auto sealed = [&](size_t at, std::string bytes) { // the bytes at `at`, the check made again
        std::string b = std::string(good).replace(at, bytes.size(), bytes);
        uint32_t check = fnv1a(b.substr(0, b.size() - 4));
        return b.replace(b.size() - 4, 4, reinterpret_cast<char *>(&check), 4);
    };
    const std::string head = "the recording's header is damaged\n", none(12, 0);
    const std::string pass = "the recording's passes are damaged\n";
    const std::string cut = "the recording is cut short\n",
                      rules = "recorded by version " + std::string(&good[12]) +
                              " under other rules (7); this game's rules are " +
                              std::to_string(REPLAY_RULES_VERSION) + "\n";
    const char *T = "--timedemo bad.rec", *R = "--replay bad.rec";
    // The options, the file bad.rec, the status, and what is said first: on standard output for
    // status 0, else on standard error, of a file after its name.
    const std::tuple<const char *, std::string, int, std::string> runs[] = {
        {"--help", "", 0, "Usage: brumzel-ball [--fullscreen | --window [--scale N] | --desktop]"},
        {"--version", "", 0, std::string(GAME_NAME) + " " + GAME_VERSION + "\n"},
        {"--bogus", "", 2, "brumzel-ball: unknown option '--bogus'\nUsage: brumzel-ball"},
        {T, "", 1, "brumzel-ball: cannot read bad.rec: No such file or directory\n"},
        {"--replay .", "", 1, "brumzel-ball: cannot read .\n"}, // opened, but not a file to read
        {R, sealed(48, "\x02"), 1, head},
        {T, sealed(57, none.substr(0, 8) + "\x02"), 1, head},  // no passes
        {T, sealed(69, std::string("\0\0\x40\0", 4)), 1, cut}, // as long a body as can be
        {T, sealed(8, "\x02"), 1, "a recording of format version 2; this game reads version 1\n"},
        {T, sealed(10, "\x07"), 1, rules},
        {R, sealed(body + 15339, "\x21"), 1, pass}, // pass 1694: Escape, a key bit past the last
        {T, sealed(body + 3, "\x0d"), 1, pass},     // pass 0: 13 clock readings, one too many
        {T, sealed(body + 140, "\x80"), 1, pass},   // a flag past the last, on pass 16
        {T, good.substr(0, 100), 1, cut},
        {T, good.substr(0, good.size() - 1), 1, cut},
        {T, good + "x", 1, "the recording is damaged\n"},
        {R, good.substr(0, good.size() - 1) + "\x01", 1,
         "the recording is damaged (its check does not match)\n"},
        {T, std::string(5000, 'r'), 1, "not a Brumzel Ball recording\n"},
        {T, std::string(REPLAY_MAX_FILE_BYTES + 1, 0), 1, "too large for a recording\n"},
        {T, good, 1, "brumzel-ball: the timedemo cannot start: GAMEDATA.DAT is missing"}, // here
    };
    enter_temp_dir(), write_file(SCORE_FILE, std::string(SCORE_FILE_SIZE, 'x'));
    write_file("brumzel-ball.cfg", "mode = window\n");
    for (auto [options, file, status, says] : runs) {
        remove("bad.rec");
        if (!file.empty()) write_file("bad.rec", file);
        int ended = system((std::string(GAME_PATH " ") + options + " >out.txt 2>err.txt").c_str());
        std::string out = file_bytes("out.txt"), err = file_bytes("err.txt");
        if (!file.empty() && says[0] != 'b') says = "brumzel-ball: bad.rec: " + says;
        EXPECT_EQ(N(WIFEXITED(ended), WEXITSTATUS(ended), (status ? err : out).rfind(says, 0),
                    std::count(err.begin(), err.end(), '\n') == 1 || status != 1),
                  N(1, status, 0, 1))
            << options << out << err;
        EXPECT_EQ(file_bytes(SCORE_FILE) + file_bytes("brumzel-ball.cfg"),
                  std::string(SCORE_FILE_SIZE, 'x') + "mode = window\n");
    }
}

// A game recorded here, headless: the first recording of a run that cannot be put in its place is
// said on standard error, leaving no temporary file, and the run goes on; the next goes to FILE-2
// and plays back exactly. The clock catches up every third picture: passes draw 1 to 3 frames.
static void catch_up_every_third_picture()
{
    if (++pictures % 3 == 0) target_frames = actual_frames;
}

static void play_recorded_game()
{
    picture_shown = catch_up_every_third_picture;
    // As the game does: the logo sampled at start-up, the menu's resets, a new game, its clock.
    get_brumzel_pixels(), start_menu_pass(), initialise_newgame();
    actual_frames = target_frames = 0, begin_game_recording();
    while (game_continues()) {
        key[KEY_ESC] = actual_frames >= 400;
        mouse_b = actual_frames % 100 < 60, mouse_y = actual_frames % 161;
        play_pass();
    }
    key[KEY_ESC] = mouse_b = 0; // let go before the closing scene, ready for the next game
    gameover(), end_game_recording();
    picture_shown = nullptr;
}

TEST_F(Replays, RunsAreRecordedToNumberedFilesThatPlayBack)
{
    const char *names[][3] = {{"game.rec", "1", "game.rec"},
                              {"game.rec", "2", "game-2.rec"},
                              {"dir.d/game", "3", "dir.d/game-3"},
                              {"a/.rec", "2", "a/.rec-2"},
                              {"a/b.c.rec", "12", "a/b.c-12.rec"}};
    for (const auto &n : names) {
        char out[64];
        numbered_recording_path(n[0], atoi(n[1]), out, sizeof out);
        EXPECT_STREQ(out, n[2]);
    }
    enter_temp_dir();
    mkdir("rec", 0755), mkdir("rec/game.rec", 0755); // written whole, but not put in its place
    record_games_to("rec/game.rec"), testing::internal::CaptureStderr();
    play_recorded_game();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("could not be written to rec/game.rec: Is a directory"), err.npos) << err;
    EXPECT_NE(access("rec/game.rec.tmp", F_OK), 0);
    play_recorded_game(), record_games_to(nullptr);
    int scores[2] = {p1_score, p2_score};
    char why[512];
    ASSERT_TRUE(read_recording("rec/game-2.rec", why, sizeof why)) << why;
    replay_outcome o = play_back_recording(false);
    EXPECT_TRUE(o.in_step) << "out of step at step " << o.out_of_step;
    EXPECT_EQ(N(o.p1_score, o.p2_score, o.steps > 400, scores[0] > 0, o.passes),
              N(scores[0], scores[1], 1, 1, recording.head.passes));
}
