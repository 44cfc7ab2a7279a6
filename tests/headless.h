#ifndef HEADLESS_H
#define HEADLESS_H
// headless -- starts Allegro without a display for the tests, with the generated data file
#include <allegro.h>

// Starts Allegro once (SYSTEM_NONE, 16-bit colour), points screen at an 800x600 memory bitmap,
// loads GAMEDATA.DAT and creates the off-screen bitmaps. Safe to call again.
void start_headless();
// Path of the generated data file.
const char *gamedata_path();
// A fresh empty folder under the build's temporary area; the test may chdir into it.
const char *make_temp_dir(const char *tag);

#endif
