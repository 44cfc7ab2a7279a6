#ifndef PROGRAM_H
#define PROGRAM_H
// program -- the game's whole course, as main runs it: the command line answered, then after the
// start-up the intro (or a recording watched), the menu loop with its games, and the credits

// Answers what the command line asks that needs no display: the usage, the version, a bad
// option, the timedemo and a recording to watch that cannot be read. True when that ends the
// program, with its exit status in *status; false when the game is to be played (the options
// taken, a recording to watch read, the games of the run to be recorded).
bool answer_command_line(int argc, char *argv[], int *status);

// After the start-up: the logo sampled, the intro or the recording to watch, then the title menu
// and the games it starts until the player quits, then the credits.
void run_game();

#endif
