// rebound_effect -- short flashes of a corner pad when a bumper strikes it
#include "rebound_effect.h"

#include "gamedata.h"
#include "init.h"

rebound_record rebound[REBOUND_SLOTS];
unsigned long long pad_countdowns = 0;

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

static bool pictures_overlap(int kind_a, int kind_b)
{
    const pad_flash_place *a = pad_flash_position(kind_a), *b = pad_flash_position(kind_b);
    BITMAP *pa = pad_flash_picture(kind_a), *pb = pad_flash_picture(kind_b);
    if (!pa || !pb) return true;
    return a->x < b->x + pb->w && b->x < a->x + pa->w && a->y < b->y + pb->h && b->y < a->y + pa->h;
}

void count_down_pad_flashes()
{
    for (rebound_record &r : rebound)
        if (r.life > 0) r.life--;
    pad_countdowns++;
}

// A flash lasts a number of drawn frames, not logic steps: each frame counts them down, then
// draws those that were live before it (a flash of life 1 is drawn once more as it ends).
// A bumper resting on a pad asks for a flash every step, so the entries of one corner pile up;
// drawing the same picture again at the same place changes no pixel unless another corner's
// picture was drawn over it in between, so such a repeat is left out.
void do_pad_rebound()
{
    constexpr int CORNERS = KIND_PAD_BOTTOM_RIGHT - KIND_PAD_BOTTOM_LEFT + 1;
    bool on_top[CORNERS] = {}; // the corner's picture is drawn and nothing has covered it since
    bool live_before[REBOUND_SLOTS];
    for (int n = 0; n < REBOUND_SLOTS; n++)
        live_before[n] = rebound[n].life > 0;
    count_down_pad_flashes();
    for (int n = 0; n < REBOUND_SLOTS; n++) {
        const rebound_record &r = rebound[n];
        if (!live_before[n]) continue;
        const pad_flash_place *place = pad_flash_position(r.type);
        BITMAP *picture = pad_flash_picture(r.type);
        if (!place || !picture) continue;
        int corner = r.type - KIND_PAD_BOTTOM_LEFT;
        if (on_top[corner]) continue;
        draw_sprite(buffer, picture, place->x, place->y);
        for (int other = 0; other < CORNERS; other++)
            if (other != corner && pictures_overlap(r.type, KIND_PAD_BOTTOM_LEFT + other))
                on_top[other] = false;
        on_top[corner] = true;
    }
}
