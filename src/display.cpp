// display -- the game's 800x600 frame, the display mode that shows it, the present step, the
// mouse in game coordinates and the window's close button
#include "display.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio.h"
#include "version.h"

display_choice chosen_display = {DISPLAY_UNSET, SCALE_UNSET};
display_view frame_view = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
BITMAP *display_bitmap = nullptr;
void (*picture_shown)() = nullptr;
int keeping_score = 0;

// Room left around a window for its title bar and the desktop's panels.
constexpr int WINDOW_MARGIN = 64;
// The largest display the desktop fill's row and column maps are made for (64 KiB each).
constexpr int MAX_DISPLAY_SIDE = 16384;

// Display column -> frame column and display row -> frame row of the view; the fill reads them.
static int fill_column[MAX_DISPLAY_SIDE], fill_row[MAX_DISPLAY_SIDE];
static int whole_scale = 1;  // the view's whole-number scale, or 0 for any other size
static bool unscaled = true; // the view is the display's own 800x600: coordinates are the same

// ---- views ----

display_view window_view(int scale)
{
    return {0, 0, SCREEN_WIDTH * scale, SCREEN_HEIGHT * scale};
}

int largest_window_scale(int desktop_w, int desktop_h)
{
    int scale = MAX_WINDOW_SCALE;
    while (scale > 1 &&
           (SCREEN_WIDTH * scale > desktop_w || SCREEN_HEIGHT * scale + WINDOW_MARGIN > desktop_h))
        scale--;
    return scale;
}

display_view desktop_fill_view(int desktop_w, int desktop_h)
{
    // As wide as the height allows, or as high as the width allows, whichever is smaller.
    int w = desktop_w, h = desktop_w * SCREEN_HEIGHT / SCREEN_WIDTH;
    if (h > desktop_h) {
        h = desktop_h;
        w = desktop_h * SCREEN_WIDTH / SCREEN_HEIGHT;
    }
    return {(desktop_w - w) / 2, (desktop_h - h) / 2, w, h};
}

// Division that rounds toward minus infinity, so points left of the frame map left of it.
static int floor_div(long a, long b)
{
    return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
}

void use_display_view(const display_view &v)
{
    frame_view = v;
    bool whole = v.w % SCREEN_WIDTH == 0 && v.h % SCREEN_HEIGHT == 0 &&
                 v.w / SCREEN_WIDTH == v.h / SCREEN_HEIGHT;
    whole_scale = whole ? v.w / SCREEN_WIDTH : 0;
    unscaled = v.x == 0 && v.y == 0 && whole_scale == 1;
    // No view is larger than the maps: the desktop mode refuses a larger desktop.
    for (int x = 0; x < v.w && x < MAX_DISPLAY_SIDE; x++)
        fill_column[x] = to_game_x(v.x + x);
    for (int y = 0; y < v.h && y < MAX_DISPLAY_SIDE; y++)
        fill_row[y] = to_game_y(v.y + y);
}

// ---- the mapping ----

int to_game_x(int display_x)
{
    return floor_div(long(display_x - frame_view.x) * SCREEN_WIDTH, frame_view.w);
}

int to_game_y(int display_y)
{
    return floor_div(long(display_y - frame_view.y) * SCREEN_HEIGHT, frame_view.h);
}

int to_display_x(int game_x)
{
    return frame_view.x - floor_div(-long(game_x) * frame_view.w, SCREEN_WIDTH);
}

int to_display_y(int game_y)
{
    return frame_view.y - floor_div(-long(game_y) * frame_view.h, SCREEN_HEIGHT);
}

int game_mouse_x()
{
    return unscaled ? mouse_x : to_game_x(mouse_x);
}

int game_mouse_y()
{
    return unscaled ? mouse_y : to_game_y(mouse_y);
}

// The display range covers every display pixel of the game pixels x1..x2 and y1..y2.
void set_game_mouse_range(int x1, int y1, int x2, int y2)
{
    if (unscaled) {
        set_mouse_range(x1, y1, x2, y2);
        return;
    }
    set_mouse_range(to_display_x(x1), to_display_y(y1), to_display_x(x2 + 1) - 1,
                    to_display_y(y2 + 1) - 1);
}

void position_game_mouse(int x, int y)
{
    if (unscaled) {
        position_mouse(x, y);
        return;
    }
    position_mouse(to_display_x(x), to_display_y(y));
}

