#ifndef FIXTURE_H
#define FIXTURE_H
// fixture -- the one headless start-up of every test program and the helpers the tests share
#include <algorithm>
#include <allegro.h>
#include <allegro/internal/aintern.h> // _switch_out and _switch_in: a window's focus lost, had
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "display.h"
#include "game_clock.h"
#include "gamedata.h"
#include "init.h"
#include "play_frame.h"

// Several figures compared in one go: EXPECT_EQ(N(p1_score, mult), N(10, 1)).
using nums = std::vector<double>;
template <typename... T> nums N(T... v)
{
    return {double(v)...};
}

// Every sample the game played since the test began, in order: data-file entry, volume, pan and
// frequency (plus 100000 when looped); a stopped one as entry, -1, 0, 0. The tests link the
// library's play_sample and stop_sample to this log.
using sound = std::array<int, 4>;
using sound_log = std::vector<sound>;
extern sound_log sounds;
int count_sounds(int entry);
// Bitmaps the game may still make before one fails, as when memory runs out; -1: no failure.
extern int bitmaps_before_failure;
// The mouse range last set and the place the pointer was last put, through the library; the tests
// link set_mouse_range and position_mouse to these (the headless library has no mouse).
extern std::array<int, 4> mouse_range;
extern std::array<int, 2> pointer_placed;

// The data file the tests load: $BRUMZEL_TEST_GAMEDATA if set, else the build's own.
const char *gamedata_path();

// Keys waiting in the keyboard buffer, as typed (each one its character); the game reads them.
extern std::string typed_keys;

// Every test starts from a new game's state: empty tables, zero scores and clock, both
// launchers rested, a two-player game, no key or button down, black buffer and screen, seed 1.
class Headless : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Moves into a fresh empty folder until the test ends.
    void enter_temp_dir();
    char home[512] = "";
    std::string temp_dir;
    int files_open = 0;       // when the test began: every file the game opens it closes again
    size_t memory_in_use = 0; // and the heap in use: what the game makes it destroys again
};

// A ball (kinds 1, 2) or a bumper (kind 3) in a slot, sized and weighted as the game makes them.
void place(int slot, int type, double x, double y, double dx, double dy);
// The live records of a table of particles, explosions or pad flashes; of floating scores.
template <typename T, size_t size> int live(const T (&table)[size])
{
    return int(std::count_if(table, table + size, [](const T &r) { return r.life > 0; }));
}
int live_points();
// Pixels of a box of bmp (corners included) of colour c, or with c < 0 differing from `other`.
int pixels(BITMAP *bmp, int x0, int y0, int x1, int y1, int c, BITMAP *other = nullptr);
std::string file_bytes(const char *path);
// Compares bmp (the screen unless said) with its reviewed picture tests/pictures/NAME.png. On a
// difference the new picture and a difference picture (the changed pixels magenta over the new
// one dimmed) go beside it; BRUMZEL_TAKE_PICTURES=1 takes the reviewed pictures again.
void compare_picture(const std::string &name, BITMAP *bmp = nullptr);
extern int pictures_compared;
// The modes asked of the null display since the test began ("window 800x600x16;" each); it
// refuses a display refused_width wide and the depths whose bit (1 << depth) is in refused_depths.
extern std::string modes_asked;
extern int refused_width;
extern long long refused_depths;
// The tests' own display again: the null 800x600 full-screen mode at 16 bits, drawn straight onto.
void back_to_plain_display();
void write_file(const char *path, const std::string &bytes);

#endif
