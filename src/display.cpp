// display -- the game's 800x600 frame, the display mode that shows it, the present step, the
// mouse in game coordinates, the full-screen switch and the window's close button
#include "display.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "audio.h"
#include "init.h"
#include "options.h"
#include "version.h"

display_choice chosen_display = {DISPLAY_UNSET, SCALE_UNSET};
display_view frame_view = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
BITMAP *display_bitmap = nullptr;
void (*picture_shown)() = nullptr;
volatile int display_ticks = 0;
int desktop_width = 0, desktop_height = 0;
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

// The range last set, in game pixels: a mode switch sets it again for the new mapping.
static int mouse_area[4] = {0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1};

// The display range covers every display pixel of the game pixels x1..x2 and y1..y2.
void set_game_mouse_range(int x1, int y1, int x2, int y2)
{
    mouse_area[0] = x1, mouse_area[1] = y1, mouse_area[2] = x2, mouse_area[3] = y2;
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

template <typename P>
static void present_at_depth(BITMAP *frame, BITMAP *display, const display_view &v)
{
    if (whole_scale > 0)
        present_whole<P>(frame, display, v, whole_scale);
    else
        present_fill<P>(frame, display, v);
}

// Scales frame into display at v, a view of frame_view's size.
static void scale_frame(BITMAP *frame, BITMAP *display, const display_view &v)
{
    acquire_bitmap(display);
    switch (bitmap_color_depth(frame)) {
    case 15:
    case 16:
        present_at_depth<uint16_t>(frame, display, v);
        break;
    case 24:
        present_at_depth<pixel24>(frame, display, v);
        break;
    case 32:
        present_at_depth<uint32_t>(frame, display, v);
        break;
    default:
        present_at_depth<uint8_t>(frame, display, v);
        break;
    }
    bmp_unwrite_line(display);
    release_bitmap(display);
}

void present_frame(BITMAP *frame, BITMAP *display)
{
    scale_frame(frame, display, frame_view);
}

// ---- sending pictures to the display ----
// The display takes a picture in one copy from a memory bitmap of the view's size, so that the
// library hands it on in one request. A picture goes out at most once a tick of the present
// step's clock, and only when it differs from the last one sent: the play loop redraws the same
// frame many times a tick while it waits for the clock, and the other screens redraw unchanged
// pictures between their passes.

static BITMAP *scaled_picture = nullptr; // the view's pixels, scaled from the frame
static BITMAP *last_sent = nullptr;      // the frame as last sent
static bool last_sent_valid = false;     // false: the display does not show last_sent
static bool picture_waiting = false;     // a picture was offered since the last look
static int looked_tick = -1;             // the clock at the last look

static void count_display_tick()
{
    display_ticks = display_ticks + 1;
}
END_OF_STATIC_FUNCTION(count_display_tick)

static void start_display_clock()
{
    static bool started = false;
    // Headless there is no timer: the tests move the clock themselves.
    if (started || !timer_driver) return;
    LOCK_VARIABLE(display_ticks);
    LOCK_FUNCTION(count_display_tick);
    install_int_ex(count_display_tick, BPS_TO_TIMER(TIMER_RATE));
    started = true;
}

// Copies the lines of the frame that differ from the picture sent last; true when any did.
static bool keep_changed_lines()
{
    const size_t line_bytes = SCREEN_WIDTH * ((bitmap_color_depth(screen) + 7) / 8);
    bool changed = !last_sent_valid;
    for (int y = 0; y < SCREEN_HEIGHT; y++) {
        if (last_sent_valid && !memcmp(screen->line[y], last_sent->line[y], line_bytes)) continue;
        memcpy(last_sent->line[y], screen->line[y], line_bytes);
        changed = true;
    }
    last_sent_valid = true;
    return changed;
}

static void send_picture()
{
    const display_view &v = frame_view;
    scale_frame(screen, scaled_picture, {0, 0, v.w, v.h});
    blit(scaled_picture, display_bitmap, 0, 0, v.x, v.y, v.w, v.h);
}

void offer_picture()
{
    picture_waiting = true;
    send_held_picture();
}

bool send_held_picture()
{
    if (!picture_waiting || !display_bitmap) return false;
    int now = display_ticks;
    if (now == looked_tick) return true;
    looked_tick = now;
    picture_waiting = false;
    if (keep_changed_lines()) send_picture();
    return false;
}

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

static void restore_display_screen_at_exit()
{
    static bool registered = false;
    if (!registered) atexit(restore_display_screen);
    registered = true;
}

bool scale_frame_onto(BITMAP *frame, BITMAP *display, const display_view &v)
{
    const int depth = bitmap_color_depth(frame);
    BITMAP *picture = create_bitmap_ex(depth, v.w, v.h);
    if (last_sent && bitmap_color_depth(last_sent) != depth) {
        destroy_bitmap(last_sent);
        last_sent = nullptr;
    }
    if (!last_sent) last_sent = create_bitmap_ex(depth, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!picture || !last_sent) {
        if (picture) destroy_bitmap(picture);
        return false;
    }
    if (scaled_picture) destroy_bitmap(scaled_picture);
    scaled_picture = picture;
    use_display_view(v);
    clear_bitmap(display);
    display_bitmap = display;
    screen = frame;
    restore_display_screen_at_exit();
    // The new display shows nothing yet: the frame goes out at the next tick.
    last_sent_valid = false;
    picture_waiting = true;
    start_display_clock();
    return true;
}

// ---- setting the mode ----

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

// A display mode to set: the library's card, the display's size and where the frame lies on it.
struct mode_request {
    int card, w, h;
    display_view view;
};
static const display_view plain_view = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
static mode_request current_mode = {GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT,
                                    plain_view};

// The mode that shows the game in a display mode of the player's; false, with the reason in
// why, when the desktop's size that it needs is not known.
static bool request_for(int mode, mode_request *r, char *why, int why_size)
{
    if (mode == DISPLAY_WINDOW) {
        int scale = chosen_display.scale;
        if (scale == SCALE_LARGEST || scale == SCALE_UNSET)
            scale = largest_window_scale(desktop_width, desktop_height);
        display_view v = window_view(scale);
        *r = {GFX_AUTODETECT_WINDOWED, v.w, v.h, v};
    } else if (mode == DISPLAY_DESKTOP) {
        if (desktop_width <= 0 || desktop_height <= 0 || desktop_width > MAX_DISPLAY_SIDE ||
            desktop_height > MAX_DISPLAY_SIDE) {
            snprintf(why, why_size,
                     "the desktop's size is not known, so the desktop mode cannot be set");
            return false;
        }
        *r = {GFX_AUTODETECT_FULLSCREEN, desktop_width, desktop_height,
              desktop_fill_view(desktop_width, desktop_height)};
    } else {
        *r = {GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT, plain_view};
    }
    return true;
}

// The frame is drawn into a memory bitmap from here on and presented on the display, whose
// borders are cleared once.
static void scale_onto_display(const display_view &v)
{
    use_display_view(v);
    if (v.x == 0 && v.y == 0 && v.w == SCREEN_WIDTH && v.h == SCREEN_HEIGHT) return;
    BITMAP *frame = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!frame) mode_failed("no memory for the game's 800x600 picture");
    clear_bitmap(frame);
    if (!scale_frame_onto(frame, screen, v)) mode_failed("no memory for the game's scaled picture");
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

// A window or the desktop fill, the desktop's own depth first: it then needs no colour
// conversion.
static void set_scaled_mode(int mode, const mode_request &r)
{
    const int depths[] = {desktop_color_depth(), 16, 24, 32};
    set_window_title(GAME_NAME);
    if (!try_depths(depths, 4, r.card, r.w, r.h)) {
        char what[128];
        if (mode == DISPLAY_WINDOW)
            snprintf(what, sizeof what, "no %dx%d window could be opened at 16, 24 or 32 bits", r.w,
                     r.h);
        else
            snprintf(what, sizeof what, "the desktop's own %dx%d full-screen mode could not be set",
                     r.w, r.h);
        mode_failed(what);
    }
    scale_onto_display(r.view);
}

void set_display_mode()
{
    // Read before any mode is set: a full-screen mode may change what the system reports.
    if (get_desktop_resolution(&desktop_width, &desktop_height) != 0)
        desktop_width = desktop_height = 0;
    mode_request r;
    char why[128];
    if (!request_for(chosen_display.mode, &r, why, sizeof why)) mode_failed(why);
    if (chosen_display.mode == DISPLAY_WINDOW || chosen_display.mode == DISPLAY_DESKTOP)
        set_scaled_mode(chosen_display.mode, r);
    else
        set_fullscreen_mode();
    current_mode = r;
}

void leave_display_mode()
{
    restore_display_screen();
    // What the present step kept for a scaled mode goes with it.
    for (BITMAP **kept : {&scaled_picture, &last_sent}) {
        if (*kept) destroy_bitmap(*kept);
        *kept = nullptr;
    }
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

// ---- the full-screen switch ----

// A switch closes the window that had the focus: what it loses then is the switch's doing, not
// the player's, until the new window has had the focus.
static volatile int switching_focus = 0;

// The picture the display shows while the game draws straight onto it, as a frame in memory.
static BITMAP *frame_from_display()
{
    BITMAP *frame = create_bitmap_ex(bitmap_color_depth(screen), SCREEN_WIDTH, SCREEN_HEIGHT);
    if (frame) blit(screen, frame, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    return frame;
}

// Sets mode r at the frame's depth (the data file's pictures and every memory bitmap are at that
// depth), or, failing that, the mode before; then the frame is scaled onto the display.
static bool set_mode_keeping_frame(BITMAP *frame, const mode_request &r)
{
    if (display_bitmap) {
        screen = display_bitmap; // the library's own screen, for it to close
        display_bitmap = nullptr;
    }
    set_color_depth(bitmap_color_depth(frame));
    if (r.card == GFX_AUTODETECT_WINDOWED) set_window_title(GAME_NAME);
    bool switched = set_gfx_mode(r.card, r.w, r.h, 0, 0) == 0;
    if (!switched) {
        fprintf(stderr, "%s: the %dx%d mode could not be set (%s); the display stays as it was\n",
                GAME_NAME, r.w, r.h, allegro_error);
        const mode_request &old = current_mode;
        if (set_gfx_mode(old.card, old.w, old.h, 0, 0) != 0)
            mode_failed("the display mode was lost in a switch");
    }
    if (switched) current_mode = r;
    if (!scale_frame_onto(frame, screen, current_mode.view))
        mode_failed("no memory for the game's scaled picture");
    return switched;
}

bool switch_display_mode()
{
    int to = chosen_display.mode == DISPLAY_WINDOW ? DISPLAY_DESKTOP : DISPLAY_WINDOW;
    mode_request r;
    char why[160];
    if (!request_for(to, &r, why, sizeof why)) {
        fprintf(stderr, "%s: %s\n", GAME_NAME, why);
        return false;
    }
    int x = game_mouse_x(), y = game_mouse_y();
    BITMAP *frame = display_bitmap ? screen : frame_from_display();
    if (!frame) {
        fprintf(stderr, "%s: no memory for the game's picture; the display stays as it was\n",
                GAME_NAME);
        return false;
    }
    switching_focus = 1;
    bool switched = set_mode_keeping_frame(frame, r);
    if (switched) chosen_display.mode = to;
    install_display_hooks();
    set_game_mouse_range(mouse_area[0], mouse_area[1], mouse_area[2], mouse_area[3]);
    position_game_mouse(x, y);
    if (!switched) return false;
    // The next start opens in the mode switched to.
    if (!write_settings_mode(SETTINGS_FILE, to, why, sizeof why))
        fprintf(stderr, "%s: the display mode was not kept: %s\n", SETTINGS_FILE, why);
    return true;
}

static bool switch_keys_down = false; // Alt+Enter or F11, as last seen
static bool enter_switched = false;   // the Enter of the last switch is still down

void switch_display_if_asked()
{
    if (!key[KEY_ENTER]) enter_switched = false;
    bool alt = key[KEY_ALT] || key[KEY_ALTGR];
    bool down = (alt && key[KEY_ENTER]) || key[KEY_F11];
    bool pressed = down && !switch_keys_down;
    switch_keys_down = down;
    if (!pressed) return;
    enter_switched = key[KEY_ENTER];
    switch_display_mode();
}

bool enter_belongs_to_switch()
{
    if (!key[KEY_ENTER]) enter_switched = false;
    return key[KEY_ALT] || key[KEY_ALTGR] || enter_switched;
}

// ---- the close button ----

static volatile int close_pressed = 0;

// Runs on the library's own thread: it only raises the flag.
static void on_close_button()
{
    close_pressed = 1;
}
END_OF_STATIC_FUNCTION(on_close_button)

static volatile int focus_lost = 0;

// Run on the library's own thread: they only set the flags.
static void on_focus_lost()
{
    if (!switching_focus) focus_lost = 1;
}
END_OF_STATIC_FUNCTION(on_focus_lost)
static void on_focus_gained()
{
    switching_focus = 0;
}
END_OF_STATIC_FUNCTION(on_focus_gained)

void install_display_hooks()
{
    LOCK_VARIABLE(close_pressed);
    LOCK_FUNCTION(on_close_button);
    set_close_button_callback(on_close_button);
    // The 800x600 full-screen mode has no focus to lose. (The title goes with each mode set.)
    if (chosen_display.mode != DISPLAY_WINDOW && chosen_display.mode != DISPLAY_DESKTOP) return;
    // The library's X11 modes keep running in the background; the pause holds the game there.
    // Installed again after a mode set, the callback is not added twice.
    LOCK_VARIABLE(focus_lost);
    LOCK_VARIABLE(switching_focus);
    LOCK_FUNCTION(on_focus_lost);
    LOCK_FUNCTION(on_focus_gained);
    remove_display_switch_callback(on_focus_lost);
    remove_display_switch_callback(on_focus_gained);
    set_display_switch_callback(SWITCH_OUT, on_focus_lost);
    set_display_switch_callback(SWITCH_IN, on_focus_gained);
}

bool focus_was_lost()
{
    return __atomic_exchange_n(&focus_lost, 0, __ATOMIC_SEQ_CST) != 0;
}

bool close_requested()
{
    return close_pressed != 0;
}

void end_if_closed()
{
    check_mute_key();
    switch_display_if_asked();
    if (close_pressed && !keeping_score) exit(0);
}

constexpr int REST_SLICE_MS = 20;

void rest_unless_closed(int ms)
{
    while (ms > 0 && !close_requested()) {
        switch_display_if_asked();
        // A held picture goes out at the next tick: until then the rest goes in steps of 1 ms.
        int slice = send_held_picture() ? 1 : ms < REST_SLICE_MS ? ms : REST_SLICE_MS;
        rest(slice);
        check_mute_key();
        ms -= slice;
    }
    send_held_picture();
    end_if_closed();
}

void wait_a_moment()
{
    end_if_closed();
    rest(1);
    send_held_picture();
}
