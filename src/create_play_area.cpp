// create_play_area -- launchers, score bar, balls-left bars and icons, end-of-game count
#include "create_play_area.h"

#include <allegro.h>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "game_clock.h"
#include "game_input.h"
#include "gamedata.h"
#include "init.h"
#include "title_screen.h"

// Each launcher turns about the point where its balls leave it.
constexpr int P1_PIVOT_X = 60, P1_PIVOT_Y = 10, P1_LAUNCHER_X = 35, P1_LAUNCHER_Y = 295;
constexpr int P2_PIVOT_X = 10, P2_PIVOT_Y = 10, P2_LAUNCHER_X = 775, P2_LAUNCHER_Y = 295;
// The right launcher turns the other way, and further per unit of its smaller aim range.
constexpr double P1_TILT = 110, P2_TILT = -800;

constexpr int P1_BAR_X = 10, P2_BAR_X = 685, BAR_TOP = 70, BAR_BOTTOM = 80;
constexpr int BALLS_PER_BAR_PIXEL = 4;
constexpr int ICON_SPACING = 10; // one icon for every 40 balls left

// Tilts are negative as often as not; ftofix takes them where itofix would shift a negative.
static void draw_launchers()
{
    int a1 = static_cast<int>(atan(double(p1_dy / 100)) * P1_TILT);
    pivot_sprite(buffer, launcher_p1, P1_LAUNCHER_X, P1_LAUNCHER_Y, P1_PIVOT_X, P1_PIVOT_Y,
                 ftofix(a1));
    int a2 = static_cast<int>(atan(double(p2_dy / 100)) * P2_TILT);
    pivot_sprite(buffer, launcher_p2, P2_LAUNCHER_X, P2_LAUNCHER_Y, P2_PIVOT_X, P2_PIVOT_Y,
                 ftofix(a2));
}

// White score-bar text with a transparent background. Formatted here rather than by the
// library's textprintf, which takes its working buffer from the heap on every call.
static void print_white(int x, int y, const char *format, ...)
{
    char text[64];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    textout_ex(buffer, data_font(DAT_FONT_SCORE), text, x, y, makecol(255, 255, 255), -1);
}

static void draw_scores()
{
    print_white(10, 1, "1UP");
    print_white(10, 30, "%05i", p1_score);
    print_white(690, 1, Menu_Option == MENU_ONE_PLAYER ? "CPU" : "2 up");
    print_white(690, 30, "%05i", p2_score);
    print_white(280, 5, "HI SCORE %05i", hi);
}

// A bar as long as a quarter of the balls left, with a ball icon over it for every 40.
static void draw_balls_left(int bar_x, int balls, int grey, BITMAP *icon)
{
    int length = balls / BALLS_PER_BAR_PIXEL;
    rectfill(buffer, bar_x, BAR_TOP, bar_x + length, BAR_BOTTOM, makecol(grey, grey, grey));
    for (int n = 2 * ICON_SPACING; n <= length + ICON_SPACING; n += ICON_SPACING)
        draw_sprite(buffer, icon, bar_x + n - 2 * ICON_SPACING, BAR_TOP);
}

static void draw_count()
{
    int count = count_at(shown_clock());
    if (count >= 0)
        print_white(300, 565, "COUNTDOWN: %02i", count);
    else
        print_white(300, 565, "COUNTDOWN: ---");
}

void create_play_area()
{
    draw_launchers();
    draw_scores();
    draw_balls_left(P1_BAR_X, p1_balls, 64, sprite1);
    draw_balls_left(P2_BAR_X, p2_balls, 32, sprite2);
    draw_count();
}
