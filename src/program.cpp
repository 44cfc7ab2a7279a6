// program -- the game's whole course, as main runs it: the command line answered, then after the
// start-up the intro (or a recording watched), the menu loop with its games, and the credits
#include "program.h"

#include <cstdio>

#include "credits.h"
#include "game_round.h"
#include "get_brumzel_pixels.h"
#include "init.h"
#include "intro.h"
#include "options.h"
#include "replay.h"
#include "title_screen.h"

bool answer_command_line(int argc, char *argv[], int *status)
{
    char why[160];
    *status = 0;
    switch (parse_command_line(argc, argv, &chosen_display, why, sizeof why)) {
    case OPTIONS_HELP:
        print_usage(stdout);
        return true;
    case OPTIONS_VERSION:
        print_version(stdout);
        return true;
    case OPTIONS_BAD:
        fprintf(stderr, "brumzel-ball: %s\n", why);
        print_usage(stderr);
        *status = 2;
        return true;
    case OPTIONS_PLAY:
        break;
    }
    if (chosen_replay.timedemo) {
        *status = run_timedemo(chosen_replay.timedemo);
        return true;
    }
    // A recording to watch is read whole first: a bad one is refused before anything starts.
    char why_not[512];
    if (chosen_replay.replay && !read_recording(chosen_replay.replay, why_not, sizeof why_not)) {
        fprintf(stderr, "brumzel-ball: %s\n", why_not);
        *status = 1;
        return true;
    }
    record_games_to(chosen_replay.record);
    return false;
}

void run_game()
{
    get_brumzel_pixels();
    // Watching a replay takes the intro's place; the title menu follows.
    if (chosen_replay.replay)
        watch_recording();
    else
        intro();
    while (Menu_Option != MENU_QUIT) {
        start_menu_pass();
        title_screen();
        initialise_newgame();
        if (Menu_Option == MENU_ONE_PLAYER || Menu_Option == MENU_TWO_PLAYER) play_game();
    }
    credits();
}
