// hiscore -- the high-score table and its file, the table screen and name entry
#include "hiscore.h"

#include "init.h"

// Placeholder bodies until this module is built.
Score score_table[SCORE_ENTRIES];

void set_default_scores()
{
}

bool load_scores()
{
    return false;
}

bool save_scores()
{
    return false;
}

int qsort_helper_by_score(const void *e1, const void *e2)
{
    return 0;
}

void sort_scores()
{
}

void hiscore_display(int wait)
{
}

void hiscore_enter_name(int score)
{
}

void name_editor_reset(name_editor *ed)
{
}

void name_editor_key(name_editor *ed, int newkey)
{
}
