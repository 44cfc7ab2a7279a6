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

static bool pause_key_was_down = false;
// The darkened picture, made once at the first pause and kept.
static BITMAP *paused_picture = nullptr;

static bool pause_key_down()
{
    return key[KEY_P] || key[KEY_PAUSE] || any_pad_start();
}

void forget_pause_requests()
{
    focus_was_lost();
    pause_key_was_down = pause_key_down();
}

bool pause_asked()
{
    bool down = pause_key_down();
    bool asked = focus_was_lost() || (down && !pause_key_was_down);
    pause_key_was_down = down;
    return asked;
}

void show_pause_screen()
{
    if (!paused_picture) paused_picture = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    BITMAP *picture = paused_picture ? paused_picture : screen;
    clear_bitmap(picture);
    set_trans_blender(0, 0, 0, PAUSE_SHADE);
    draw_trans_sprite(picture, buffer, 0, 0);
    textout_centre_ex(picture, data_font(DAT_FONT_LARGE), "PAUSED", SCREEN_WIDTH / 2, PAUSED_Y,
                      makecol(255, 255, 255), -1);
    textout_centre_ex(picture, data_font(DAT_FONT_TEXT), "Press P or click to go on",
                      SCREEN_WIDTH / 2, HINT_Y, makecol(255, 255, 0), -1);
    if (picture != screen) blit(picture, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
}

// One pass of the wait: the close button, the display switch, the tests' hook and a short rest.
static void wait_in_pause()
{
    wait_a_moment();
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
        wait_in_pause();
        if (key[KEY_ESC]) return;
        int now = go_on_controls();
        fresh = now & ~held;
        if (fresh) break;
        held = now;
    }
    while (go_on_controls() & fresh) {
        wait_in_pause();
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
