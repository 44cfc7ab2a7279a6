// player_input -- mouse for player 1, keys or the computer for player 2, and the screenshot key
#include "player_input.h"

#include "init.h"

// Placeholder bodies until this module is built.
void player_input()
{
}
