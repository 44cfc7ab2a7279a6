// moving_points -- score numbers that float from a hit toward the scorer's side
#include "moving_points.h"

#include <cstdio>

#include "gamedata.h"
#include "init.h"

void create_new_moving_points(double x, double y, int mult, int direction)
{
    for (int n = FIRST_POINTS_SLOT; n <= LAST_POINTS_SLOT; n++) {
        sprite_record &s = sprite[n];
        if (s.life > 0) continue;
        s.points = mult;
        s.life = MOVING_POINT_LIFE;
        s.type = KIND_MOVING_POINT;
        s.x = x;
        s.y = y;
        s.direction = direction;
        return;
    }
}

// Taking y / life off y each step climbs in a straight line: after k steps y is the starting
// y times (199 - k) / 199, the top edge on the last visible step.
void update_moving_points()
{
    for (int n = FIRST_POINTS_SLOT; n <= LAST_POINTS_SLOT; n++) {
        sprite_record &s = sprite[n];
        if (s.life > 0) {
            s.life--;
            if (s.direction == DRIFT_LEFT)
                s.x -= 1;
            else
                s.x += 1;
            if (s.life > 0) s.y -= s.y / s.life;
        } else {
            s.type = KIND_FREE;
        }
    }
}

void display_moving_points()
{
    FONT *f = data_font(DAT_FONT_TEXT);
    int white = makecol(255, 255, 255);
    for (int n = FIRST_POINTS_SLOT; n <= LAST_POINTS_SLOT; n++) {
        const sprite_record &s = sprite[n];
        if (s.life <= 0 || s.type != KIND_MOVING_POINT) continue;
        // Formatted here: the library's textprintf takes its buffer from the heap every call.
        char text[16];
        snprintf(text, sizeof text, "%i ", s.points);
        textout_ex(buffer, f, text, static_cast<int>(s.x), static_cast<int>(s.y), white, -1);
    }
}
