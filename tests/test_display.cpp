// test_display -- coordinates both ways, the command line and settings file, the present step
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <tuple>

#include "audio.h"
#include "display.h"
#include "fixture.h"
#include "hiscore.h"
#include "null_drivers.h"
#include "options.h"
#include "title_screen.h"

using Display = Headless;
// The desktop filled at 4:3, bars beside (1.28 display pixels a game pixel) or above and below.
static const display_view wide = desktop_fill_view(1366, 768), tall = desktop_fill_view(1280, 1024);

TEST_F(Display, ViewsFitAndMapDisplayAndGameCoordinatesAtCornersBallsAndRims)
{
    EXPECT_EQ(N(wide.x, wide.y, wide.w, tall.x, tall.y, tall.h), N(171, 0, 1024, 0, 32, 960));
    // The largest window that fits with room for its frame; never less than 800x600.
    const int fits[][3] = {{1700, 1300, 2}, {3840, 2160, 3}, {800, 600, 1}, {4000, 3000, 4}};
    for (const auto &f : fits)
        EXPECT_EQ(largest_window_scale(f[0], f[1]), f[2]) << f[0] << "x" << f[1];
    for (const display_view &v :
         {window_view(1), window_view(2), window_view(3), window_view(4), wide, tall}) {
        SCOPED_TRACE(std::to_string(v.w) + "x" + std::to_string(v.h));
        use_display_view(v);
        EXPECT_EQ(
            N(to_game_x(v.x), to_game_y(v.y), to_game_x(v.x + v.w - 1), to_game_y(v.y + v.h - 1)),
            N(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1));
        // Every game pixel goes to the first display pixel that shows it, and back.
        for (int g = 0, y = 0; g < SCREEN_WIDTH; g++, y = g % SCREEN_HEIGHT)
            ASSERT_EQ(N(to_game_x(to_display_x(g)), to_game_x(to_display_x(g) - 1),
                        to_game_y(to_display_y(y)), to_game_y(to_display_y(y) - 1)),
                      N(g, g - 1, y, y - 1));
        // A ball's centre and the last display pixel of its right rim pick it; one more, nothing.
        for (int n = 0; n < MENU_ITEMS; n++) {
            const int cx = menu_circle[n][0], cy = menu_circle[n][1];
            mouse_x = to_display_x(cx), mouse_y = to_display_y(cy);
            EXPECT_EQ(menu_item_at(game_mouse_x(), game_mouse_y()), n);
            mouse_x = to_display_x(cx + MENU_BALL_RADIUS + 1) - 1;
            EXPECT_EQ(menu_item_at(game_mouse_x(), game_mouse_y()), n) << "rim of ball " << n;
            mouse_x++;
            EXPECT_EQ(menu_item_at(game_mouse_x(), game_mouse_y()), MENU_NONE) << "past " << n;
        }
    }
}

