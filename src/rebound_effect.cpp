// rebound_effect -- short flashes of a corner pad when a bumper strikes it
#include "rebound_effect.h"

#include "init.h"

// Placeholder bodies until this module is built.
rebound_record rebound[REBOUND_SLOTS];

void initialise_rebound()
{
}

void create_pad_rebound(int sprite_type)
{
}

void do_pad_rebound()
{
}
