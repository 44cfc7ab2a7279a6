#ifndef REPLAY_H
#define REPLAY_H
// replay -- recordings of whole games: the recorder, the file, the state checksum and playback
//
// A recording holds one game from the end of "GET READY" to the end of the closing scene: the
// state the game's course depends on that a new game does not reset, then one record per pass
// of the play and closing loops (what the logic read from outside, and what the drawing after
// its logic step did to the state: how many frames counted the pad flashes down and how many
// random numbers the blobs took), and a checksum of the game's state at the start, after every
// 150th logic step and at the end.
//
// The file (integers little-endian; "varint": 7 bits a byte, low first, the top bit set on all
// but the last; "zigzag": 0, -1, 1, -2, ... as 0, 1, 2, 3, ...):
//   8 bytes  "BRUMZREC"                 2 bytes  format version (1)
//   2 bytes  rules version              16 bytes the game's version, NUL-padded
//   20 bytes date "YYYY-MM-DD HH:MM:SS", UTC, NUL-padded
//   1 byte   mode (0 one player, 1 two players)
//   4 bytes each: player 1's final score, player 2's, logic steps, passes, checksums, body bytes
//   the generator: 31 words of its ring, 1 byte front, 1 byte rear
//   4 bytes each: hi, new_high, p1_frames, p2_frames, mult
//   46 varints: how often each data-file sample played during the game
//   the body: one record per pass, each a flags byte and what the flags say changed since the
//     pass before: 1 pointer y (zigzag delta), 2 buttons (varint), 4 keys (byte of STEP_KEY_*
//     bits), 8 the number of clock readings (varint), 16 frames drawn (varint), 32 random
//     numbers the drawing took (varint); then, when the pass read the clock, its first reading
//     as a zigzag delta from the last pass's first reading, and with flag 64 each later reading
//     as a zigzag delta from the one before (without it they all equal the first)
//   8 bytes each: the checksums
//   4 bytes  FNV-1a of every byte before
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "game_input.h"
#include "gamedata.h"
#include "particles.h"

constexpr char REPLAY_MAGIC[] = "BRUMZREC";
constexpr int REPLAY_MAGIC_BYTES = 8;
constexpr int REPLAY_FORMAT_VERSION = 1;
// Bump whenever a change to the game's logic would make an old recording play differently.
constexpr int REPLAY_RULES_VERSION = 1;
constexpr int REPLAY_CHECK_STEPS = 150; // a checksum after every 150th logic step
// A game of 20200 steps and its closing scene need some 22000 passes; a reader takes no more.
constexpr int REPLAY_MAX_PASSES = 60000;
constexpr int REPLAY_MAX_CHECKSUMS = REPLAY_MAX_PASSES / REPLAY_CHECK_STEPS + 2;
constexpr long REPLAY_MAX_FILE_BYTES = 4L << 20;
constexpr int REPLAY_VERSION_TEXT = 16, REPLAY_DATE_TEXT = 20;
// A pass's drawing: frames and numbers above these are refused as not from a real game.
constexpr uint32_t REPLAY_MAX_FRAMES = 1u << 24, REPLAY_MAX_NUMBERS = 1u << 30;

struct replay_pass {
    step_reads reads;
    uint32_t frames;  // frames drawn after the pass's logic step: pad-flash count-downs
    uint32_t numbers; // random numbers that drawing took (blob radii)
};

// What the game's course depends on that a new game does not reset: it survives from game to
// game of a run.
struct carried_state {
    random_snapshot random;
    int hi, new_high, p1_frames, p2_frames, mult;
};

struct replay_header {
    int format_version, rules_version;
    char game_version[REPLAY_VERSION_TEXT + 1];
    char date[REPLAY_DATE_TEXT + 1];
    int mode; // Menu_Option of the game
    int p1_score, p2_score;
    int steps, passes, checksums;
    carried_state start;
    int samples[DAT_ENTRIES]; // how often each sample played during the game
};

// The one recording being made or played back (static storage: about 4 MB).
struct replay_recording {
    replay_header head;
    replay_pass pass[REPLAY_MAX_PASSES];
    uint64_t checksum[REPLAY_MAX_CHECKSUMS];
};
extern replay_recording recording;