TEST_F(Display, CommandLineAndSettingsFileChooseTheModeAndTheSound)
{
    constexpr int U = DISPLAY_UNSET;
    static_assert(U == SCALE_UNSET && U == VOLUME_UNSET && U == MUTE_UNSET);
    const struct {
        std::vector<const char *> args;
        const char *settings; // nullptr: no settings file
        option_result result;
        int mode, scale;
        const char *files = "---"; // the recording, watched and timedemo files, - for none; or why
        const char *warned = "";   // the settings file's warning, up to its value
        int volume = VOLUME_UNSET, mute = MUTE_UNSET;
    } cases[] = {
        {{"--scale=4"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, 4},
        {{"--desktop", "--window"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_UNSET},
        {{"--help"}, nullptr, OPTIONS_HELP, DISPLAY_UNSET, SCALE_UNSET},
        {{"--scale", "5"}, nullptr, OPTIONS_BAD, U, U, "bad scale '5'"},
        {{"--scale", "0"}, nullptr, OPTIONS_BAD, U, U, "bad scale '0'"},
        {{"--scale", "1"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, 1},
        {{"--scale", "2x"}, nullptr, OPTIONS_BAD, U, U, "bad scale '2x'"},
        {{"--scale"}, nullptr, OPTIONS_BAD, U, U, "--scale needs"},
        {{"--desktop", "--scale", "2"}, nullptr, OPTIONS_BAD, DISPLAY_DESKTOP, 2, "--scale sets"},
        {{"--bogus", "--help"}, nullptr, OPTIONS_BAD, U, U, "unknown option '--bogus'"},
        // Recording options take a file, after a space or "="; the timedemo goes alone.
        {{"--record=a", "--replay=b"}, nullptr, OPTIONS_PLAY, DISPLAY_UNSET, SCALE_UNSET, "ab-"},
        {{"--timedemo", "c"}, nullptr, OPTIONS_PLAY, DISPLAY_UNSET, SCALE_UNSET, "--c"},
        {{"--replay"}, nullptr, OPTIONS_BAD, U, U, "--replay needs"},
        {{"--record="}, nullptr, OPTIONS_BAD, U, U, "--record= needs"},
        {{"--recording", "a"}, nullptr, OPTIONS_BAD, U, U, "unknown option '--recording'"},
        {{"--timedemo=c", "--replay=b"}, nullptr, OPTIONS_BAD, U, U, "--timedemo plays"},
        {{"--scale", "2", "--timedemo", "c"}, nullptr, OPTIONS_BAD, DISPLAY_WINDOW, 2, "--time"},
        // The settings file fills what the command line leaves open; the command line wins.
        {{}, "mode = Desktop\n", OPTIONS_PLAY, DISPLAY_DESKTOP, SCALE_UNSET},
        {{}, "mode = window\nscale = auto\n", OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_LARGEST},
        {{"--scale", "2"}, "mode = desktop\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 2},
        {{"--window"}, "mode = desktop\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 3},
        {{"--fullscreen"}, "mode = window\n", OPTIONS_PLAY, DISPLAY_FULLSCREEN, SCALE_UNSET},
        // Values the game does not know are ignored, the rest of the file still counts.
        {{}, "mode = side\nscale = 2\n", OPTIONS_PLAY, DISPLAY_UNSET, 2, "---", "mode 'side'"},
        {{}, "scale = 9\n", OPTIONS_PLAY, DISPLAY_UNSET, SCALE_UNSET, "---", "scale '9'"},
        // The sound, the same way (U: nothing chosen).
        {{"--volume", "0"}, nullptr, OPTIONS_PLAY, U, U, "---", "", 0},
        {{"--volume=100", "--mute"}, nullptr, OPTIONS_PLAY, U, U, "---", "", 100, 1},
        {{"--volume", "500"}, nullptr, OPTIONS_BAD, U, U, "bad volume '500'"},
        {{"--volume", "5x"}, nullptr, OPTIONS_BAD, U, U, "bad volume '5x'"},
        {{"--volume"}, nullptr, OPTIONS_BAD, U, U, "--volume needs"},
        {{}, "volume = 050\nmute = YES\n", OPTIONS_PLAY, U, U, "---", "", 50, 1},
        {{"--volume", "30"}, "volume = 80\nmute = no\n", OPTIONS_PLAY, U, U, "---", "", 30, 0},
        {{"--mute"}, "mute = no\n", OPTIONS_PLAY, U, U, "---", "", U, 1},
        {{}, "volume = 101\nmute = yes\n", OPTIONS_PLAY, U, U, "---", "volume '101'", U, 1},
        {{}, "volume = 7\nmute = maybe\n", OPTIONS_PLAY, U, U, "---", "mute 'maybe'", 7},
    };
    enter_temp_dir(), set_config_data("kept = 1\n", 9); // the library's own: kept after each read
    for (const auto &c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        std::vector<const char *> argv = {"brumzel-ball"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        display_choice choice = {DISPLAY_UNSET, SCALE_UNSET};
        char why[160] = "";
        auto args = const_cast<char **>(argv.data());
        chosen_replay = {}, chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
        auto r = parse_command_line(int(argv.size()), args, &choice, why, sizeof why);
        std::string files;
        for (const char *file :
             {chosen_replay.record, chosen_replay.replay, chosen_replay.timedemo})
            files += file ? file : "-";
        ASSERT_EQ(r, c.result);
        EXPECT_EQ(r == OPTIONS_BAD ? std::string(why).substr(0, strlen(c.files)) : files, c.files);
        remove(SETTINGS_FILE);
        if (c.settings) write_file(SETTINGS_FILE, c.settings);
        testing::internal::CaptureStderr();
        EXPECT_EQ(read_settings_file(SETTINGS_FILE, &choice), !*c.warned); // none: true
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_EQ(warning.substr(0, warning.find(" is")),
                  *c.warned ? std::string(SETTINGS_FILE) + ": " + c.warned : "");
        EXPECT_EQ(N(choice.mode, choice.scale, chosen_sound.volume, chosen_sound.mute,
                    get_config_int(nullptr, "kept", 0)),
                  N(c.mode, c.scale, c.volume, c.mute, 1));
    }
    chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
}

// Each frame pixel (random bits, so a swapped or dropped byte shows) lands where the mapping
// puts it, at 2x plainly x / 2, y / 2, in one blit of the picture; the bars are cleared when the
// mode is set and left alone by every picture.
TEST_F(Display, PresentShowsEachFramePixelWhereTheMappingPutsIt)
{
    const display_view x2 = window_view(2);
    const std::pair<int, display_view> cases[] = {{16, x2},   {24, x2},  {32, x2},
                                                  {15, x2},   {8, wide}, {16, window_view(3)},
                                                  {24, wide}, {32, tall}};
    for (const auto &[depth, v] : cases) {
        const int w = 2 * v.x + v.w, h = 2 * v.y + v.h; // the display, bars included
        const int marker = makecol_depth(depth, 1, 2, 3);
        set_color_depth(depth);
        ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0), 0);
        BITMAP *display = screen, *frame = create_bitmap_ex(depth, SCREEN_WIDTH, SCREEN_HEIGHT);
        clear_to_color(display, marker);
        const int bits = depth == 32 ? -1 : (1 << depth) - 1; // any pixel of the depth
        for (int y = 0; y < SCREEN_HEIGHT; y++)
            for (int x = 0; x < SCREEN_WIDTH; x++)
                putpixel(frame, x, y, int(unsigned(rand()) ^ unsigned(rand()) << 16) & bits);
        bitmaps_before_failure = 1; // memory for the scaled picture, not for the last one sent
        EXPECT_FALSE(scale_frame_onto(frame, display, v));
        ASSERT_TRUE(scale_frame_onto(frame, display, v));
        const int black_bars = pixels(display, 0, 0, w - 1, h - 1, 0) - v.w * v.h;
        rectfill(display, 0, 0, w - 1, h - 1, marker);
        null_tick(1);
        present_screen();
        long wrong = 0, bars_touched = 0;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                int got = getpixel(display, x, y);
                if (x < v.x || x >= v.x + v.w || y < v.y || y >= v.y + v.h)
                    bars_touched += got != marker;
                else if (v.w == 2 * SCREEN_WIDTH)
                    wrong += got != getpixel(frame, x / 2, y / 2);
                else
                    wrong += got != getpixel(frame, to_game_x(x), to_game_y(y));
            }
        }
        EXPECT_EQ(N(wrong, bars_touched, black_bars, null_display_blits),
                  N(0, 0, w * h - v.w * v.h, 1))
            << depth << " bits, " << w << " wide";
        back_to_plain_display();
    }
}

// A picture goes out at most once a tick of the present step's clock and only when it differs
// from the last one sent; one drawn within the tick of the last is held and goes out with the
// next tick from the rests and waits of the screens, as it stands then.
TEST_F(Display, PicturesGoOutOnceATickAndOnlyWhenNew)
{
    chosen_display = {DISPLAY_WINDOW, 2};
    set_display_mode();
    BITMAP *frame = screen, *display = display_bitmap;
    const int colours[] = {makecol(200, 0, 0), makecol(0, 200, 0), makecol(0, 0, 200)};
    // Each step's letters: R, G, B draw that colour and present it, p presents again, t ticks, a
    // digit rests so many ms, w waits a moment. Then the pictures sent in all and the colour shown.
    const struct {
        const char *ops;
        int sent, shown;
    } steps[] = {
        {"tR", 1, 0},   // a new display: the first picture goes out at once
        {"Gpp", 1, 0},  // within the same tick: held
        {"3", 1, 0},    // 3 ms of rest, less than a tick, holds it still
        {"33", 2, 1},   // the rest that sees the tick sends it
        {"tp", 2, 1},   // the same picture again: nothing sent
        {"Btw", 3, 2},  // the wait of a screen sends it at the next tick
        {"tttR", 4, 0}, // ticks passed meanwhile: still one picture
        {"G7", 5, 1},   // the tick in a rest's last ms: it goes out as the rest ends
    };
    for (const auto &st : steps) {
        for (const char *op = st.ops; *op; op++) {
            const char *c = strchr("RGB", *op);
            if (c) clear_to_color(frame, colours[c - "RGB"]);
            if (c || *op == 'p') present_screen();
            if (*op == 't') null_tick(1);
            if (isdigit(*op)) rest_unless_closed(*op - '0');
            if (*op == 'w') wait_a_moment();
        }
        EXPECT_EQ(N(null_display_blits, getpixel(display, 1599, 1199)),
                  N(st.sent, colours[st.shown]))
            << st.ops;
    }
    // M pressed and let go within a rest mutes the sound.
    null_rested = [](unsigned) { key[KEY_M] = !key[KEY_M] && !sound_muted; };
    rest_unless_closed(100), null_rested = nullptr;
    EXPECT_TRUE(sound_muted);
    set_muted(false), back_to_plain_display();
}

// The mode line read (the first before any section, named in any case) is replaced in place with
// its own line ending, or one is added at the end of the global part; every other byte stays,
// long lines included. The library reads the new mode back.
TEST_F(Display, SwitchedModeIsKeptInTheSettingsFileWithItsOtherLines)
{
    const std::string long_note = "n = " + std::string(252, 'a');
    const std::tuple<bool, std::string, int, std::string> cases[] = {
        // file, before, mode, after
        {false, "", DISPLAY_DESKTOP, "mode = desktop\n"},
        {true, "# mine\n\nscale = 2\nMode=fullscreen\r\nmode = window\n[x]\nmode = keep\n",
         DISPLAY_WINDOW, "# mine\n\nscale = 2\nmode = window\r\nmode = window\n[x]\nmode = keep\n"},
        {true, "scale = 3\n[x]\nmode = keep\n", DISPLAY_DESKTOP,
         "scale = 3\nmode = desktop\n[x]\nmode = keep\n"},
        {true, "#mode = desktop\nmodest = 1\nscale = 3", DISPLAY_WINDOW,
         "#mode = desktop\nmodest = 1\nscale = 3\nmode = window\n"},
        {true, "  mode\tdesktop", DISPLAY_FULLSCREEN, "mode = fullscreen"},
        // A line longer than one read: its second part is no line of its own.
        {true, long_note + "mode = desktop\n", DISPLAY_WINDOW,
         long_note + "mode = desktop\nmode = window\n"},
    };
    enter_temp_dir();
    for (const auto &[exists, before, mode, after] : cases) {
        remove(SETTINGS_FILE);
        if (exists) write_file(SETTINGS_FILE, before);
        char why[160] = "";
        EXPECT_TRUE(write_settings_mode(SETTINGS_FILE, mode, why, sizeof why)) << why;
        EXPECT_EQ(file_bytes(SETTINGS_FILE), after);
        display_choice read = {DISPLAY_UNSET, SCALE_UNSET};
        read_settings_file(SETTINGS_FILE, &read);
        EXPECT_EQ(read.mode, mode) << after;
    }
    // No mode, a new file that cannot be made (a folder in the way), a folder as the file, a
    // file that cannot be read: the old file stays, no temporary one is left, and it says why.
    mkdir("brumzel-ball.cfg.tmp", 0700), mkdir("folder.cfg", 0700);
    const std::tuple<const char *, int, const char *> refused[] = {
        {SETTINGS_FILE, DISPLAY_UNSET, "no such mode or path"},
        {SETTINGS_FILE, DISPLAY_DESKTOP, "cannot write brumzel-ball.cfg.tmp: Is a directory"},
        {"folder.cfg", DISPLAY_WINDOW, "cannot write folder.cfg.tmp: Is a directory"},
        {"brumzel-ball.cfg/x.cfg", DISPLAY_WINDOW, "cannot read it: Not a directory"}};
    for (auto [path, mode, says] : refused) {
        char why[160] = "";
        EXPECT_FALSE(write_settings_mode(path, mode, why, sizeof why));
        EXPECT_STREQ(why, says);
    }
    EXPECT_EQ(file_bytes(SETTINGS_FILE) + file_bytes("folder.cfg.tmp"), std::get<3>(cases[5]));
}

// ---- the full-screen switch, on the null display ----
// On a 1366x768 desktop F11 takes the default mode to the largest window that fits (800x600),
// then the desktop fill, keeping the picture the game had drawn and the pointer's place in the
// game; a mode that cannot be set leaves the game as it was. Each switch keeps its mode in the
// settings file, or says why not. (Alt+Enter in name entry: the whole run of test_program.)
TEST_F(Display, SwitchKeepsTheFrameAndThePointersPlace)
{
    enter_temp_dir(), set_color_depth(32); // a mode takes the picture's depth, not the last asked
    desktop_width = 1366, desktop_height = 768;
    blit(title1, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    set_game_mouse_range(0, 0, 799, 599);
    mouse_x = 700, mouse_y = 500;
    const struct {
        int mode, frame_x, frame_w;
        std::array<int, 6> range_and_pointer;
    } steps[] = {{DISPLAY_WINDOW, 0, 800, {0, 0, 799, 599, 700, 500}},
                 {DISPLAY_DESKTOP, 171, 1024, {171, 0, 1194, 767, 1067, 640}}};
    testing::internal::CaptureStderr();
    EXPECT_FALSE((bitmaps_before_failure = 0, switch_display_mode())); // no memory for the picture
    for (const auto &st : steps) {
        if (st.mode == DISPLAY_DESKTOP) mkdir("brumzel-ball.cfg.tmp", 0700); // not kept: says so
        key[KEY_F11] = 1;
        end_if_closed(), end_if_closed(); // held: one switch, at any screen's rest
        key[KEY_F11] = 0;
        end_if_closed(), null_tick(1);
        send_held_picture();
        ASSERT_NE(display_bitmap, nullptr);
        EXPECT_EQ(N(null_display_blits, chosen_display.mode, frame_view.x, frame_view.w,
                    !strcmp(null_display_title, "Brumzel Ball")),
                  N(1, st.mode, st.frame_x, st.frame_w, 1));
        if (st.mode == DISPLAY_WINDOW)
            EXPECT_EQ(pixels(display_bitmap, 0, 0, 799, 599, -1, title1), 0);
        else
            compare_picture("desktop_fill", display_bitmap); // as the start-up shows it
        const std::array<int, 6> placed = {mouse_range[0], mouse_range[1],    mouse_range[2],
                                           mouse_range[3], pointer_placed[0], pointer_placed[1]};
        EXPECT_EQ(placed, st.range_and_pointer);
        mouse_x = pointer_placed[0], mouse_y = pointer_placed[1];
        _switch_out(); // the old window's focus goes with it, unlike the new one's once it had it
        _switch_in();
        const bool by_switch = focus_was_lost();
        _switch_out(), _switch_in();
        EXPECT_EQ(N(by_switch, focus_was_lost()), N(0, 1));
    }
    // A window the display refuses, then a desktop of unknown size: the mode stays, and says why.
    refused_width = 800;
    EXPECT_FALSE(switch_display_mode());
    EXPECT_EQ(N(chosen_display.mode, frame_view.w, display_bitmap->w, gfx_driver->windowed),
              N(DISPLAY_DESKTOP, 1024, 1366, 0));
    chosen_display.mode = DISPLAY_WINDOW, desktop_width = 0;
    EXPECT_FALSE(switch_display_mode());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Brumzel Ball: no memory for the game's picture; the display stays as it was\n"
              "brumzel-ball.cfg: the display mode was not kept: cannot write brumzel-ball.cfg.tmp: "
              "Is a directory\nBrumzel Ball: the 800x600 mode could not be set (the null display "
              "refuses this mode); the display stays as it was\nBrumzel Ball: the desktop's size "
              "is not known, so the desktop mode cannot be set\n");
    EXPECT_EQ(file_bytes(SETTINGS_FILE) + modes_asked,
              "mode = window\nwindow 800x600x16;full 1366x768x16;window 800x600x16;"
              "full 1366x768x16;");
    // No memory for the scaled picture, then no mode at all: the game stops. Switched, the game
    // ends closing the display it opened, without a word.
    desktop_width = 1366, rmdir("brumzel-ball.cfg.tmp");
    for (int lost : {0, 1, 2})
        EXPECT_EXIT((lost == 1 ? refused_depths = -1 : bitmaps_before_failure = 1 - lost,
                     switch_display_mode(), exit(0)),
                    testing::ExitedWithCode(lost < 2),
                    lost == 2 ? "^$"
                    : lost    ? "lost in a switch"
                              : "scaled picture");
    back_to_plain_display();
}

// Each display mode that cannot be had says what it could not open, and the game stops.
TEST_F(Display, ModesThatCannotBeSetSayWhyAndStop)
{
    const std::pair<display_choice, const char *> modes[] = {
        {{DISPLAY_UNSET, SCALE_UNSET}, "refuses this mode\nUnable to set 16,24 or 32 bit graphic"},
        {{DISPLAY_WINDOW, 3}, "cannot start: no 2400x1800 window could be opened at 16, 24 or 32"},
        {{DISPLAY_WINDOW, SCALE_LARGEST}, "cannot start: no 800x600 window"},
        {{DISPLAY_DESKTOP, SCALE_UNSET}, "cannot start: the desktop's own 1366x768 full-screen"}};
    null_desktop_w = 1366, null_desktop_h = 768;
    refused_depths = -1; // every depth
    for (const auto &[choice, says] : modes) {
        chosen_display = choice;
        EXPECT_EXIT((dup2(2, 1), set_display_mode()), testing::ExitedWithCode(1), says);
    }
    null_desktop_w = 0; // a desktop of no known size
    chosen_display = {DISPLAY_DESKTOP, SCALE_UNSET};
    EXPECT_EXIT(set_display_mode(), testing::ExitedWithCode(1), "the desktop's size is not known");
    refused_depths = 0, chosen_display = {DISPLAY_WINDOW, 2}; // the mode's bitmap made, then no
    for (int made : {1, 2}) // memory for either picture, also said in the library's message box
        EXPECT_EXIT((dup2(2, 1), bitmaps_before_failure = made, set_display_mode()),
                    testing::ExitedWithCode(1),
                    made == 1 ? "start:\nno memory for the game's 800x600" : "the game's scaled");
    back_to_plain_display();
}
