// main -- the program flow: start-up, intro, the menu loop with its games, credits
#include "credits.h"
#include "game_round.h"
#include "get_brumzel_pixels.h"
#include "init.h"
#include "intro.h"
#include "title_screen.h"

int main()
{
    initialise();
    get_brumzel_pixels();
    intro();
    while (Menu_Option != MENU_QUIT) {
        start_menu_pass();
        title_screen();
        initialise_newgame();
        if (Menu_Option == MENU_ONE_PLAYER || Menu_Option == MENU_TWO_PLAYER) play_game();
    }
    credits();
    return 0;
}
END_OF_MAIN()
