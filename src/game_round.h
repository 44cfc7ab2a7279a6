#ifndef GAME_ROUND_H
#define GAME_ROUND_H
// game_round -- one game: the timer-paced play loop, end-of-game count and high-score entries

// One logic step of play, in the game's fixed order.
void play_logic_step();
// Draws one frame of play into buffer and copies it to the screen.
void draw_play_frame();
// True while the play loop may start another pass (no Escape, time left, balls left).
bool game_continues();
// How many frames a pass draws for the given counters: at least one, and while the logic is
// ahead of the clock, as many as it takes the clock to catch up (decided frame by frame).
bool pass_keeps_drawing(int actual, int target, int frames_drawn);
// Plays the new-high-score sample once per run and raises hi to the best score.
void update_best_score();
// Fires the next stage of the end-of-game count when its time has come.
void check_end_of_game_count();
// Enters qualifying scores into the table: player 1, then player 2 in a two-player game.
void enter_high_scores();
// True when a score beats the tenth place of the table.
bool score_qualifies(int score);
// Plays one game: get ready, the play loop, game over and the high-score entries.
void play_game();

#endif
