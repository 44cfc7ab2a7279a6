#ifndef MOVE_SPRITES_H
#define MOVE_SPRITES_H
// move_sprites -- moves balls and bumpers, drops ball trails, spins bumpers; friction on balls

void move_sprites();
void reduce_speed();

#endif
