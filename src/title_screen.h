#ifndef TITLE_SCREEN_H
#define TITLE_SCREEN_H
// title_screen -- the main menu: five spinning balls worked with the mouse

constexpr int MENU_ONE_PLAYER = 0, MENU_TWO_PLAYER = 1, MENU_HISCORES = 2, MENU_HELP = 3,
              MENU_QUIT = 4, MENU_NONE = -1;
constexpr int MENU_ITEMS = 5;
constexpr int MENU_BALL_RADIUS = 85;
// Centres of the menu balls, by item.
extern const int menu_circle[MENU_ITEMS][2];

// The version line under the title.
constexpr const char *VERSION_LINE = "Brumzel Ball V0.6 - July 2007 - brumzel ball team";

// The menu item under the pointer at (px, py), or MENU_NONE.
int menu_item_at(int px, int py);
// True when a pass's item and button end the menu: a left click on one or two players or quit.
bool menu_choice_made(int item, int button);
// Turns the balls for one pass: each one unit (back to 0 from 255), and the one under the
// pointer 10 more.
void step_menu_angles(double angle[MENU_ITEMS], int hovered);
// Runs the menu until one player, two players or quit is clicked; sets Menu_Option.
int title_screen();

#endif
