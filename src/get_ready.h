#ifndef GET_READY_H
#define GET_READY_H
// get_ready -- "GET READY", the counts 3, 2, 1, "GO", and the start of the game's clock

void get_ready();

#endif
