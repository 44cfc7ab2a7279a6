// pause -- holds a game still: P, Pause, a gamepad's Start or a window losing the keyboard focus
// stops the play and closing loops, and their clock, until the player goes on
#include "pause.h"

#include <allegro.h>

#include "display.h"
#include "gamedata.h"
#include "gamepad.h"
#include "init.h"

void (*pause_waiting)() = nullptr;

// "PAUSED" and the hint stand below the bumpers' triangle, clear of "GAME OVER" above it.
constexpr int PAUSED_Y = 400, HINT_Y = 465;

static volatile int focus_lost = 0;
static bool pause_key_was_down = false;
// The darkened picture, made once at the first pause and kept.
static BITMAP *paused_picture = nullptr;

// Runs on the library's own thread: it only raises the flag.
static void on_focus_lost()
{
    focus_lost = 1;
}
END_OF_STATIC_FUNCTION(on_focus_lost)

void install_pause_on_focus_loss()
{
    if (chosen_display.mode != DISPLAY_WINDOW && chosen_display.mode != DISPLAY_DESKTOP) return;
    LOCK_VARIABLE(focus_lost);
    LOCK_FUNCTION(on_focus_lost);
    // The library's X11 modes keep running in the background, and the pause holds the game
    // there. Installed again after a mode set, the callback is not added twice.
    remove_display_switch_callback(on_focus_lost);
    set_display_switch_callback(SWITCH_OUT, on_focus_lost);
}

static bool pause_key_down()
{
    return key[KEY_P] || key[KEY_PAUSE] || any_pad_start();
}

void forget_pause_requests()
{
    focus_lost = 0;
    pause_key_was_down = pause_key_down();
}

bool pause_asked()
{
    bool down = pause_key_down();
    bool asked = (down && !pause_key_was_down) || focus_lost;
    pause_key_was_down = down;
    focus_lost = 0;
    return asked;
}

void show_pause_screen()
{
    if (!paused_picture) paused_picture = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    BITMAP *picture = paused_picture ? paused_picture : screen;
    clear_to_color(picture, makecol(0, 0, 0));
    set_trans_blender(0, 0, 0, PAUSE_SHADE);
    draw_trans_sprite(picture, buffer, 0, 0);
    textout_centre_ex(picture, data_font(DAT_FONT_LARGE), "PAUSED", SCREEN_WIDTH / 2, PAUSED_Y,
                      makecol(255, 255, 255), -1);
    textout_centre_ex(picture, data_font(DAT_FONT_TEXT), "Press P or click to go on",
                      SCREEN_WIDTH / 2, HINT_Y, makecol(255, 255, 0), -1);
    if (picture != screen) blit(picture, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
}

// One pass of the wait: the close button, the tests' hook and a short rest.
static void wait_a_moment()
{
    end_if_closed();
    if (pause_waiting) pause_waiting();
    rest(PAUSE_POLL_MS);
}

// What goes on, one bit each: P, Pause or a Start; the mouse's buttons; each pad's first button.
static int go_on_controls()
{
    int bits = pause_key_down() ? 1 : 0;
    if (mouse_b) bits |= 2;
    for (int pad = 0; pad < gamepads; pad++)
        if (pad_button(pad, PAD_FIRE_BUTTON)) bits |= 4 << pad;
    return bits;
}

// Only a fresh press goes on: what was held when the pause began must be let go first. The
// press is let go again before play goes on, so a click does not fire a ball. Escape goes on at
// once, while it is still down for the play loop to end the game.
static void wait_to_go_on()
{
    int held = ~0, fresh;
    for (;;) {
        wait_a_moment();
        if (key[KEY_ESC]) return;
        int now = go_on_controls();
        fresh = now & ~held;
        if (fresh) break;
        held = now;
    }
    while (go_on_controls() & fresh) {
        wait_a_moment();
        if (key[KEY_ESC]) return;
    }
}

bool pause_if_asked()
{
    if (!pause_asked()) return false;
    // The timer goes on ticking meanwhile; its ticks are dropped when play goes on.
    int clock = __atomic_load_n(&target_frames, __ATOMIC_SEQ_CST);
    show_pause_screen();
    wait_to_go_on();
    set_target_frames(clock);
    forget_pause_requests();
    return true;
}
