// Tests of the display modes: display and game coordinates both ways, the command line with the
// settings file, and the present step against a plain pixel-by-pixel reference.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display.h"
#include "fixture.h"
#include "options.h"
#include "title_screen.h"

class Display : public Headless {
  protected:
    void TearDown() override
    {
        use_display_view(window_view(1));
        mouse_x = mouse_y = 0;
        Headless::TearDown();
    }
};

// The windows of every scale, and the desktop fill with bars at the sides, above and below, and
// at a size that is no whole multiple of 800x600.
static const struct {
    const char *why;
    display_view view;
} views[] = {
    {"scale 1", window_view(1)},
    {"scale 2", window_view(2)},
    {"scale 3", window_view(3)},
    {"scale 4", window_view(4)},
    {"1920x1080 fill: bars left and right", desktop_fill_view(1920, 1080)},
    {"1280x1024 fill: bars above and below", desktop_fill_view(1280, 1024)},
    {"1366x768 fill: 1024x768, 1.28 display pixels a game pixel", desktop_fill_view(1366, 768)},
};

TEST_F(Display, ViewsForTheDesktopAndTheWindow)
{
    const display_view fill = desktop_fill_view(1920, 1080);
    EXPECT_EQ(fill.x, 240);
    EXPECT_EQ(fill.w, 1440);
    EXPECT_EQ(fill.h, 1080);
    const display_view tall = desktop_fill_view(1280, 1024);
    EXPECT_EQ(tall.y, 32);
    EXPECT_EQ(tall.h, 960);
    // The largest window that fits with room for its frame; never less than 800x600.
    const int fits[][3] = {{1920, 1080, 1}, {1700, 1300, 2}, {2560, 1440, 2},
                           {3840, 2160, 3}, {800, 600, 1},   {4000, 3000, 4}};
    for (const auto &f : fits)
        EXPECT_EQ(largest_window_scale(f[0], f[1]), f[2]) << f[0] << "x" << f[1];
}

TEST_F(Display, DisplayAndGameCoordinatesMeetAtCornersBallsAndRims)
{
    for (const auto &c : views) {
        SCOPED_TRACE(c.why);
        const display_view v = c.view;
        use_display_view(v);
        EXPECT_EQ(to_game_x(v.x), 0);
        EXPECT_EQ(to_game_y(v.y), 0);
        EXPECT_EQ(to_game_x(v.x + v.w - 1), SCREEN_WIDTH - 1);
        EXPECT_EQ(to_game_y(v.y + v.h - 1), SCREEN_HEIGHT - 1);
        EXPECT_LT(to_game_x(v.x - 1), 0) << "the bar left of the frame is outside the game";
        // Every game pixel goes to the first display pixel that shows it, and back.
        for (int g = 0; g < SCREEN_WIDTH; g++) {
            ASSERT_EQ(to_game_x(to_display_x(g)), g);
            ASSERT_EQ(to_game_x(to_display_x(g) - 1), g - 1);
        }
        for (int g = 0; g < SCREEN_HEIGHT; g++) {
            ASSERT_EQ(to_game_y(to_display_y(g)), g);
            ASSERT_EQ(to_game_y(to_display_y(g) - 1), g - 1);
        }
        // The pointer over a ball's centre and over the last display pixel of its right rim
        // picks that ball; one display pixel further picks nothing.
        for (int n = 0; n < MENU_ITEMS; n++) {
            const int cx = menu_circle[n][0], cy = menu_circle[n][1];
            mouse_x = to_display_x(cx);
            mouse_y = to_display_y(cy);
            EXPECT_EQ(menu_item_at(game_mouse_x(), game_mouse_y()), n);
            mouse_x = to_display_x(cx + MENU_BALL_RADIUS + 1) - 1;
            EXPECT_EQ(menu_item_at(game_mouse_x(), game_mouse_y()), n) << "rim of ball " << n;
            mouse_x++;
            EXPECT_EQ(menu_item_at(game_mouse_x(), game_mouse_y()), MENU_NONE) << "past " << n;
        }
    }
}

// ---- the command line and the settings file ----

