// get_ready -- "GET READY", the counts 3, 2, 1, "GO", and the start of the game's clock
#include "get_ready.h"

#include "init.h"

// Placeholder bodies until this module is built.
void get_ready()
{
}
