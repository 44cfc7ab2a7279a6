// test_program -- the whole program on the null drivers: the start-up in its order, what it takes
// from the settings file and how it fails, and a run from the intro through a game to the credits
#include <ctime>
#include <unistd.h>

#include "audio.h"
#include "fixture.h"
#include "hiscore.h"
#include "null_drivers.h"
#include "options.h"
#include "pause.h"
#include "program.h"
#include "replay.h"
#include "title_screen.h"

#include <allegro/internal/aintern.h> // _switch_out: the library's own word of a lost focus

// Each test runs in a folder of its own with the data file, from the command line's defaults.
class Program : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        enter_temp_dir();
        ASSERT_EQ(symlink(gamedata_path(), GAMEDATA_FILE), 0);
        chosen_display = {DISPLAY_UNSET, SCALE_UNSET}, chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
    }
    void TearDown() override
    {
        remove_int(__inc_game_time);
        back_to_plain_display();
        null_desktop_w = SCREEN_WIDTH, null_desktop_h = SCREEN_HEIGHT, null_desktop_depth = 16;
        null_sound = NULL_SOUND_TAKEN;
        set_volume(255, -1), set_muted(false);
        picture_shown = nullptr;
        Headless::TearDown();
    }
};

// The modes asked of the null display, which refuses the depths whose bit is in refused_depths.
static std::string asked;
static int refused_depths;
static bool note_mode(int w, int h, int depth, bool windowed)
{
    asked += (windowed ? "window " : "full ") + std::to_string(w) + "x" + std::to_string(h) + "x" +
             std::to_string(depth) + ";";
    return refused_depths >> depth & 1;
}
constexpr int NO_16 = 1 << 16, NO_24 = 1 << 24;

// The volume the mixer gives a sample played at full volume, 0 when muted.
static int heard_volume()
{
    play_data_sample(DAT_CREDITS_SOUND);
    null_voice v = {-1, 0, 0};
    null_voice_playing(static_cast<SAMPLE *>(data[DAT_CREDITS_SOUND].dat), &v);
    stop_sample(static_cast<SAMPLE *>(data[DAT_CREDITS_SOUND].dat));
    return v.volume;
}

// The settings file's mode, scale, volume and mute are taken; each mode is asked at its size,
// the default at 16, 24, 32 bits in turn, a window and the desktop fill at the desktop's own
// depth first; a window without a scale is the largest the desktop has room for. The clock then
// ticks 150 times a second, a lost focus pauses only where the game shares the desktop, and the
// generator is seeded with the second of the start.
TEST_F(Program, StartUpTakesTheSettingsAndSetsTheModeInItsOrder)
{
    const struct {
        const char *settings;
        int desk_w, desk_h, desk_depth, refused;
        const char *modes;
        display_view view;
        int depth, volume;
        bool focus_pauses;
    } rows[] = {
        {"", 1366, 768, 32, 0, "full 800x600x16;", window_view(1), 16, 255, false},
        {"", 1366, 768, 32, NO_16, "full 800x600x16;full 800x600x24;", window_view(1), 24, 255,
         false},
        {"mute = yes\n", 1366, 768, 32, NO_16 | NO_24,
         "full 800x600x16;full 800x600x24;full 800x600x32;", window_view(1), 32, 0, false},
        {"mode = window\nvolume = 50\n", 1366, 768, 32, 0, "window 800x600x32;", window_view(1), 32,
         127, true},
        {"mode = window\nscale = auto\n", 3840, 2160, 24, 0, "window 2400x1800x24;", window_view(3),
         24, 255, true},
        {"mode = window\nscale = 2\nvolume = 0\n", 1366, 768, 16, NO_16,
         "window 1600x1200x16;window 1600x1200x16;window 1600x1200x24;", window_view(2), 24, 0,
         true},
        {"mode = desktop\n", 1280, 1024, 32, 0, "full 1280x1024x32;", desktop_fill_view(1280, 1024),
         32, 255, true},
    };
    null_mode_refused = note_mode;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.settings + std::to_string(r.refused));
        write_file(SETTINGS_FILE, r.settings);
        null_desktop_w = r.desk_w, null_desktop_h = r.desk_h, null_desktop_depth = r.desk_depth;
        asked.clear(), refused_depths = r.refused;
        chosen_display = {DISPLAY_UNSET, SCALE_UNSET}, chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
        set_volume(255, -1);
        const time_t started = time(nullptr);
        initialise_on_library();
        const int first_number = rand();
        EXPECT_EQ(asked, r.modes);
        EXPECT_EQ(N(frame_view.x, frame_view.y, frame_view.w, frame_view.h),
                  N(r.view.x, r.view.y, r.view.w, r.view.h));
        EXPECT_EQ(N(bitmap_color_depth(screen), display_bitmap != nullptr, heard_volume()),
                  N(r.depth, r.view.w != SCREEN_WIDTH, r.volume));
        const int ticks = target_frames;
        rest(1000);
        _switch_out();
        EXPECT_EQ(N(target_frames - ticks, pause_asked()), N(TIMER_RATE, r.focus_pauses));
        _switch_in();
        srand(started);
        const int seeded_then = rand();
        srand(started + 1);
        EXPECT_TRUE(first_number == seeded_then || first_number == rand()) << "seeded by time";
        leave_display_mode();
    }
}

