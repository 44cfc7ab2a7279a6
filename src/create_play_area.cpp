// create_play_area -- launchers, score bar, balls-left bars and icons, end-of-game count
#include "create_play_area.h"

#include "init.h"

// Placeholder bodies until this module is built.
void create_play_area()
{
}
