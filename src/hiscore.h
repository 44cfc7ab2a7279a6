#ifndef HISCORE_H
#define HISCORE_H
// hiscore -- the high-score table and its file, the table screen and name entry
#include <cstdint>

constexpr int SCORE_PLACES = 10;  // places kept in the file and shown
constexpr int SCORE_ENTRIES = 11; // plus the candidate slot
constexpr int CANDIDATE_ENTRY = 10;
constexpr int NAME_FIELD = 33;     // name bytes in a record, terminator included
constexpr int MAX_NAME_LENGTH = 8; // characters name entry lets a player type
constexpr int RECORD_PADDING = 3;  // bytes that bring a record to 40
constexpr int SCORE_RECORD_SIZE = 40;
constexpr int SCORE_FILE_SIZE = SCORE_PLACES * SCORE_RECORD_SIZE;
constexpr const char *SCORE_FILE = "highscores.bin";
// A save is written here first and renamed over SCORE_FILE only when complete.
constexpr const char *SCORE_TEMP_FILE = "highscores.bin.tmp";

// One place of the table. The padding is a field of its own so that the bytes a file held there
// survive a load and a save unchanged.
struct Score {
    int32_t player_score;
    char player_name[NAME_FIELD];
    char padding[RECORD_PADDING];
};
static_assert(sizeof(Score) == SCORE_RECORD_SIZE, "a table record is 40 bytes in the file");
extern Score score_table[SCORE_ENTRIES];

// Fills all eleven entries with the built-in table (names copied up to their terminator).
void set_default_scores();
// Reads the ten places from highscores.bin; on any failure the defaults are used and it returns
// false. Entry 10 is "enter name"/0 afterwards either way.
bool load_scores();
// Replaces highscores.bin with the ten places. Returns false, leaving the old file as it was,
// when any step of the write fails.
bool save_scores();
// qsort comparison: negative when the first record has the higher score.
int qsort_helper_by_score(const void *e1, const void *e2);
// Sorts all eleven entries, highest score first.
void sort_scores();

// The table screen. wait 1: until the quit ball is clicked, then fade; wait 0: one frame.
void hiscore_display(int wait);
// Frames the latest table screen drew.
extern volatile int hiscore_frames;

// Name entry for a qualifying score already written into entry 10.
void hiscore_enter_name(int score);
// Which player's heading name entry shows for score: 1, 2, or 0 when it is neither's score.
// When both players have that score the first name entered since the table was loaded is
// player 1's, the second player 2's (player 1 always enters first); the computer never enters.
int name_entry_player(int score);

// The name editor of name entry: its state, and one key applied to it.
struct name_editor {
    char text[MAX_NAME_LENGTH + 2]; // room for one character over the limit and the NUL
    int caret;
    bool insert;
};
void name_editor_reset(name_editor *ed);
// Applies one key as readkey() returns it: scancode in bits 8 and up, character in bits 0-7.
void name_editor_key(name_editor *ed, int newkey);

#endif
