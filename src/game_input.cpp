// game_input -- the one place a game's logic reads the world outside it: player 1's pointer and
// button, the keys of the play loop and the clock; and where a recording notes or replays them
#include "game_input.h"

#include <allegro.h>

#include "display.h"
#include "gamepad.h"
#include "init.h"

static const struct {
    int bit, scancode;
} step_keys[] = {
    {STEP_KEY_ESC, KEY_ESC},   {STEP_KEY_FIRE2, KEY_LCONTROL}, {STEP_KEY_UP, KEY_UP},
    {STEP_KEY_DOWN, KEY_DOWN}, {STEP_KEY_SHOT, KEY_S},
};

// ---- the live reads: the devices and the timer ----

// A gamepad's stick and buttons are merged in here, so what the logic reads is all it gets.
static int live_pointer_y()
{
    return merged_aim_y(game_mouse_y());
}

static int live_buttons()
{
    return pad_fires_player1() ? mouse_b | 1 : mouse_b;
}

static bool live_key(int bit)
{
    for (const auto &k : step_keys)
        if (k.bit == bit) return key[k.scancode] != 0 || pad_holds_step_key(bit);
    return false;
}

static int live_clock()
{
    return target_frames;
}

bool escape_held()
{
    return live_key(STEP_KEY_ESC);
}

// ---- noting and replaying ----

static step_reads *noting = nullptr;
static const step_reads *replaying = nullptr;
static bool pacing_to_clock = false;
static int next_clock_read = 0; // the next reading of *replaying to give out
static int last_clock = 0;      // the reading the score bar shows while replaying
bool replayed_reads_ran_out = false;

void note_step_reads(step_reads *into)
{
    noting = into;
}

void replay_step_reads(const step_reads *from, bool pace_to_clock)
{
    replaying = from;
    pacing_to_clock = pace_to_clock;
    next_clock_read = 0;
}

int step_pointer_y()
{
    if (replaying) return replaying->pointer_y;
    int y = live_pointer_y();
    if (noting) noting->pointer_y = y;
    return y;
}

int step_buttons()
{
    if (replaying) return replaying->buttons;
    int b = live_buttons();
    if (noting) noting->buttons = b;
    return b;
}

bool step_key(int bit)
{
    // Watching a replay, S is the watcher's: the recorded presses do not overwrite dump.pcx.
    if (replaying && pacing_to_clock && bit == STEP_KEY_SHOT) return live_key(bit);
    if (replaying) return (replaying->keys & bit) != 0;
    bool down = live_key(bit);
    if (noting && down) noting->keys |= bit;
    return down;
}

int step_clock()
{
    if (replaying) {
        if (next_clock_read >= replaying->clock_reads) {
            replayed_reads_ran_out = true;
            return last_clock;
        }
        last_clock = replaying->clocks[next_clock_read++];
        return last_clock;
    }
    int t = live_clock();
    if (noting) {
        if (noting->clock_reads < MAX_CLOCK_READS) noting->clocks[noting->clock_reads] = t;
        noting->clock_reads++;
    }
    return t;
}

// While replaying, the score bar shows the clock as the recorded game read it last.
int shown_clock()
{
    if (!replaying) return live_clock();
    if (replaying->clock_reads > 0) return replaying->clocks[replaying->clock_reads - 1];
    return last_clock;
}

// A replay is watched at the pace it was played: the pass's last clock reading came after its
// drawing, so frames are drawn until the live clock has reached it (passes without readings, as
// in the closing scene, are paced like play). Played back as fast as possible, one frame a pass.
bool clock_caught_up()
{
    if (replaying && !pacing_to_clock) return true;
    int due = actual_frames;
    if (replaying && replaying->clock_reads > 0)
        due = replaying->clocks[replaying->clock_reads - 1];
    return target_frames >= due;
}
