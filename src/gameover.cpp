// gameover -- the closing scene: the bumpers burst into logo particles under "GAME OVER"
#include "gameover.h"

#include <cstdlib>

#include "check_collision.h"
#include "display.h"
#include "explosions.h"
#include "fade.h"
#include "gamedata.h"
#include "get_brumzel_pixels.h"
#include "init.h"
#include "move_sprites.h"
#include "moving_points.h"
#include "particles.h"
#include "pause.h"
#include "play_frame.h"
#include "rebound_effect.h"
#include "replay.h"

// Burst particles live 200 to 599 steps and fly at 0.5 to 4.5 pixels a step.
constexpr int BURST_LIFE_MIN = 200, BURST_LIFE_RANGE = 400;
constexpr int BURST_STYLES = 3;

// One particle per second logo pixel, at the bumper's position plus the pixel's offset, in
// the pixel's colour. The random draws come in the order life, style, speed.
static void burst_bumper(const sprite_record &bumper)
{
    for (int i = 0; i <= BURST_LAST_PIXEL; i += BURST_PIXEL_STEP) {
        const brumzel_pixel &pixel = brumzel_pixels[i];
        int life = rand() % BURST_LIFE_RANGE + BURST_LIFE_MIN;
        int type = rand() % BURST_STYLES + 1;
        double speed = (rand() % 50) / 10 + 0.5;
        create_particle(static_cast<int>(pixel.x + bumper.x), static_cast<int>(pixel.y + bumper.y),
                        speed, type, getr(pixel.col), getg(pixel.col), getb(pixel.col), life);
    }
}

void burst_bumpers()
{
    replay_logic_begins();
    play_data_sample(DAT_GAMEOVER_SOUND);
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++) {
        burst_bumper(sprite[n]);
        sprite[n].type = KIND_FREE;
    }
    replay_logic_ends(false); // the burst is no step of its own
}

bool any_particle_alive()
{
    int limit = MAX_PARTICLES < PARTICLE_SLOTS ? MAX_PARTICLES : PARTICLE_SLOTS;
    for (int n = 0; n < limit; n++)
        if (particles[n].life > 0) return true;
    return false;
}

// A ball at rest in the overflow slot is never removed by friction and would drop a trail
// dot every step for ever, so the closing scene could never end: here it leaves the field.
static void clear_resting_overflow_ball()
{
    sprite_record &s = sprite[OVERFLOW_BALL_SLOT];
    bool ball = s.type == KIND_P1_BALL || s.type == KIND_P2_BALL;
    if (ball && s.dx == 0 && s.dy == 0) s.type = KIND_FREE;
}

void gameover_logic_step()
{
    replay_pass_begins();
    replay_logic_begins();
    move_sprites();
    check_collision();
    do_explosions();
    update_particle();
    reduce_speed();
    clear_resting_overflow_ball();
    update_moving_points();
    replay_logic_ends();
}

void draw_gameover_frame()
{
    compose_play_frame();
    textout_ex(buffer, data_font(DAT_FONT_LARGE), "GAME OVER", GAMEOVER_X, GAMEOVER_Y,
               makecol(255, 255, 255), -1);
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
}

// Paced like the play loop: logic at most once per tick, the same frame redrawn while ahead of
// the clock, every step drawn once on a slow machine.
void run_gameover_loop()
{
    do {
        end_if_closed();
        pause_if_asked();
        gameover_logic_step();
        draw_paced(draw_gameover_frame);
        actual_frames++;
    } while (any_particle_alive());
}

void gameover()
{
    burst_bumpers();
    run_gameover_loop();
    highcolor_fade_out(16);
    rest_unless_closed(500);
}
