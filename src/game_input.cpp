// game_input -- the one place a game's logic reads the world outside it: player 1's pointer and
// button, the keys of the play loop and the clock
#include "game_input.h"

#include <allegro.h>

#include "display.h"
#include "gamepad.h"
#include "init.h"

static const struct {
    int bit, scancode;
} step_keys[] = {
    {STEP_KEY_ESC, KEY_ESC},   {STEP_KEY_FIRE2, KEY_LCONTROL}, {STEP_KEY_UP, KEY_UP},
    {STEP_KEY_DOWN, KEY_DOWN}, {STEP_KEY_SHOT, KEY_S},
};

// A gamepad's stick and buttons are merged in here, so what the logic reads is all it gets.
int step_pointer_y()
{
    return merged_aim_y(game_mouse_y());
}

int step_buttons()
{
    return pad_fires_player1() ? mouse_b | 1 : mouse_b;
}

bool step_key(int bit)
{
    for (const auto &k : step_keys)
        if (k.bit == bit) return key[k.scancode] != 0 || pad_holds_step_key(bit);
    return false;
}

int step_clock()
{
    return target_frames;
}

int shown_clock()
{
    return target_frames;
}

bool clock_caught_up()
{
    return target_frames >= actual_frames;
}
