// title_screen -- the main menu: five spinning balls worked with the mouse
#include "title_screen.h"

#include "init.h"

// Placeholder bodies until this module is built.
int menu_item_at(int px, int py)
{
    return 0;
}

int title_screen()
{
    return 0;
}
