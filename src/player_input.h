#ifndef PLAYER_INPUT_H
#define PLAYER_INPUT_H
// player_input -- mouse for player 1, keys or the computer for player 2, and the screenshot key

void player_input();

#endif