static const struct {
    std::vector<const char *> args;
    const char *settings; // nullptr: no settings file
    option_result result;
    int mode, scale;
    bool settings_good;
} option_cases[] = {
    {{}, nullptr, OPTIONS_PLAY, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--fullscreen"}, nullptr, OPTIONS_PLAY, DISPLAY_FULLSCREEN, SCALE_UNSET, true},
    {{"--window"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_UNSET, true},
    {{"--desktop"}, nullptr, OPTIONS_PLAY, DISPLAY_DESKTOP, SCALE_UNSET, true},
    {{"--window", "--scale", "3"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, 3, true},
    {{"--scale=4"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, 4, true}, // a scale asks for a window
    {{"--desktop", "--window"}, nullptr, OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_UNSET, true},
    {{"--help"}, nullptr, OPTIONS_HELP, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--version"}, nullptr, OPTIONS_VERSION, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--scale", "5"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--scale", "0"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--scale", "2x"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--scale"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--desktop", "--scale", "2"}, nullptr, OPTIONS_BAD, DISPLAY_DESKTOP, 2, true},
    {{"play"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
    {{"--bogus", "--help"}, nullptr, OPTIONS_BAD, DISPLAY_UNSET, SCALE_UNSET, true},
    // The settings file fills what the command line leaves open; the command line wins.
    {{}, "mode = window\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 3, true},
    {{}, "mode = Desktop\n", OPTIONS_PLAY, DISPLAY_DESKTOP, SCALE_UNSET, true},
    {{}, "mode = window\nscale = auto\n", OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_LARGEST, true},
    {{"--scale", "2"}, "mode = desktop\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 2, true},
    {{"--window"}, "mode = desktop\nscale = 3\n", OPTIONS_PLAY, DISPLAY_WINDOW, 3, true},
    {{"--fullscreen"}, "mode = window\n", OPTIONS_PLAY, DISPLAY_FULLSCREEN, SCALE_UNSET, true},
    // Values the game does not know are ignored, the rest of the file still counts.
    {{}, "mode = sideways\nscale = 2\n", OPTIONS_PLAY, DISPLAY_UNSET, 2, false},
    {{}, "mode = window\nscale = 9\n", OPTIONS_PLAY, DISPLAY_WINDOW, SCALE_UNSET, false},
};

TEST_F(Display, CommandLineAndSettingsFileChooseTheMode)
{
    enter_temp_dir();
    const std::string path = SETTINGS_FILE;
    for (const auto &c : option_cases) {
        std::vector<char *> argv = {const_cast<char *>("brumzel-ball")};
        std::string line = "brumzel-ball";
        for (const char *a : c.args) {
            argv.push_back(const_cast<char *>(a));
            line += std::string(" ") + a;
        }
        SCOPED_TRACE(line + (c.settings ? " with " + std::string(c.settings) : ""));
        display_choice choice = {DISPLAY_UNSET, SCALE_UNSET};
        char why[160] = "";
        option_result r =
            parse_command_line(int(argv.size()), argv.data(), &choice, why, sizeof why);
        ASSERT_EQ(r, c.result);
        EXPECT_EQ(r == OPTIONS_BAD, why[0] != '\0') << "a refused line says why: " << why;
        remove(path.c_str());
        if (c.settings) {
            FILE *f = fopen(path.c_str(), "w");
            ASSERT_NE(f, nullptr);
            fputs(c.settings, f);
            fclose(f);
        }
        if (r == OPTIONS_PLAY) {
            EXPECT_EQ(read_settings_file(path.c_str(), &choice), c.settings_good);
        }
        EXPECT_EQ(choice.mode, c.mode);
        EXPECT_EQ(choice.scale, c.scale);
    }
    remove(path.c_str());
}

// ---- the present step ----

// Frame pixels of every channel value, so a swapped or dropped byte shows.
static void fill_pattern(BITMAP *frame)
{
    const int depth = bitmap_color_depth(frame);
    srand(12);
    for (int y = 0; y < frame->h; y++)
        for (int x = 0; x < frame->w; x++)
            putpixel(frame, x, y, makecol_depth(depth, rand() % 256, rand() % 256, rand() % 256));
}

TEST_F(Display, PresentShowsEachFramePixelWhereTheMappingPutsIt)
{
    const int marker_rgb[3] = {1, 2, 3};
    const struct {
        int depth;
        display_view view;
        int w, h;
    } cases[] = {
        {16, window_view(2), 1600, 1200},
        {24, window_view(2), 1600, 1200},
        {32, window_view(2), 1600, 1200},
        {16, window_view(3), 2400, 1800},
        {16, desktop_fill_view(1920, 1080), 1920, 1080},
        {24, desktop_fill_view(1366, 768), 1366, 768},
        {32, desktop_fill_view(1280, 1024), 1280, 1024},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.depth) + " bits, " + std::to_string(c.w) + "x" +
                     std::to_string(c.h));
        BITMAP *frame = create_bitmap_ex(c.depth, SCREEN_WIDTH, SCREEN_HEIGHT);
        BITMAP *display = create_bitmap_ex(c.depth, c.w, c.h);
        ASSERT_TRUE(frame && display);
        fill_pattern(frame);
        const int marker = makecol_depth(c.depth, marker_rgb[0], marker_rgb[1], marker_rgb[2]);
        clear_to_color(display, marker);
        use_display_view(c.view);
        present_frame(frame, display);
        // The plain reference: every display pixel of the view shows the frame pixel the
        // mapping names; the bars around the view are left alone.
        const display_view &v = c.view;
        long wrong = 0, bars_touched = 0;
        for (int y = 0; y < c.h; y++) {
            for (int x = 0; x < c.w; x++) {
                int got = getpixel(display, x, y);
                bool inside = x >= v.x && x < v.x + v.w && y >= v.y && y < v.y + v.h;
                if (!inside)
                    bars_touched += got != marker;
                else
                    wrong += got != getpixel(frame, to_game_x(x), to_game_y(y));
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(bars_touched, 0);
        if (v.w == 2 * SCREEN_WIDTH) { // at 2x the reference is plainly x / 2, y / 2
            EXPECT_EQ(getpixel(display, 1599, 1199), getpixel(frame, 799, 599));
        }
        destroy_bitmap(display);
        destroy_bitmap(frame);
    }
}
