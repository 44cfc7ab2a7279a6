#ifndef GAME_INPUT_H
#define GAME_INPUT_H
// game_input -- the one place a game's logic reads the world outside it: player 1's pointer and
// button, the keys of the play loop and the clock; and where a recording notes or replays them

// The keys a logic step reads, one bit each.
constexpr int STEP_KEY_ESC = 1;   // Escape: ends the game
constexpr int STEP_KEY_FIRE2 = 2; // Left Ctrl: player 2 fires
constexpr int STEP_KEY_UP = 4;    // player 2 aims up
constexpr int STEP_KEY_DOWN = 8;  // player 2 aims down
constexpr int STEP_KEY_SHOT = 16; // S: the screenshot
constexpr int STEP_KEY_BITS = 31;

// Player 1's pointer height in game coordinates, read after the aim's range is set.
int step_pointer_y();
// Player 1's buttons, as the library's mouse_b.
int step_buttons();
// True while the key of a STEP_KEY_* bit is down.
bool step_key(int bit);
// The tick counter as the logic reads it for the end-of-game count: every read may differ.
int step_clock();

// The tick counter as the score bar shows it.
int shown_clock();
// True once the clock has caught up with the logic steps taken (actual_frames): the play and
// closing loops redraw the same frame until then.
bool clock_caught_up();

// ---- what one pass of a loop read, for a recording ----
// A pass of the play loop reads the clock once for its loop test and once for each of the seven
// stages of the end-of-game count; room is left for a few more.
constexpr int MAX_CLOCK_READS = 12;
struct step_reads {
    int pointer_y, buttons; // as last read in the pass
    int keys;               // STEP_KEY_* bits of the keys read as down
    int clock_reads;        // how many clock readings follow, in the order they were made
    int clocks[MAX_CLOCK_READS];
};
// While set, every read is also noted into *into (the caller clears it for each pass). A pass
// reading the clock more often than MAX_CLOCK_READS sets its clock_reads past the limit.
void note_step_reads(step_reads *into);
// While set, the reads come from *from instead of the mouse, keys and clock; reading the clock
// more often than *from says sets replayed_reads_ran_out. With pace_to_clock, the drawing is
// paced by the live clock against the recorded one (watching); otherwise one frame a pass.
void replay_step_reads(const step_reads *from, bool pace_to_clock);
extern bool replayed_reads_ran_out;
// True while Escape is down on the keyboard itself, whatever is being replayed: it leaves a
// replay being watched.
bool escape_held();

#endif