// Without a sound device the game says so in one line and plays silent; with one it says
// nothing. A sound system that cannot start at all stops the game.
TEST_F(Program, SoundStartSaysNoSoundOnlyWithoutADevice)
{
    const std::pair<null_sound_answer, const char *> answers[] = {
        {NULL_SOUND_TAKEN, ""},
        {NULL_SOUND_ABSENT, "no sound: no sound device was found; the game plays silent\n"}};
    for (const auto &[answer, says] : answers) {
        remove_sound();
        null_sound = answer;
        testing::internal::CaptureStderr();
        start_sound();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), says);
        EXPECT_EQ(digi_driver->id == DIGI_NONE, answer == NULL_SOUND_ABSENT);
    }
    remove_sound();
    null_sound = NULL_SOUND_BROKEN;
    EXPECT_EXIT((dup2(2, 1), start_sound()), testing::ExitedWithCode(1),
                "^Error setting up Sound\nthe null sound device failed to start\n");
}

// The start-up's failures each end the game with status 1 and say why.
TEST_F(Program, StartUpFailuresSayWhyAndStop)
{
    EXPECT_EXIT((allegro_exit(), unsetenv("DISPLAY"), initialise()), testing::ExitedWithCode(1),
                "no display could be opened.\n.*DISPLAY variable,\nwhich is not set");
    remove(GAMEDATA_FILE);
    EXPECT_EXIT(initialise_on_library(), testing::ExitedWithCode(1),
                "Brumzel Ball cannot start: GAMEDATA.DAT");
}

// The player of a whole run, at each picture the game shows: the clock ticks once a picture (200
// times once the game is 400 steps old, to reach its end by time); a click on one player at the
// menu; in the game the mouse swept and held; at name entry "Nulls" and Enter; the table and the
// credits left by their ball with the right button; the second menu by quit.
static int plays[DAT_ENTRIES], table_pictures, end_pictures;
static std::string typing;
static void scripted_player()
{
    auto heard = [](int entry) { return sample_plays[entry] - plays[entry]; };
    const bool over = heard(DAT_GAMEOVER_SOUND) > 0, in_game = heard(DAT_COUNT1_SOUND) && !over;
    null_tick(in_game && actual_frames > 400 ? 200 : 1);
    auto click = [](int x, int y, int button) { mouse_x = x, mouse_y = y, mouse_b = button; };
    if (heard(DAT_CREDITS_SOUND) || (keeping_score && !keys_are_text && ++table_pictures > 1))
        click(706, 503, 2);
    else if (heard(DAT_TITLE_MUSIC) == 2)
        click(696, 264, 1);
    else if (in_game)
        click(0, actual_frames * 7 % 161, 1);
    else if (!over)
        click(110, 310, 1);
    else
        mouse_b = 0;
    if (keys_are_text && !heard(DAT_KEY_CLICK)) typing = "Nulls";
    key[KEY_ENTER] = keys_are_text && heard(DAT_KEY_CLICK) == 5;
    if (heard(DAT_END_OF_TIME_SOUND) && !end_pictures++) compare_picture("program_end_of_time");
    if (table_pictures == 1) compare_picture("program_table");
}

TEST_F(Program, RunsFromTheIntroThroughAGameToTheCredits)
{
    const char *args[] = {"brumzel-ball", "--record", "run.rec", "--volume", "40"};
    int status = -1;
    ASSERT_FALSE(answer_command_line(5, const_cast<char **>(args), &status));
    initialise_on_library();
    srand(2);
    memcpy(plays, sample_plays, sizeof plays);
    install_keyboard_hooks([] { return int(!typing.empty()); },
                           [] {
                               int c = typing[0];
                               typing.erase(0, 1);
                               return c;
                           });
    table_pictures = end_pictures = 0, picture_shown = scripted_player;
    run_game();
    picture_shown = nullptr;
    install_keyboard_hooks(nullptr, nullptr);
    record_games_to(nullptr), chosen_replay = {};
    int heard[DAT_ENTRIES];
    for (int n = 0; n < DAT_ENTRIES; n++)
        heard[n] = sample_plays[n] - plays[n];
    // The intro, the menu twice, the counts of get ready and of the game's end, the burst, name
    // entry with a click a key, and the credits.
    EXPECT_EQ(N(heard[DAT_INTRO_SOUND], heard[DAT_TITLE_MUSIC], heard[DAT_COUNT3_SOUND],
                heard[DAT_WARNING_SOUND], heard[DAT_END_OF_TIME_SOUND], heard[DAT_GAMEOVER_SOUND],
                heard[DAT_ENTERNAME_SOUND], heard[DAT_KEY_CLICK], heard[DAT_CREDITS_SOUND]),
              N(1, 2, 2, 1, 1, 1, 1, 5, 1));
    EXPECT_EQ(N(Menu_Option, file_bytes(SCORE_FILE).size()), N(MENU_QUIT, SCORE_FILE_SIZE));
    ASSERT_TRUE(load_scores());
    int place = 0;
    while (place < SCORE_PLACES && strcmp(score_table[place].player_name, "Nulls"))
        place++;
    ASSERT_LT(place, SCORE_PLACES);
    char why[160];
    ASSERT_TRUE(read_recording("run.rec", why, sizeof why)) << why;
    // The recording holds the game as the table and the samples have it.
    const replay_header &h = recording.head;
    EXPECT_EQ(N(h.mode, h.samples[DAT_LAUNCH_SOUND_P1], h.samples[DAT_COUNT1_SOUND], h.p1_score),
              N(MENU_ONE_PLAYER, heard[DAT_LAUNCH_SOUND_P1], 1, score_table[place].player_score));
    EXPECT_TRUE(play_back_recording(false).in_step);
}
