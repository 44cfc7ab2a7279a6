#ifndef REBOUND_EFFECT_H
#define REBOUND_EFFECT_H
// rebound_effect -- short flashes of a corner pad when a bumper strikes it

constexpr int REBOUND_SLOTS = 20;
constexpr int REBOUND_LIFE = 10;
struct rebound_record {
    int type, life;
};
extern rebound_record rebound[REBOUND_SLOTS];

void initialise_rebound();
void create_pad_rebound(int sprite_type);
void do_pad_rebound();

#endif
