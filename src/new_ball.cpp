// new_ball -- launches a ball from a side's launcher, at most once every 16 logic steps
#include "new_ball.h"

#include "gamedata.h"
#include "init.h"

// Where each side's balls leave its launcher and how fast they go across.
constexpr double P1_LAUNCH_X = 30, P2_LAUNCH_X = 770, LAUNCH_Y = 290;
constexpr double P1_LAUNCH_DX = 6, P2_LAUNCH_DX = -6;
constexpr int LAUNCH_VOLUME = 128, LAUNCH_PAN = 255;

int free_ball_slot()
{
    for (int n = FIRST_BALL_SLOT; n <= LAST_BALL_SLOT; n++)
        if (sprite[n].type == KIND_FREE) return n;
    // All fifty taken: the overflow slot takes the ball, replacing whatever it held.
    return OVERFLOW_BALL_SLOT;
}

void new_ball(int type)
{
    int &frames = type == KIND_P1_BALL ? p1_frames : p2_frames;
    int &balls = type == KIND_P1_BALL ? p1_balls : p2_balls;
    if (frames < LAUNCH_GAP || balls <= 0) return;

    sprite_record &s = sprite[free_ball_slot()];
    s.w = s.h = BALL_DIAMETER;
    s.mass = BALL_MASS;
    s.type = type;
    s.y = LAUNCH_Y;
    frames = 0;
    balls--;
    if (type == KIND_P1_BALL) {
        s.x = P1_LAUNCH_X;
        s.dx = P1_LAUNCH_DX;
        s.dy = p1_dy / 4;
        play_data_sample(DAT_LAUNCH_SOUND_P1, LAUNCH_VOLUME, LAUNCH_PAN);
    } else {
        s.x = P2_LAUNCH_X;
        s.dx = P2_LAUNCH_DX;
        s.dy = 2 * p2_dy;
        play_data_sample(DAT_LAUNCH_SOUND_P2, LAUNCH_VOLUME, LAUNCH_PAN);
    }
}
