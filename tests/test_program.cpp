// test_program -- the whole program on the null drivers: the start-up in its order, what it takes
// from the settings file and how it fails, and a run from the intro through a game to the credits
#include <cstring>
#include <ctime>
#include <dlfcn.h>
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

// Each test runs in a folder of its own with the data file, from the command line's defaults.
class Program : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp(), enter_temp_dir();
        ASSERT_EQ(symlink(gamedata_path(), GAMEDATA_FILE), 0);
        chosen_display = {DISPLAY_UNSET, SCALE_UNSET}, chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
    }
    void TearDown() override
    {
        remove_int(__inc_game_time), back_to_plain_display();
        null_sound = NULL_SOUND_TAKEN, picture_shown = nullptr;
        set_volume(255, -1), set_muted(false);
        char why[256]; // the data and buffers again at the 16 bits of every other test
        ASSERT_TRUE(load_gamedata(gamedata_path(), why, sizeof why)) << why;
        create_offscreen_bitmaps();
        Headless::TearDown();
    }
};

constexpr long long NO_16 = 1LL << 16, NO_24 = 1LL << 24;

// The volume the mixer plays an entry's sample at, -1 when it is not playing.
static int mixed_volume(int entry)
{
    null_voice v = {-1, 0, 0};
    null_voice_playing(static_cast<SAMPLE *>(data[entry].dat), &v);
    return v.volume;
}

// An ALSA complaint before the sound starts (its configuration read and let go again): the first
// one is the reason a missing device gives.
static void alsa_complains()
{
    void *alsa = dlopen("libasound.so.2", RTLD_NOW), *pcm;
    ASSERT_NE(alsa, nullptr);
    auto open =
        reinterpret_cast<int (*)(void **, const char *, int, int)>(dlsym(alsa, "snd_pcm_open"));
    EXPECT_LT(open(&pcm, "brumzel", 0, 0), 0);
    reinterpret_cast<int (*)()>(dlsym(alsa, "snd_config_update_free_global"))();
}

// The settings file's mode, scale, volume and mute are taken; the default mode is asked at 16,
// 24, 32 bits in turn, a window (the largest that fits unless scaled) and the desktop fill at the
// desktop's own depth first. Without a sound device the game says so in one line. Then the clock
// ticks 150 times a second, a picture goes out in one blit (the 2x window and the desktop fill as
// reviewed), a lost focus pauses only beside a desktop, and the seed is the start's second.
TEST_F(Program, StartUpTakesTheSettingsAndSetsTheModeInItsOrder)
{
    const std::string no_sound = "no sound: no sound device answered (ALSA: Unknown PCM brumzel); "
                                 "the game plays silent\n";
    const struct {
        const char *settings;
        int desk_w, desk_h, desk_depth;
        long long refused;
        null_sound_answer sound;
        const char *modes;
        display_view view;
        int depth, volume; // of a sample played at 255; -1 for no voice
        bool focus_pauses;
        const char *picture;
    } rows[] = {
        {"", 1366, 768, 32, 0, NULL_SOUND_TAKEN, "full 800x600x16;", window_view(1), 16, 255, 0,
         nullptr},
        {"", 1366, 768, 32, NO_16, NULL_SOUND_ABSENT, "full 800x600x16;full 800x600x24;",
         window_view(1), 24, -1, 0, nullptr},
        {"mute = yes\n", 1366, 768, 32, NO_16 | NO_24, NULL_SOUND_TAKEN,
         "full 800x600x16;full 800x600x24;full 800x600x32;", window_view(1), 32, 0, 0, nullptr},
        {"mode = window\nvolume = 50\n", 1366, 768, 32, 0, NULL_SOUND_TAKEN, "window 800x600x32;",
         window_view(1), 32, 127, 1, nullptr},
        {"mode = window\nscale = 2\nvolume = 0\n", 1366, 768, 16, NO_16, NULL_SOUND_TAKEN,
         "window 1600x1200x16;window 1600x1200x16;window 1600x1200x24;", window_view(2), 24, 0, 1,
         "window_2x"},
        {"mode = desktop\n", 1366, 768, 24, 0, NULL_SOUND_TAKEN, "full 1366x768x24;",
         desktop_fill_view(1366, 768), 24, 255, 1, "desktop_fill"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.settings + std::to_string(r.desk_w));
        write_file(SETTINGS_FILE, r.settings);
        null_desktop_w = r.desk_w, null_desktop_h = r.desk_h, null_desktop_depth = r.desk_depth;
        modes_asked.clear(), refused_depths = r.refused, null_sound = r.sound;
        chosen_display = {DISPLAY_UNSET, SCALE_UNSET}, chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
        remove_sound(), set_volume(255, -1);
        if (r.sound) alsa_complains();
        const time_t started = time(nullptr);
        testing::internal::CaptureStderr();
        initialise_on_library();
        const int first_number = rand();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), r.sound ? no_sound : "");
        EXPECT_EQ(modes_asked, r.modes);
        EXPECT_EQ(N(frame_view.x, frame_view.y, frame_view.w, frame_view.h),
                  N(r.view.x, r.view.y, r.view.w, r.view.h));
        play_data_sample(DAT_CREDITS_SOUND);
        EXPECT_EQ(N(bitmap_color_depth(screen), bitmap_color_depth(buffer),
                    display_bitmap != nullptr, mixed_volume(DAT_CREDITS_SOUND)),
                  N(r.depth, r.depth, r.view.w != SCREEN_WIDTH, r.volume));
        const int ticks = target_frames;
        rest(1000);
        blit(title1, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        present_screen(), present_screen(); // within one tick: one picture
        _switch_out();
        EXPECT_EQ(N(target_frames - ticks, null_display_blits, pause_asked(),
                    !strcmp(null_display_title, "Brumzel Ball")),
                  N(TIMER_RATE, 1, r.focus_pauses, r.focus_pauses)); // a window's title
        _switch_in();
        if (r.picture) compare_picture(r.picture, display_bitmap);
        EXPECT_TRUE(first_number == (srand(started), rand()) ||
                    first_number == (srand(started + 1), rand()));
        leave_display_mode();
    }
}

