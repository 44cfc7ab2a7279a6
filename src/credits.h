#ifndef CREDITS_H
#define CREDITS_H
// credits -- the closing card, left by clicking its spinning ball with any button

void credits();

#endif
