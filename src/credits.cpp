// credits -- the closing card, left by clicking its spinning ball with any button
#include "credits.h"

#include "display.h"
#include "fade.h"
#include "gamedata.h"
#include "gamepad.h"
#include "help.h"
#include "init.h"
#include "intro.h"

static void credit_line(int y, int font_entry, int r, int g, int b, const char *text)
{
    textprintf_centre_ex(buffer, data_font(font_entry), 400, y, makecol(r, g, b), -1, "%s", text);
}

static void draw_credit_lines()
{
    credit_line(100, DAT_FONT_LARGE, 255, 64, 64, "Credits:");
    credit_line(160, DAT_FONT_TEXT, 255, 255, 0, "Thanks for playing Brumzel Ball.");
    credit_line(180, DAT_FONT_TEXT, 255, 255, 0, "This game has been created using the following:");
    credit_line(210, DAT_FONT_TEXT, 0, 255, 255, "GNU Compiler Collection and CMake");
    credit_line(230, DAT_FONT_TEXT, 0, 255, 255, "gcc.gnu.org - cmake.org");
    credit_line(270, DAT_FONT_TEXT, 128, 128, 0, "Allegro Game Programming Library");
    credit_line(290, DAT_FONT_TEXT, 128, 128, 0, "liballeg.org");
    credit_line(330, DAT_FONT_TEXT, 64, 128, 255, "GNU C++ Library (libstdc++) headers");
    credit_line(350, DAT_FONT_TEXT, 64, 128, 255, "gcc.gnu.org/onlinedocs/libstdc++");
    credit_line(380, DAT_FONT_TEXT, 255, 128, 64,
                "Brumzel Ball is free software under the MIT licence");
    textprintf_ex(buffer, data_font(DAT_FONT_SCORE), 10, 550, makecol(255, 255, 255), -1, "%s",
                  MAKER_LINE);
}

void credits()
{
    int angle = 0;
    bool hit = false;
    text_mode_transparent();
    clear_keybuf();
    clear_bitmap(buffer);
    set_game_mouse_range(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    play_data_sample(DAT_CREDITS_SOUND);
    // Any button on the ball ends the credits.
    while (!(hit && pointer_buttons() != 0)) {
        blit(title1, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        hit = draw_exit_ball(angle);
        angle = angle <= 254 ? angle + 4 : 0;
        draw_credit_lines();
        draw_sprite(buffer, mouse_ptr1, pointer_x(), pointer_y());
        blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        present_screen();
        wait_a_moment();
    }
    while (pointer_buttons() == 1)
        wait_a_moment();
    highcolor_fade_out(16);
    rest_unless_closed(500);
}