// The start-up's failures each end the game with status 1 and say why.
TEST_F(Program, StartUpFailuresSayWhyAndStop)
{
    EXPECT_EXIT((allegro_exit(), unsetenv("DISPLAY"), initialise()), testing::ExitedWithCode(1),
                "no display could be opened.\n.*DISPLAY variable,\nwhich is not set");
    EXPECT_EXIT((allegro_exit(), setenv("DISPLAY", ":97", 1), initialise()),
                testing::ExitedWithCode(1),
                "DISPLAY variable,\nhere \":97\", which did not answer");
    remove_sound(), null_sound = NULL_SOUND_BROKEN; // a sound system that cannot start at all
    EXPECT_EXIT((dup2(2, 1), initialise_on_library()), testing::ExitedWithCode(1),
                "^Error setting up Sound\nthe null sound device failed to start\n");
    null_sound = NULL_SOUND_TAKEN;
    remove(GAMEDATA_FILE);
    EXPECT_EXIT((dup2(2, 1), initialise_on_library()), testing::ExitedWithCode(1),
                "start: GAMEDATA.DAT.*start:\nGAMEDATA.DAT"); // and in the library's message
    // The headless start (the tests' and the timedemo's): its data file, its display and each of
    // its three bitmaps missing in turn.
    const char *says[] = {"^GAMEDATA.DAT is missing", "^the null display did not open: the null",
                          "^the off-screen bitmaps could not"};
    for (int made : {-1, 0, 1, 2, 3}) {
        char why[256] = "";
        EXPECT_EXIT((allegro_exit(), bitmaps_before_failure = made,
                     exit(initialise_headless(made < 0 ? "" : gamedata_path(), why, sizeof why)
                              ? 0
                              : (fputs(why, stderr), 1))),
                    testing::ExitedWithCode(1), says[std::min(made + 1, 2)]);
    }
}

