// game_clock -- the end-of-game count read from the tick counter, and its sounded last stages
#include "game_clock.h"

#include "game_input.h"
#include "gamedata.h"
#include "init.h"

int count_at(int ticks)
{
    return GAME_COUNT_START - ticks / TICKS_PER_COUNT;
}

int end_of_game_count()
{
    return count_at(step_clock());
}

// The last seconds of a game, each stage armed by the one before it.
static const struct {
    int count, flag_before, flag_after, sample;
} count_stage[] = {
    {8, 0, 5, DAT_WARNING_SOUND},        {5, 5, 4, DAT_COUNT5_SOUND}, {4, 4, 3, DAT_COUNT4_SOUND},
    {3, 3, 2, DAT_COUNT3_SOUND},         {2, 2, 1, DAT_COUNT2_SOUND}, {1, 1, 99, DAT_COUNT1_SOUND},
    {0, 99, 999, DAT_END_OF_TIME_SOUND},
};

int check_end_of_game_count()
{
    int played = -1;
    // Each stage reads the clock afresh, as the tick counter runs on meanwhile.
    for (const auto &st : count_stage) {
        if (end_of_game_count() == st.count && countdown_flag == st.flag_before) {
            countdown_flag = st.flag_after;
            play_data_sample(st.sample);
            played = st.sample;
        }
    }
    return played;
}
