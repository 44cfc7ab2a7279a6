// rebound_effect -- short flashes of a corner pad when a bumper strikes it
#include "rebound_effect.h"

#include "init.h"

rebound_record rebound[REBOUND_SLOTS];

constexpr int PAD_SOUND_PAN = 255;

// Positions of the four corner flashes, indexed by kind - KIND_PAD_BOTTOM_LEFT.
static const pad_flash_place flash_places[] = {
    {28, 451},  // bottom left
    {31, 17},   // top left
    {651, 15},  // top right
    {647, 450}, // bottom right
};

static bool is_corner_pad(int sprite_type)
{
    return sprite_type >= KIND_PAD_BOTTOM_LEFT && sprite_type <= KIND_PAD_BOTTOM_RIGHT;
}

const pad_flash_place *pad_flash_position(int sprite_type)
{
    if (!is_corner_pad(sprite_type)) return nullptr;
    return &flash_places[sprite_type - KIND_PAD_BOTTOM_LEFT];
}

static BITMAP *pad_flash_picture(int sprite_type)
{
    switch (sprite_type) {
    case KIND_PAD_BOTTOM_LEFT:
        return bottom_left1;
    case KIND_PAD_TOP_LEFT:
        return top_left1;
    case KIND_PAD_TOP_RIGHT:
        return top_right1;
    case KIND_PAD_BOTTOM_RIGHT:
        return bottom_right1;
    default:
        return nullptr;
    }
}

void initialise_rebound()
{
    for (rebound_record &r : rebound)
        r.life = 0;
}

void create_pad_rebound(int sprite_type)
{
    if (!is_corner_pad(sprite_type)) return;
    for (rebound_record &r : rebound) {
        if (r.life > 0) continue;
        r.life = REBOUND_LIFE;
        r.type = sprite_type;
        play_data_sample(DAT_PAD_SOUND, 255, PAD_SOUND_PAN, 1000);
        return;
    }
    // All 20 flashes are busy: this one is not shown and not heard.
}

// Counts down and draws in one go: a flash lasts a number of drawn frames, not logic steps.
void do_pad_rebound()
{
    for (rebound_record &r : rebound) {
        if (r.life <= 0) continue;
        r.life--;
        const pad_flash_place *place = pad_flash_position(r.type);
        BITMAP *picture = pad_flash_picture(r.type);
        if (place && picture) draw_sprite(buffer, picture, place->x, place->y);
    }
}
