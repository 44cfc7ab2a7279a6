// gamepad -- the gamepads found at start-up, played beside the mouse and keys: their sticks and
// buttons merged into the pointer, player 1's aim and button and player 2's keys
#include "gamepad.h"

#include <allegro.h>
#include <cstdlib>

#include "display.h"
#include "game_input.h"
#include "init.h"
#include "player_input.h"
#include "title_screen.h"

int gamepads = 0;

void install_gamepads()
{
    gamepads = 0;
    if (install_joystick(JOY_TYPE_AUTODETECT) != 0) return;
    gamepads = num_joysticks < MAX_GAMEPADS ? num_joysticks : MAX_GAMEPADS;
}

int pad_of_player(int player)
{
    if (Menu_Option == MENU_ONE_PLAYER) return player == 1 && gamepads >= 1 ? 0 : -1;
    if (Menu_Option != MENU_TWO_PLAYER) return -1;
    if (player == 2) return gamepads >= 1 ? 0 : -1;
    return gamepads >= 2 ? 1 : -1;
}

// The pads are read afresh at every use: the library does not follow them by itself.
static void poll_pads()
{
    if (gamepads > 0) poll_joystick();
}

// The main stick is the first; a d-pad, where a pad reports one as a stick, is the last (the
// sticks between may be throttles resting at one end, so they are left alone).
int pad_tilt(int pad, int axis)
{
    if (pad < 0 || pad >= gamepads) return 0;
    poll_pads();
    const JOYSTICK_INFO &j = joy[pad];
    int tilt = 0;
    const int sticks[] = {0, j.num_sticks - 1};
    for (int s : sticks) {
        if (s < 0 || j.stick[s].num_axis <= axis) continue;
        int pos = j.stick[s].axis[axis].pos;
        if (abs(pos) > abs(tilt)) tilt = pos;
    }
    return abs(tilt) < PAD_DEAD_ZONE ? 0 : tilt;
}

bool pad_button(int pad, int button)
{
    if (pad < 0 || pad >= gamepads || button >= joy[pad].num_buttons) return false;
    poll_pads();
    return joy[pad].button[button].b != 0;
}

bool any_pad_start()
{
    for (int pad = 0; pad < gamepads; pad++)
        if (pad_button(pad, PAD_START_BUTTON)) return true;
    return false;
}

// ---- the pointer: the mouse takes it whenever it moves, the pads' sticks move it meanwhile ----

static double pointer_at[2];
static int mouse_seen[2] = {-1, -1};
static int pointer_tick;

static void follow_mouse(int mx, int my)
{
    if (mx == mouse_seen[0] && my == mouse_seen[1]) return;
    mouse_seen[0] = mx, mouse_seen[1] = my;
    pointer_at[0] = mx, pointer_at[1] = my;
}

static double clamp(double v, double low, double high)
{
    return v < low ? low : v > high ? high : v;
}

void pointer_to_mouse()
{
    mouse_seen[0] = mouse_seen[1] = -1;
    follow_mouse(game_mouse_x(), game_mouse_y());
}

int merged_aim_y(int mouse_y)
{
    int pad = pad_of_player(1);
    if (pad < 0) return mouse_y;
    follow_mouse(game_mouse_x(), mouse_y);
    const double sweep = double(AIM_MOUSE_BOTTOM - AIM_MOUSE_TOP) / TIMER_RATE;
    pointer_at[1] += sweep * pad_tilt(pad, 1) / PAD_FULL_TILT;
    pointer_at[1] = clamp(pointer_at[1], AIM_MOUSE_TOP, AIM_MOUSE_BOTTOM);
    return static_cast<int>(pointer_at[1] + 0.5);
}

bool pad_fires_player1()
{
    return pad_button(pad_of_player(1), PAD_FIRE_BUTTON);
}

bool pad_holds_step_key(int bit)
{
    int pad = pad_of_player(2);
    if (pad < 0) return false;
    if (bit == STEP_KEY_FIRE2) return pad_button(pad, PAD_FIRE_BUTTON);
    if (bit == STEP_KEY_UP) return pad_tilt(pad, 1) <= -PAD_KEY_TILT;
    if (bit == STEP_KEY_DOWN) return pad_tilt(pad, 1) >= PAD_KEY_TILT;
    return false;
}

// Moves the menus' pointer by the ticks since it last moved; any pad's stick moves it.
static void move_pointer()
{
    follow_mouse(game_mouse_x(), game_mouse_y());
    int now = target_frames;
    int ticks = now - pointer_tick;
    pointer_tick = now;
    // A clock set back (a new game) or a long gap (a screen that did not ask) moves nothing.
    if (ticks <= 0 || ticks > TIMER_RATE / 10) return;
    for (int pad = 0; pad < gamepads; pad++) {
        for (int axis = 0; axis < 2; axis++)
            pointer_at[axis] += PAD_POINTER_SPEED * ticks * pad_tilt(pad, axis) / PAD_FULL_TILT;
    }
    pointer_at[0] = clamp(pointer_at[0], 0, SCREEN_WIDTH - 1);
    pointer_at[1] = clamp(pointer_at[1], 0, SCREEN_HEIGHT - 1);
}

int pointer_x()
{
    if (gamepads == 0) return game_mouse_x();
    move_pointer();
    return static_cast<int>(pointer_at[0]);
}

int pointer_y()
{
    if (gamepads == 0) return game_mouse_y();
    move_pointer();
    return static_cast<int>(pointer_at[1]);
}

int pointer_buttons()
{
    int buttons = mouse_b;
    for (int pad = 0; pad < gamepads; pad++)
        if (pad_button(pad, PAD_FIRE_BUTTON)) buttons |= 1;
    return buttons;
}
