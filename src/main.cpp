// main -- the program flow: start-up, intro, the menu loop with its games, credits
#include "credits.h"
#include "init.h"
#include "intro.h"

int main()
{
    initialise();
    intro();
    credits();
    return 0;
}
END_OF_MAIN()
