// fuzz_headless -- Allegro without a display for the fuzz targets, and their check that stops
// the run
#include "fuzz_headless.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "display.h"
#include "gamedata.h"
#include "init.h"

void fuzz_failed(const char *what, const char *file, int line)
{
    fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    abort();
}

void fuzz_start_allegro(bool with_data)
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        fuzz_failed("Allegro starts", __FILE__, __LINE__);
    set_color_depth(16);
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_bitmap(screen);
    if (with_data) {
        char why[256];
        if (!load_gamedata(GAMEDATA_PATH, why, sizeof why)) {
            fprintf(stderr, "%s\n", why);
            fuzz_failed("the generated data file loads", __FILE__, __LINE__);
        }
    }
    create_offscreen_bitmaps();
}

static char private_folder[256];

// The folder goes when the run ends normally; it only ever holds the score file and its
// temporary twin.
static void remove_private_folder()
{
    if (chdir("/") != 0) return;
    std::string folder = private_folder;
    unlink((folder + "/highscores.bin").c_str());
    unlink((folder + "/highscores.bin.tmp").c_str());
    rmdir(folder.c_str());
}

void fuzz_enter_private_folder(const char *tag)
{
    std::string templ = std::string("/tmp/brumzel-fuzz-") + tag + "-XXXXXX";
    snprintf(private_folder, sizeof private_folder, "%s", templ.c_str());
    if (!mkdtemp(private_folder) || chdir(private_folder) != 0)
        fuzz_failed("a private folder", __FILE__, __LINE__);
    atexit(remove_private_folder);
}
