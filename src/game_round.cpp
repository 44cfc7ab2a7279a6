// game_round -- one game: the timer-paced play loop and the high-score entries
#include "game_round.h"

#include <allegro.h>

#include "check_collision.h"
#include "display.h"
#include "explosions.h"
#include "game_clock.h"
#include "game_input.h"
#include "gamedata.h"
#include "gameover.h"
#include "gamepad.h"
#include "get_ready.h"
#include "hiscore.h"
#include "init.h"
#include "move_sprites.h"
#include "moving_points.h"
#include "particles.h"
#include "pause.h"
#include "play_frame.h"
#include "player_input.h"
#include "rebound_effect.h"
#include "replay.h"
#include "title_screen.h"

void start_menu_pass()
{
    initialise_sprites();
    initialise_particles();
    initialise_explosions();
    initialise_rebound();
    load_scores();
    hi = score_table[0].player_score;
}

void play_logic_step()
{
    replay_logic_begins();
    move_sprites();
    check_collision();
    do_explosions();
    update_particle();
    player_input();
    reduce_speed();
    update_moving_points();
    replay_logic_ends();
}

void play_pass(void (*draw_frame)())
{
    play_logic_step();
    draw_paced(draw_frame);
    p1_frames++;
    p2_frames++;
    actual_frames++;
    update_best_score();
    check_end_of_game_count();
}

bool game_continues()
{
    replay_pass_begins();
    bool out_of_balls = p1_balls <= 0 && p2_balls <= 0;
    return !step_key(STEP_KEY_ESC) && end_of_game_count() >= 0 && !out_of_balls;
}

bool update_best_score()
{
    bool played = false;
    // The new-high-score sample plays once a run: nothing clears new_high.
    if ((p1_score > hi || p2_score > hi) && !new_high) {
        play_data_sample(DAT_NEW_HIGH_SOUND);
        new_high = 1;
        played = true;
    }
    if (p1_score > hi) hi = p1_score;
    if (p2_score > hi) hi = p2_score;
    return played;
}

bool score_qualifies(int score)
{
    return score > score_table[SCORE_PLACES - 1].player_score;
}

const score_screens game_score_screens = {hiscore_enter_name, hiscore_display};

// A qualifying score goes into the candidate entry, is named, sorted in, shown and saved.
static void enter_score(int score, const score_screens &screens)
{
    if (!score_qualifies(score)) return;
    // A window closed meanwhile ends the game only once the score is saved.
    keeping_score++;
    score_table[CANDIDATE_ENTRY].player_score = score;
    screens.enter_name(score);
    sort_scores();
    screens.show_table(1);
    save_scores();
    keeping_score--;
}

void enter_high_scores(const score_screens &screens)
{
    enter_score(p1_score, screens);
    // The computer's score of a one-player game never enters the table.
    if (Menu_Option != MENU_ONE_PLAYER) enter_score(p2_score, screens);
}

void play_game()
{
    forget_pause_requests();
    get_ready();
    pointer_to_mouse();
    begin_game_recording();
    // The pause comes before the loop test, so Escape in a pause ends the game at once.
    for (;;) {
        pause_if_asked();
        if (!game_continues()) break;
        end_if_closed();
        play_pass();
    }
    gameover();
    end_game_recording();
    enter_high_scores();
}
