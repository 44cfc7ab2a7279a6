#ifndef NEW_BALL_H
#define NEW_BALL_H
// new_ball -- launches a ball from a side's launcher, at most once every 16 logic steps

void new_ball(int type);

#endif