// ---- the present step ----

// One pixel of 24-bit colour; copying it copies its three bytes.
struct pixel24 {
    uint8_t b[3];
};

// Each frame pixel becomes scale x scale display pixels: the first display line of a frame line
// is written pixel by pixel, the others are copies of it.
template <typename P>
static void present_whole(BITMAP *frame, BITMAP *display, const display_view &v, int scale)
{
    const size_t line_bytes = sizeof(P) * v.w;
    for (int y = 0; y < SCREEN_HEIGHT; y++) {
        const P *in = reinterpret_cast<const P *>(frame->line[y]);
        int top = v.y + y * scale;
        P *first = reinterpret_cast<P *>(bmp_write_line(display, top)) + v.x;
        P *out = first;
        if (scale == 2) {
            for (int x = 0; x < SCREEN_WIDTH; x++, out += 2)
                out[0] = out[1] = in[x];
        } else {
            for (int x = 0; x < SCREEN_WIDTH; x++)
                for (int k = 0; k < scale; k++)
                    *out++ = in[x];
        }
        for (int k = 1; k < scale; k++)
            memcpy(reinterpret_cast<P *>(bmp_write_line(display, top + k)) + v.x, first,
                   line_bytes);
    }
}

// Any other size takes, for each display pixel, the frame pixel the maps give; a display line
// that shows the same frame line as the one above it is a copy of it.
template <typename P>
static void present_fill(BITMAP *frame, BITMAP *display, const display_view &v)
{
    const size_t line_bytes = sizeof(P) * v.w;
    const int *column = fill_column;
    const P *previous = nullptr;
    int previous_row = -1;
    for (int y = 0; y < v.h; y++) {
        int row = fill_row[y];
        P *out = reinterpret_cast<P *>(bmp_write_line(display, v.y + y)) + v.x;
        if (row == previous_row) {
            memcpy(out, previous, line_bytes);
        } else {
            const P *in = reinterpret_cast<const P *>(frame->line[row]);
            for (int x = 0; x < v.w; x++)
                out[x] = in[column[x]];
        }
        previous = out;
        previous_row = row;
    }
}

template <typename P> static void present_at_depth(BITMAP *frame, BITMAP *display)
{
    if (whole_scale > 0)
        present_whole<P>(frame, display, frame_view, whole_scale);
    else
        present_fill<P>(frame, display, frame_view);
}

void present_frame(BITMAP *frame, BITMAP *display)
{
    acquire_bitmap(display);
    switch (bitmap_color_depth(frame)) {
    case 15:
    case 16:
        present_at_depth<uint16_t>(frame, display);
        break;
    case 24:
        present_at_depth<pixel24>(frame, display);
        break;
    case 32:
        present_at_depth<uint32_t>(frame, display);
        break;
    default:
        present_at_depth<uint8_t>(frame, display);
        break;
    }
    bmp_unwrite_line(display);
    release_bitmap(display);
}

// ---- setting the mode ----

// When the process ends, screen is the display again, for the library to close it.
static void restore_display_screen()
{
    if (display_bitmap) {
        BITMAP *frame = screen;
        screen = display_bitmap;
        display_bitmap = nullptr;
        destroy_bitmap(frame);
    }
}

static void mode_failed(const char *what);

// The frame is drawn into a memory bitmap from here on and presented on the display, whose
// borders are cleared once.
static void scale_onto_display(const display_view &v)
{
    use_display_view(v);
    if (v.x == 0 && v.y == 0 && v.w == SCREEN_WIDTH && v.h == SCREEN_HEIGHT) return;
    BITMAP *frame = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!frame) mode_failed("no memory for the game's 800x600 picture");
    clear_bitmap(screen);
    clear_bitmap(frame);
    display_bitmap = screen;
    screen = frame;
    atexit(restore_display_screen);
}

static void mode_failed(const char *what)
{
    char why[ALLEGRO_ERROR_SIZE];
    snprintf(why, sizeof why, "%s", allegro_error);
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    fprintf(stderr, "%s cannot start: %s\n%s\n", GAME_NAME, what, why);
    allegro_message("%s cannot start:\n%s\n%s\n", GAME_NAME, what, why);
    exit(1);
}

