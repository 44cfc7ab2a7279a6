// player_input -- mouse for player 1, keys or the computer for player 2, and the screenshot key
#include "player_input.h"

#include <allegro.h>
#include <cstdlib>

#include "display.h"
#include "game_input.h"
#include "init.h"
#include "new_ball.h"
#include "title_screen.h"

float aim_from_mouse(int y)
{
    return y / 2 - 40;
}

// Player 2 at the keyboard: the fire key uses the aim left by the step before.
static void player2_keys()
{
    if (step_key(STEP_KEY_FIRE2)) new_ball(KIND_P2_BALL);
    if (step_key(STEP_KEY_UP)) p2_dy -= P2_KEY_AIM_STEP;
    if (step_key(STEP_KEY_DOWN)) p2_dy += P2_KEY_AIM_STEP;
    if (p2_dy > P2_AIM_LIMIT) p2_dy = P2_AIM_LIMIT;
    if (p2_dy < -P2_AIM_LIMIT) p2_dy = -P2_AIM_LIMIT;
}

// The computer plays the right launcher only against bumpers closing in on its side line:
// for each one, a one-in-five chance to fire and a one-in-five chance to sweep its aim up,
// jumping back to the bottom when it passes the top.
static void computer_player()
{
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++) {
        if (sprite[n].x <= CPU_WATCH_X || sprite[n].dx <= 0) continue;
        if (rand() % 10 < 2) new_ball(KIND_P2_BALL);
        if (rand() % 10 < 2) {
            p2_dy -= CPU_AIM_STEP;
            if (p2_dy < -P2_AIM_LIMIT) p2_dy = P2_AIM_LIMIT;
        }
    }
}

void player_input()
{
    set_game_mouse_range(AIM_MOUSE_X, AIM_MOUSE_TOP, AIM_MOUSE_X, AIM_MOUSE_BOTTOM);
    p1_dy = aim_from_mouse(step_pointer_y());
    if (step_buttons() & 1) new_ball(KIND_P1_BALL);

    if (Menu_Option == MENU_TWO_PLAYER)
        player2_keys();
    else if (Menu_Option == MENU_ONE_PLAYER)
        computer_player();

    // The last drawn frame, saved again on every step while S is held.
    if (step_key(STEP_KEY_SHOT)) save_bitmap(SCREENSHOT_FILE, buffer, nullptr);
}
