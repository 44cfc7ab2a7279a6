#ifndef CREATE_PLAY_AREA_H
#define CREATE_PLAY_AREA_H
// create_play_area -- launchers, score bar, balls-left bars and icons, end-of-game count

void create_play_area();

#endif
