#ifndef REBOUND_EFFECT_H
#define REBOUND_EFFECT_H
// rebound_effect -- short flashes of a corner pad when a bumper strikes it

constexpr int REBOUND_SLOTS = 20;
constexpr int REBOUND_LIFE = 10; // drawn frames of one flash
struct rebound_record {
    int type, life;
};
extern rebound_record rebound[REBOUND_SLOTS];

// Where each corner's flash picture is drawn (its top-left corner).
struct pad_flash_place {
    int x, y;
};
// The place of a corner pad's flash, for kinds 100-103; nullptr for any other kind.
const pad_flash_place *pad_flash_position(int sprite_type);

// Frees every flash; the entries keep their kinds.
void initialise_rebound();
// A bumper struck the edge circle of sprite_type: a corner pad (100-103) flashes with a sound.
// The top and bottom edges do nothing, and a request finding all 20 entries busy is ignored.
void create_pad_rebound(int sprite_type);
// Counts every flash down by one drawn frame; do_pad_rebound does this for every frame it draws.
void count_down_pad_flashes();
// How many times the flashes have been counted down since the start: the frames drawn.
extern unsigned long long pad_countdowns;
// Counts every flash down by one drawn frame and draws it into buffer.
void do_pad_rebound();

#endif
