// headless -- starts Allegro without a display for the tests, with the generated data file
#include "headless.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "display.h"
#include "gamedata.h"
#include "init.h"

const char *gamedata_path()
{
    return GAMEDATA_PATH;
}

void start_headless()
{
    static bool started = false;
    if (started) return;
    started = true;
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
    set_color_depth(16);
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_bitmap(screen);
    char why[256];
    ASSERT_TRUE(load_gamedata(GAMEDATA_PATH, why, sizeof why)) << why;
    create_offscreen_bitmaps();
}

const char *make_temp_dir(const char *tag)
{
    static std::string path;
    std::string templ = std::string("/tmp/brumzel-test-") + tag + "-XXXXXX";
    char buf[256];
    snprintf(buf, sizeof buf, "%s", templ.c_str());
    path = mkdtemp(buf) ? buf : "";
    return path.c_str();
}
