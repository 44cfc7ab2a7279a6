// main -- the program flow: the command line, the start-up, then the game from the intro to the
// credits (program.cpp has each step)
#include "init.h"
#include "program.h"

int main(int argc, char *argv[])
{
    // The command line is read before the library starts, so it answers without a display.
    int status;
    if (answer_command_line(argc, argv, &status)) return status;
    initialise();
    run_game();
    return 0;
}
END_OF_MAIN()
