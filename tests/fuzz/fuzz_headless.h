#ifndef FUZZ_HEADLESS_H
#define FUZZ_HEADLESS_H
// fuzz_headless -- Allegro without a display for the fuzz targets, and their check that stops
// the run
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "display.h"
#include "gamedata.h"
#include "init.h"

// A broken promise of the code under test: says which and aborts; libFuzzer keeps the input.
[[noreturn]] inline void fuzz_failed(const char *what, const char *file, int line)
{
    fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    abort();
}
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : fuzz_failed(#cond, __FILE__, __LINE__))

// Allegro without a display, screen an 800x600 memory bitmap; with_data loads GAMEDATA.DAT.
inline void fuzz_start_allegro(bool with_data)
{
    FUZZ_CHECK(install_allegro(SYSTEM_NONE, &errno, atexit) == 0);
    set_color_depth(16);
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_bitmap(screen);
    char why[256];
    if (with_data && !load_gamedata(GAMEDATA_PATH, why, sizeof why))
        fuzz_failed(why, __FILE__, __LINE__);
    create_offscreen_bitmaps();
}

#endif
