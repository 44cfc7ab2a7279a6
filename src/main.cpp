// main -- the program flow: start-up, intro, the menu loop with its games, credits
#include <cstdio>

#include "credits.h"
#include "game_round.h"
#include "get_brumzel_pixels.h"
#include "init.h"
#include "intro.h"
#include "options.h"
#include "replay.h"
#include "title_screen.h"

int main(int argc, char *argv[])
{
    // The command line is read before the library starts, so it answers without a display.
    char why[160];
    switch (parse_command_line(argc, argv, &chosen_display, why, sizeof why)) {
    case OPTIONS_HELP:
        print_usage(stdout);
        return 0;
    case OPTIONS_VERSION:
        print_version(stdout);
        return 0;
    case OPTIONS_BAD:
        fprintf(stderr, "brumzel-ball: %s\n", why);
        print_usage(stderr);
        return 2;
    case OPTIONS_PLAY:
        break;
    }
    if (chosen_replay.timedemo) return run_timedemo(chosen_replay.timedemo);
    // A recording to watch is read whole first: a bad one is refused before anything starts.
    char why_not[512];
    if (chosen_replay.replay && !read_recording(chosen_replay.replay, why_not, sizeof why_not)) {
        fprintf(stderr, "brumzel-ball: %s\n", why_not);
        return 1;
    }
    record_games_to(chosen_replay.record);
    initialise();
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
    return 0;
}
END_OF_MAIN()
