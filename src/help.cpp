// help -- the help page, left by clicking its spinning ball
#include "help.h"

#include "display.h"
#include "fade.h"
#include "gamedata.h"
#include "gamepad.h"
#include "init.h"

bool on_click_circle(int px, int py, int cx, int cy)
{
    int actualDistance = (px - cx) * (px - cx) + (py - cy) * (py - cy);
    return actualDistance <= CLICK_RADIUS_SQUARED;
}

// Top-left corner of the ball's picture, which turns about its own centre.
constexpr int EXIT_BALL_LEFT = 620, EXIT_BALL_TOP = 420;
constexpr int EXIT_LABEL_X = 665, EXIT_LABEL_Y = 495;

bool draw_exit_ball(int angle)
{
    bool hit = on_click_circle(pointer_x(), pointer_y(), EXIT_BALL_X, EXIT_BALL_Y);
    rotate_sprite(buffer, title_ball1, EXIT_BALL_LEFT, EXIT_BALL_TOP, itofix(angle));
    draw_sprite(buffer, title_quit1, EXIT_LABEL_X, EXIT_LABEL_Y);
    return hit;
}

void help_display()
{
    int angle = 0;
    bool hit = false;
    // The exit test uses the pointer of the frame before and the button of this moment.
    while (!(hit && pointer_buttons() == 1)) {
        blit(help1, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        hit = draw_exit_ball(angle);
        angle = angle <= 254 ? angle + 2 : 0;
        draw_sprite(buffer, mouse_ptr1, pointer_x(), pointer_y());
        blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        present_screen();
        wait_a_moment();
    }
    // Let go of the button first, so the click does not reach the menu.
    while (pointer_buttons() == 1)
        wait_a_moment();
    highcolor_fade_out(16);
    rest_unless_closed(500);
}
