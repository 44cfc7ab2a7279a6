#ifndef HISCORE_H
#define HISCORE_H
// hiscore -- the high-score table and its file, the table screen and name entry
#include <cstdint>

constexpr int SCORE_PLACES = 10;     // places kept in the file and shown
constexpr int SCORE_ENTRIES = 11;    // plus the candidate slot
constexpr int CANDIDATE_ENTRY = 10;
constexpr int NAME_FIELD = 33;       // name bytes in a record, terminator included
constexpr int MAX_NAME_LENGTH = 8;   // characters name entry lets a player type
constexpr int SCORE_RECORD_SIZE = 40;
constexpr int SCORE_FILE_SIZE = SCORE_PLACES * SCORE_RECORD_SIZE;
constexpr const char *SCORE_FILE = "highscores.bin";

struct Score {
    int32_t player_score;
    char player_name[NAME_FIELD];
};
static_assert(sizeof(Score) == SCORE_RECORD_SIZE, "a table record is 40 bytes in the file");
extern Score score_table[SCORE_ENTRIES];

void set_default_scores();
bool load_scores();
bool save_scores();
int qsort_helper_by_score(const void *e1, const void *e2);
void sort_scores();
void hiscore_display(int wait);
void hiscore_enter_name(int score);

// The name editor of name entry: its state, and one key applied to it.
struct name_editor {
    char text[MAX_NAME_LENGTH + 2];  // room for one character over the limit and the NUL
    int caret;
    bool insert;
};
void name_editor_reset(name_editor *ed);
// Applies one key as readkey() returns it: scancode in bits 8 and up, character in bits 0-7.
void name_editor_key(name_editor *ed, int newkey);

#endif
