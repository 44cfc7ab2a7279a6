// title_screen -- the main menu: five spinning balls worked with the mouse
#include "title_screen.h"

#include <allegro.h>

#include "display.h"
#include "fade.h"
#include "gamedata.h"
#include "gamepad.h"
#include "help.h"
#include "hiscore.h"
#include "init.h"

const int menu_circle[MENU_ITEMS][2] = {
    {110, 310}, {283, 511}, {386, 206}, {599, 503}, {696, 264},
};

// Labels go over the balls in this order, each at its own top-left corner.
static const struct {
    BITMAP **label;
    int x, y;
} menu_label[MENU_ITEMS] = {
    {&title_1player1, 57, 261},   {&title_2player1, 228, 462}, {&title_help1, 564, 488},
    {&title_hiscores1, 338, 157}, {&title_quit1, 656, 250},
};

constexpr int LEFT_BUTTON_ALONE = 1;
constexpr int HOVER_SPIN = 2; // added once per ball drawn, so ten a pass

int menu_item_at(int px, int py)
{
    int item = MENU_NONE;
    for (int n = 0; n < MENU_ITEMS; n++)
        if (on_click_circle(px, py, menu_circle[n][0], menu_circle[n][1])) item = n;
    return item;
}

bool menu_choice_made(int item, int button)
{
    bool ends_menu = item == MENU_ONE_PLAYER || item == MENU_TWO_PLAYER || item == MENU_QUIT;
    return ends_menu && button == LEFT_BUTTON_ALONE;
}

void step_menu_angles(double angle[MENU_ITEMS], int hovered)
{
    for (int n = 0; n < MENU_ITEMS; n++) {
        angle[n] = angle[n] < 255 ? angle[n] + 1 : 0;
        if (hovered != MENU_NONE) angle[hovered] += HOVER_SPIN;
    }
}

// High scores and help open from the menu once the button is let go, then the menu goes on.
static void open_screen_from_menu(int item)
{
    while (pointer_buttons() == LEFT_BUTTON_ALONE)
        wait_a_moment();
    highcolor_fade_out(16);
    rest_unless_closed(500);
    if (item == MENU_HISCORES)
        hiscore_display(1);
    else
        help_display();
}

static void draw_menu(const double angle[MENU_ITEMS])
{
    blit(title1, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int n = 0; n < MENU_ITEMS; n++) {
        int left = menu_circle[n][0] - MENU_BALL_RADIUS, top = menu_circle[n][1] - MENU_BALL_RADIUS;
        rotate_sprite(buffer, title_ball1, left, top, itofix(static_cast<int>(angle[n])));
    }
    for (const auto &l : menu_label)
        draw_sprite(buffer, *l.label, l.x, l.y);
    draw_sprite(buffer, mouse_ptr1, pointer_x(), pointer_y());
    textprintf_ex(buffer, font, 180, 100, makecol(255, 0, 0), -1, "%s", VERSION_LINE);
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
}

int title_screen()
{
    double angle[MENU_ITEMS] = {0, 0, 0, 0, 0};
    int button = 0;
    set_game_mouse_range(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    play_data_sample(DAT_TITLE_MUSIC);
    Menu_Option = MENU_NONE;
    // The menu ends on the item and button of the pass before, without waiting for a release.
    while (!menu_choice_made(Menu_Option, button)) {
        button = pointer_buttons();
        Menu_Option = menu_item_at(pointer_x(), pointer_y());
        if ((Menu_Option == MENU_HISCORES || Menu_Option == MENU_HELP) &&
            button == LEFT_BUTTON_ALONE)
            open_screen_from_menu(Menu_Option);
        draw_menu(angle);
        step_menu_angles(angle, Menu_Option);
        wait_a_moment();
    }
    highcolor_fade_out(16);
    rest_unless_closed(500);
    stop_sample(static_cast<SAMPLE *>(data[DAT_TITLE_MUSIC].dat));
    return 0;
}
