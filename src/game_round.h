#ifndef GAME_ROUND_H
#define GAME_ROUND_H
// game_round -- one game: the timer-paced play loop and the high-score entries
#include "play_frame.h"

// Frees the object tables, reloads the score table and takes its best score into hi.
void start_menu_pass();

// One logic step of play, in the game's fixed order.
void play_logic_step();
// One pass of the play loop: a logic step, paced drawing, the counters, the best score and
// the end-of-game count.
void play_pass(void (*draw_frame)() = draw_play_frame);
// True while the play loop may start another pass (no Escape, time left, balls left).
bool game_continues();
// Plays the new-high-score sample the first time in the run a score passes hi, then raises
// hi to the best score. Returns true when the sample played.
bool update_best_score();

// True when a score beats the tenth place of the table (equal is not enough).
bool score_qualifies(int score);
// The screens a qualifying score passes through; tests put quiet stand-ins in their place.
struct score_screens {
    void (*enter_name)(int score);
    void (*show_table)(int wait);
};
extern const score_screens game_score_screens;
// Enters qualifying scores into the table and saves it: player 1, then player 2 in a
// two-player game, measured against the table as player 1's entry left it.
void enter_high_scores(const score_screens &screens = game_score_screens);

// Plays one game: get ready, the play loop, game over and the high-score entries.
void play_game();

#endif
