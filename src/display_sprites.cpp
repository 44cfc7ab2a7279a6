// display_sprites -- draws the balls and the spinning bumpers of the sprite table
#include "display_sprites.h"

#include <allegro.h>

#include "gamedata.h"
#include "init.h"

// A bumper's picture is centred on its position; its angle only counts modulo a full turn,
// which also keeps the fixed-point conversion from overflowing on a long spin. A bumper spinning
// backwards has a negative angle, which ftofix takes where itofix would shift a negative.
static void draw_bumper(const sprite_record &s)
{
    int left = static_cast<int>(s.x - s.w / 2 + 1);
    int top = static_cast<int>(s.y - s.w / 2 + 1);
    rotate_sprite(buffer, brumzel1, left, top, ftofix(s.angle % 256));
}

void display_sprites()
{
    // Slots in ascending order, so a later slot lies over an earlier one.
    for (int n = 0; n <= LAST_DRAWN_SLOT; n++) {
        const sprite_record &s = sprite[n];
        switch (s.type) {
        case KIND_P1_BALL:
            draw_sprite(buffer, sprite1, static_cast<int>(s.x), static_cast<int>(s.y));
            break;
        case KIND_P2_BALL:
            draw_sprite(buffer, sprite2, static_cast<int>(s.x), static_cast<int>(s.y));
            break;
        case KIND_BUMPER:
            draw_bumper(s);
            break;
        default:
            break;
        }
    }
}