// The player of a whole run, at each picture: the clock ticks once (200 times once the game is
// 400 steps old, to reach its end by time). At the first menu M is held over two pictures, a
// sample started, M pressed again, one player clicked; in the game the mouse swept and held; at
// name entry M held, "Nu" typed, Alt+Enter from the window to the desktop fill, "lls" and Enter;
// the table and the credits left by their ball with the right button, the second menu by quit.
static int plays[DAT_ENTRIES], menu_pictures, switch_pictures, table_pictures, end_pictures;
static nums music; // the title music's volume at the first menu's pictures, and the sample's
static int heard(int entry)
{
    return sample_plays[entry] - plays[entry];
}
static void scripted_player()
{
    const bool over = heard(DAT_GAMEOVER_SOUND) > 0, in_game = heard(DAT_COUNT1_SOUND) && !over;
    null_tick(in_game && actual_frames > 400 ? 200 : 1);
    const int n = heard(DAT_TITLE_MUSIC) == 1 && !heard(DAT_COUNT3_SOUND) ? ++menu_pictures : 0;
    if (n) music.push_back(mixed_volume(DAT_TITLE_MUSIC));
    if (n == 4) play_data_sample(DAT_PAD_SOUND);
    if (n == 4 || n == 6) music.push_back(mixed_volume(DAT_PAD_SOUND));
    key[KEY_M] = n == 2 || n == 3 || n == 5 || keys_are_text;
    auto click = [](int x, int y, int button) { mouse_x = x, mouse_y = y, mouse_b = button; };
    if (heard(DAT_CREDITS_SOUND) || (keeping_score && !keys_are_text && ++table_pictures > 1))
        click(706, 503, 2);
    else if (heard(DAT_TITLE_MUSIC) == 2)
        click(696, 264, 1);
    else if (in_game)
        click(0, actual_frames * 7 % 161, 1);
    else
        click(110, 310, !over && n >= 7);
    if (keys_are_text && !heard(DAT_KEY_CLICK)) typed_keys = "Nu";
    const int k = keys_are_text && heard(DAT_KEY_CLICK) == 2 ? ++switch_pictures : 0;
    key[KEY_ALT] = k == 1; // Alt+Enter, Alt let go first, then Enter
    key[KEY_ENTER] = k == 1 || k == 2 || (keys_are_text && heard(DAT_KEY_CLICK) == 5);
    if (k == 3) typed_keys = "lls";
    if (heard(DAT_END_OF_TIME_SOUND) && !end_pictures++) compare_picture("program_end_of_time");
    if (table_pictures == 1) compare_picture("program_table");
}

TEST_F(Program, RunsFromTheIntroThroughAGameToTheCredits)
{
    const char *args[] = {"brumzel-ball", "--volume", "40", "--record", "run.rec"};
    int status = -1;
    ASSERT_FALSE(answer_command_line(5, const_cast<char **>(args), &status));
    write_file(SETTINGS_FILE, "mode = window\n"); // every screen through the present step
    initialise_on_library();
    srand(2), p1_balls = p2_balls = 0; // each game of the run starts with its balls
    memcpy(plays, sample_plays, sizeof plays);
    menu_pictures = switch_pictures = table_pictures = end_pictures = 0, music.clear();
    picture_shown = scripted_player, run_game();
    picture_shown = nullptr;
    // The intro, the menu twice, the counts of get ready and of the game's end, the burst, name
    // entry with a click a key, and the credits.
    EXPECT_EQ(N(heard(DAT_INTRO_SOUND), heard(DAT_TITLE_MUSIC), heard(DAT_COUNT3_SOUND),
                heard(DAT_WARNING_SOUND), heard(DAT_END_OF_TIME_SOUND), heard(DAT_GAMEOVER_SOUND),
                heard(DAT_ENTERNAME_SOUND), heard(DAT_KEY_CLICK), heard(DAT_CREDITS_SOUND)),
              N(1, 2, 2, 1, 1, 1, 1, 5, 1));
    EXPECT_EQ(N(Menu_Option, file_bytes(SCORE_FILE).size()), N(MENU_QUIT, SCORE_FILE_SIZE));
    EXPECT_EQ(file_bytes(SETTINGS_FILE) + modes_asked,
              "mode = desktop\nwindow 800x600x16;full 800x600x16;");
    music.resize(8), music.push_back(sound_muted); // --volume 40: 40% of 255, muted, unmuted
    EXPECT_EQ(music, N(102, 102, 0, 0, 0, 0, 102, 102, 0)) << "and M a letter at name entry";
    char why[512] = "";
    ASSERT_TRUE(load_scores() && read_recording("run.rec", why, sizeof why)) << why;
    EXPECT_STREQ(score_table[0].player_name, "Nulls");
    EXPECT_EQ(recording.head.p1_score, score_table[0].player_score); // the game recorded
    record_games_to(nullptr);
}
