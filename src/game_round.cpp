// game_round -- one game: the timer-paced play loop, end-of-game count and high-score entries
#include "game_round.h"

#include "init.h"

// Placeholder bodies until this module is built.
void play_logic_step()
{
}

void draw_play_frame()
{
}

bool game_continues()
{
    return false;
}

bool pass_keeps_drawing(int actual, int target, int frames_drawn)
{
    return false;
}

void update_best_score()
{
}

void check_end_of_game_count()
{
}

void enter_high_scores()
{
}

bool score_qualifies(int score)
{
    return false;
}

void play_game()
{
}