// ---- the state checksum ----
// The live records of the sprite, particle, explosion and pad-flash tables (colours left out:
// they depend on the display's colour depth), scores, balls, aims, frame counters, the count's
// stage, mult, hi, new_high, the generator and the logo pixels the burst is made of.
uint64_t game_state_checksum();

// ---- recording (the game calls these; they do nothing unless a recording is being made) ----
// The file the next recorded game goes to; nullptr records nothing. Later games of the run go
// to FILE-2, FILE-3, ... (the number before the extension).
void record_games_to(const char *path);
// At the start of the play loop, and once the closing scene is over: writes the file (a
// temporary file, then renamed). A failed write is reported on standard error; the game goes on.
void begin_game_recording();
void end_game_recording();

// ---- hooks of the play and closing loops (recording and playback) ----
// The loop test of a pass of the play loop, or the top of a pass of the closing loop.
void replay_pass_begins();
// Around every stretch of logic: a logic step of play or of the closing scene, and the burst.
void replay_logic_begins();
void replay_logic_ends(bool counts_as_step = true);

// ---- the file ----
// Encodes the recording into out (at most cap bytes); returns its length, 0 if it does not fit.
size_t encode_recording(unsigned char *out, size_t cap);
// Decodes a recording from bytes; on failure returns false with one line in why.
bool decode_recording(const unsigned char *bytes, size_t n, char *why, int why_size);
// Reads and decodes the file at path; on failure returns false with one line in why.
bool read_recording(const char *path, char *why, int why_size);
// Writes the recording to path through a temporary file; on failure false, with why.
bool write_recording(const char *path, char *why, int why_size);
// The file name of the game-th recording (1, 2, ...) of a run recording to path.
void numbered_recording_path(const char *path, int game, char *out, int out_size);

// 32-bit FNV-1a of n bytes: the check that ends a recording file.
uint32_t fnv1a32(const unsigned char *b, size_t n);

// ---- playback ----
struct replay_outcome {
    bool in_step;    // every checksum, the samples and the passes matched
    bool left;       // Escape ended the watching
    int out_of_step; // the step where it went out of step (when !in_step)
    int steps, passes;
    int p1_score, p2_score;
};
// Plays the recording loaded in `recording` (read_recording) back, with the library already
// started (in the game, or headless by initialise_headless): from its starting state, through
// the play and closing loops. Every picture goes through present_screen, so picture_shown sees
// each frame. Watching paces it by the live clock, draws as the clock allows, lets Escape leave
// it and fades out at the end; otherwise one frame a pass as fast as possible. after_pass, when
// set, is called after every pass. The player's own hi, new_high, frame counters, mult,
// generator and mode are put back afterwards.
replay_outcome play_back_recording(bool watching, void (*after_pass)() = nullptr);
// The game's --replay: shows the loaded recording on screen; Escape leaves it.
void watch_recording();

// ---- the timedemo ----
// The mean, 99th-percentile and slowest of frames frame times in ms (sorted in place); all 0
// for none.
struct frame_time_figures {
    double mean, p99, slowest;
};
frame_time_figures figure_frame_times(float *ms, int frames);
// The fullest moments of a game: the most balls, live particles and pad flashes at once, the
// corners that flashed and whether the bumpers burst. note_fullest takes in the tables as they
// stand.
constexpr int PAD_CORNERS = 4;
struct fullest_moments {
    int balls, particles, flashes;
    bool corner[PAD_CORNERS], burst;
};
void note_fullest(fullest_moments *f);
// What a timedemo of the loaded recording measured, and its printing: the steps and frames a
// second, the frame times, the final scores beside the recorded ones, the fullest moments and,
// when it stayed in step, the checksums matched.
struct timedemo_figures {
    replay_outcome outcome;
    int frames;
    double seconds;
    frame_time_figures times;
    fullest_moments fullest;
};
void print_timedemo(FILE *out, const char *path, const timedemo_figures &t);
// Plays the loaded recording back one frame a step as fast as it can, with the library
// started, and prints its figures on out. Returns the exit status: 0 when every checksum
// matched, 1 otherwise (said on standard error).
int play_timedemo(const char *path, FILE *out);
// The game's --timedemo: reads the file, starts the library headless and plays it. Status 1,
// with one line on standard error, for a file that is refused.
int run_timedemo(const char *path);

#endif
