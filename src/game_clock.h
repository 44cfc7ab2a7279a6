#ifndef GAME_CLOCK_H
#define GAME_CLOCK_H
// game_clock -- the end-of-game count read from the tick counter, and its sounded last stages

// The end-of-game count starts at 100 and falls by one every 200 ticks; play stops below 0.
constexpr int GAME_COUNT_START = 100, TICKS_PER_COUNT = 200;

// The end-of-game count at a reading of the tick counter: 100 - ticks / 200.
int count_at(int ticks);
// The end-of-game count as the logic reads it, from the clock read afresh.
int end_of_game_count();

// Fires the next stage of the end-of-game count when its time has come. Returns the
// data-file sample it played, or -1 when no stage fired.
int check_end_of_game_count();

#endif
