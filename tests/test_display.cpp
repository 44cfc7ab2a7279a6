// The display modes: coordinates both ways, the command line and settings file, the present step
#include <cstdio>

#include "display.h"
#include "fixture.h"
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
        for (int g = 0; g < SCREEN_WIDTH; g++) {
            ASSERT_EQ(to_game_x(to_display_x(g)), g);
            ASSERT_EQ(to_game_x(to_display_x(g) - 1), g - 1);
        }
        for (int g = 0; g < SCREEN_HEIGHT; g++) {
            ASSERT_EQ(to_game_y(to_display_y(g)), g);
            ASSERT_EQ(to_game_y(to_display_y(g) - 1), g - 1);
        }
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

TEST_F(Display, CommandLineAndSettingsFileChooseTheMode)
{
    const struct {
        std::vector<const char *> args;
        const char *settings; // nullptr: no settings file
        option_result result;
        int mode, scale;
        bool settings_good;
    } cases[] = {
        {{"--scale=4"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, 4, true},
        {{"--desktop", "--window"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_UNSET, true},
        {{"--help"}, nullptr, OPTIONS_HELP, DISPLAY_UNSET, SCALE_UNSET, true},
        {{"--scale", "5"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
        {{"--scale", "2x"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
        {{"--scale"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
        {{"--desktop", "--scale", "2"}, nullptr, OPTIONS_BAD, DISPLAY_DESKTOP, 2, true},
        {{"--bogus", "--help"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
        // The settings file fills what the command line leaves open; the command line wins.
        {{}, "mode = Desktop\n", OPTIONS_PLAY, DISPLAY_DESKTOP, SCALE_UNSET, true},
        {{}, "mode = window\nscale = auto\n", OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_LARGEST, true},
        {{"--scale", "2"}, "mode = desktop\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 2, true},
        {{"--window"}, "mode = desktop\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 3, true},
        {{"--fullscreen"}, "mode = window\n", OPTIONS_PLAY, DISPLAY_FULLSCREEN, SCALE_UNSET, true},
        // Values the game does not know are ignored, the rest of the file still counts.
        {{}, "mode = sideways\nscale = 2\n", OPTIONS_PLAY, DISPLAY_UNSET, 2, false},
        {{}, "mode = window\nscale = 9\n", OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_UNSET, false},
    };
    enter_temp_dir();
    for (const auto &c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        std::vector<const char *> argv = {"brumzel-ball"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        display_choice choice = {DISPLAY_UNSET, SCALE_UNSET};
        char why[160] = "";
        auto args = const_cast<char **>(argv.data());
        auto r = parse_command_line(int(argv.size()), args, &choice, why, sizeof why);
        ASSERT_EQ(r, c.result);
        EXPECT_EQ(r == OPTIONS_BAD, why[0] != '\0') << "a refused line says why: " << why;
        remove(SETTINGS_FILE);
        if (c.settings) write_file(SETTINGS_FILE, c.settings);
        EXPECT_EQ(read_settings_file(SETTINGS_FILE, &choice), c.settings_good); // none: true
        EXPECT_EQ(N(choice.mode, choice.scale), N(c.mode, c.scale));
    }
}

// Each frame pixel (random channels, so a swapped or dropped byte shows) lands where the mapping
// puts it, at 2x plainly x / 2, y / 2; the bars stay as they were.
TEST_F(Display, PresentShowsEachFramePixelWhereTheMappingPutsIt)
{
    const display_view x2 = window_view(2);
    const std::pair<int, display_view> cases[] = {
        {16, x2}, {24, x2}, {32, x2}, {16, window_view(3)}, {24, wide}, {32, tall}};
    for (const auto &[depth, v] : cases) {
        const int w = 2 * v.x + v.w, h = 2 * v.y + v.h; // the display, bars included
        BITMAP *frame = create_bitmap_ex(depth, SCREEN_WIDTH, SCREEN_HEIGHT);
        BITMAP *display = create_bitmap_ex(depth, w, h);
        for (int y = 0; y < SCREEN_HEIGHT; y++)
            for (int x = 0; x < SCREEN_WIDTH; x++)
                putpixel(frame, x, y,
                         makecol_depth(depth, rand() % 256, rand() % 256, rand() % 256));
        const int marker = makecol_depth(depth, 1, 2, 3);
        clear_to_color(display, marker);
        use_display_view(v);
        present_frame(frame, display);
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
        EXPECT_EQ(N(wrong, bars_touched), N(0, 0)) << depth << " bits, " << w << " wide";
        destroy_bitmap(display);
        destroy_bitmap(frame);
    }
}
