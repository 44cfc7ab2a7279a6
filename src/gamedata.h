#ifndef GAMEDATA_H
#define GAMEDATA_H
// gamedata -- the data file: its entries and their kinds, its structure check, loading and use
#include <allegro.h>

constexpr char GAMEDATA_FILE[] = "GAMEDATA.DAT";

// ---- data-file entries (GAMEDATA.DAT is reached by entry number only) ----
constexpr int DAT_BACKGROUND = 0;         // bitmap 800x600, play field
constexpr int DAT_SPRITE1 = 1;            // bitmap, player 1's ball
constexpr int DAT_SPRITE2 = 2;            // bitmap, player 2's ball
constexpr int DAT_BOTTOM_LEFT = 3;        // bitmap, bottom-left pad flash
constexpr int DAT_BOTTOM_RIGHT = 4;       // bitmap, bottom-right pad flash
constexpr int DAT_UNUSED_5 = 5;           // any kind, keeps the numbering
constexpr int DAT_PAD_SOUND = 6;          // sample, corner pad strike
constexpr int DAT_KEY_CLICK = 7;          // sample, name-entry key click
constexpr int DAT_ENTERNAME = 8;          // bitmap >= 605x130, name-entry panel
constexpr int DAT_GAMEOVER_SOUND = 9;     // sample
constexpr int DAT_COUNT5_SOUND = 10;      // sample
constexpr int DAT_COUNT4_SOUND = 11;      // sample
constexpr int DAT_CREDITS_SOUND = 12;     // sample
constexpr int DAT_GOAL_SOUND = 13;        // sample, bumper over a side line
constexpr int DAT_HELP = 14;              // bitmap 800x600
constexpr int DAT_HISCORE_TABLE = 15;     // bitmap 800x600
constexpr int DAT_LAUNCH_SOUND_P1 = 16;   // sample
constexpr int DAT_LAUNCH_SOUND_P2 = 17;   // sample
constexpr int DAT_LAUNCHER_P1 = 18;       // bitmap
constexpr int DAT_LAUNCHER_P2 = 19;       // bitmap
constexpr int DAT_UNUSED_20 = 20;         // any kind
constexpr int DAT_MOUSE_PTR = 21;         // bitmap
constexpr int DAT_COUNT1_SOUND = 22;      // sample
constexpr int DAT_WARNING_SOUND = 23;     // sample
constexpr int DAT_FONT_TEXT = 24;         // font: name entry, moving points, credits, intro
constexpr int DAT_FONT_SCORE = 25;        // font: score bar, table
constexpr int DAT_FONT_NAME = 26;         // font: typed name
constexpr int DAT_FONT_LARGE = 27;        // font: GET READY, GAME OVER, Credits:
constexpr int DAT_INTRO_SOUND = 28;       // sample
constexpr int DAT_COUNT3_SOUND = 29;      // sample
constexpr int DAT_TITLE = 30;             // bitmap 800x600
constexpr int DAT_TITLE_1PLAYER = 31;     // bitmap
constexpr int DAT_TITLE_2PLAYER = 32;     // bitmap
constexpr int DAT_TITLE_BALL = 33;        // bitmap 170x170
constexpr int DAT_TITLE_HELP = 34;        // bitmap
constexpr int DAT_TITLE_HISCORES = 35;    // bitmap
constexpr int DAT_TITLE_QUIT = 36;        // bitmap
constexpr int DAT_TITLE_MUSIC = 37;       // sample
constexpr int DAT_TOP_LEFT = 38;          // bitmap
constexpr int DAT_TOP_RIGHT = 39;         // bitmap
constexpr int DAT_ENTERNAME_SOUND = 40;   // sample
constexpr int DAT_NEW_HIGH_SOUND = 41;    // sample
constexpr int DAT_BRUMZEL = 42;           // bitmap, logo in its top-left 60x60
constexpr int DAT_CLASH_SOUND = 43;       // sample, two bumpers meet
constexpr int DAT_COUNT2_SOUND = 44;      // sample
constexpr int DAT_END_OF_TIME_SOUND = 45; // sample
constexpr int DAT_ENTRIES = 46;

// What kind of object each entry must hold; DAT_KIND_ANY for the unused ones.
enum dat_kind { DAT_KIND_ANY, DAT_KIND_BITMAP, DAT_KIND_SAMPLE, DAT_KIND_FONT };
extern const dat_kind gamedata_kind[DAT_ENTRIES];

// ---- the loaded data file and the bitmaps that point into it ----
extern DATAFILE *data;
extern BITMAP *background, *sprite1, *sprite2, *brumzel1, *bottom_left1, *top_left1, *top_right1,
    *bottom_right1, *title1, *title_1player1, *title_2player1, *title_help1, *title_hiscores1,
    *title_quit1, *title_ball1, *hiscore_table1, *mouse_ptr1, *launcher_p1, *launcher_p2, *help1,
    *entername1;

// Checks that a loaded data file has every entry of the right kind and size. On failure
// writes which entry is wrong into why (at most why_size bytes) and returns false.
bool check_gamedata(const DATAFILE *dat, char *why, int why_size);
// Walks the structure of the data file at path without loading it: every object present in
// full, at least DAT_ENTRIES of them, of the right kinds. The library's loader is not safe on a
// damaged file, so this runs first. On failure returns false with the reason in why.
bool check_gamedata_file(const char *path, char *why, int why_size);
// Loads and checks the data file at path and points the bitmap globals into it.
// On failure returns false with the reason in why.
bool load_gamedata(const char *path, char *why, int why_size);

// Plays a data-file sample (volume 0-255, pan 0-255, frequency 1000 = as recorded), once.
void play_data_sample(int entry, int vol = 255, int pan = 128, int freq = 1000);
// How often each entry has been played since the start: what a game was heard to do, even
// without a sound device.
extern int sample_plays[DAT_ENTRIES];
// The data file's font at an entry.
FONT *data_font(int entry);

#endif