void report_no_display()
{
    const char *name = getenv("DISPLAY");
    fprintf(stderr, "%s cannot start: no display could be opened.\n", GAME_NAME);
    fprintf(stderr, "The game opens its screen on the X display named by the DISPLAY variable,\n");
    if (name && name[0])
        fprintf(stderr,
                "here \"%s\", which did not answer: is that X server running, and may\n"
                "this user open windows on it?\n",
                name);
    else
        fprintf(stderr, "which is not set: start the game from a desktop session, or set DISPLAY\n"
                        "(for example DISPLAY=:0).\n");
}

// Tries depths in order; the first the system takes is kept. True on success.
static bool try_depths(const int *depths, int count, int card, int w, int h)
{
    for (int n = 0; n < count; n++) {
        if (depths[n] <= 0) continue;
        set_color_depth(depths[n]);
        if (set_gfx_mode(card, w, h, 0, 0) == 0) return true;
    }
    return false;
}

static void set_fullscreen_mode()
{
    static const int depths[] = {16, 24, 32};
    if (try_depths(depths, 3, GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT)) return;
    // Said on standard error too: the message box may have no display to appear on.
    fprintf(stderr, "Unable to set 16,24 or 32 bit graphic mode\n%s\n", allegro_error);
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Unable to set 16,24 or 32 bit graphic mode\n%s\n", allegro_error);
    exit(1);
}

static void set_window_mode(int scale, int desktop_w, int desktop_h)
{
    if (scale == SCALE_LARGEST || scale == SCALE_UNSET)
        scale = largest_window_scale(desktop_w, desktop_h);
    display_view v = window_view(scale);
    // The desktop's own depth first: the window then needs no colour conversion.
    const int depths[] = {desktop_color_depth(), 16, 24, 32};
    set_window_title(GAME_NAME);
    if (!try_depths(depths, 4, GFX_AUTODETECT_WINDOWED, v.w, v.h)) {
        char what[128];
        snprintf(what, sizeof what, "no %dx%d window could be opened at 16, 24 or 32 bits", v.w,
                 v.h);
        mode_failed(what);
    }
    scale_onto_display(v);
}

static void set_desktop_mode(int desktop_w, int desktop_h)
{
    if (desktop_w <= 0 || desktop_h <= 0 || desktop_w > MAX_DISPLAY_SIDE ||
        desktop_h > MAX_DISPLAY_SIDE)
        mode_failed("the desktop's size is not known, so the desktop mode cannot be set");
    const int depths[] = {desktop_color_depth(), 16, 24, 32};
    set_window_title(GAME_NAME);
    if (!try_depths(depths, 4, GFX_AUTODETECT_FULLSCREEN, desktop_w, desktop_h)) {
        char what[128];
        snprintf(what, sizeof what, "the desktop's own %dx%d full-screen mode could not be set",
                 desktop_w, desktop_h);
        mode_failed(what);
    }
    scale_onto_display(desktop_fill_view(desktop_w, desktop_h));
}

void set_display_mode()
{
    int desktop_w = 0, desktop_h = 0;
    if (chosen_display.mode == DISPLAY_WINDOW || chosen_display.mode == DISPLAY_DESKTOP)
        get_desktop_resolution(&desktop_w, &desktop_h);
    if (chosen_display.mode == DISPLAY_WINDOW)
        set_window_mode(chosen_display.scale, desktop_w, desktop_h);
    else if (chosen_display.mode == DISPLAY_DESKTOP)
        set_desktop_mode(desktop_w, desktop_h);
    else
        set_fullscreen_mode();
}

void leave_display_mode()
{
    restore_display_screen();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

// ---- the close button ----

static volatile int close_pressed = 0;

// Runs on the library's own thread: it only raises the flag.
static void on_close_button()
{
    close_pressed = 1;
}
END_OF_STATIC_FUNCTION(on_close_button)

void install_close_button()
{
    LOCK_VARIABLE(close_pressed);
    LOCK_FUNCTION(on_close_button);
    set_close_button_callback(on_close_button);
}

bool close_requested()
{
    return close_pressed != 0;
}

void end_if_closed()
{
    check_mute_key();
    if (close_pressed && !keeping_score) exit(0);
}

constexpr int REST_SLICE_MS = 20;

void rest_unless_closed(int ms)
{
    while (ms > 0 && !close_requested()) {
        int slice = ms < REST_SLICE_MS ? ms : REST_SLICE_MS;
        rest(slice);
        check_mute_key();
        ms -= slice;
    }
    end_if_closed();
}
