#ifndef GAME_ROUND_H
#define GAME_ROUND_H
// game_round -- one game: the timer-paced play loop, end-of-game count and high-score entries

// The end-of-game count starts at 100 and falls by one every 200 ticks; play stops below 0.
constexpr int GAME_COUNT_START = 100, TICKS_PER_COUNT = 200;

// The end-of-game count for the live tick counter: 100 - target_frames / 200.
int end_of_game_count();

// Frees the object tables, reloads the score table and takes its best score into hi.
void start_menu_pass();

// One logic step of play, in the game's fixed order.
void play_logic_step();
// Composes one frame of play in buffer: field, score bar, sprites, particles, numbers, flashes.
void compose_play_frame();
// Composes one frame of play and copies it to the screen.
void draw_play_frame();
// Draws frames for one pass: one, and more while the logic is ahead of the tick counter.
// Returns how many frames were drawn.
int draw_paced(void (*draw_frame)());
// One pass of the play loop: a logic step, paced drawing, the counters, the best score and
// the end-of-game count.
void play_pass(void (*draw_frame)() = draw_play_frame);
// True while the play loop may start another pass (no Escape, time left, balls left).
bool game_continues();
// Plays the new-high-score sample the first time in the run a score passes hi, then raises
// hi to the best score. Returns true when the sample played.
bool update_best_score();
// Fires the next stage of the end-of-game count when its time has come. Returns the
// data-file sample it played, or -1 when no stage fired.
int check_end_of_game_count();

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
