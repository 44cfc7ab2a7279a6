#ifndef FUZZ_HEADLESS_H
#define FUZZ_HEADLESS_H
// fuzz_headless -- Allegro without a display for the fuzz targets, and their check that stops
// the run

// Starts Allegro (SYSTEM_NONE, 16-bit colour, screen an 800x600 memory bitmap) and creates the
// off-screen bitmaps; with_data also loads the generated GAMEDATA.DAT.
void fuzz_start_allegro(bool with_data);
// Moves into a fresh private folder, so the game's files of one target meet nothing else.
void fuzz_enter_private_folder(const char *tag);

// A broken promise of the code under test: says which, then stops with a crash report that
// libFuzzer records together with the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) fuzz_failed(#cond, __FILE__, __LINE__);                                       \
    } while (0)
[[noreturn]] void fuzz_failed(const char *what, const char *file, int line);

#endif
