#ifndef TITLE_SCREEN_H
#define TITLE_SCREEN_H
// title_screen -- the main menu: five spinning balls worked with the mouse

constexpr int MENU_ONE_PLAYER = 0, MENU_TWO_PLAYER = 1, MENU_HISCORES = 2, MENU_HELP = 3,
              MENU_QUIT = 4, MENU_NONE = -1;
constexpr int MENU_ITEMS = 5;

// The menu item under the pointer at (px, py), or MENU_NONE.
int menu_item_at(int px, int py);
// Runs the menu until one player, two players or quit is clicked; sets Menu_Option.
int title_screen();

#endif
