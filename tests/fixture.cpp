// fixture -- the one headless start-up of every test program and the helpers the tests share
#include "fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <utility>

#include "explosions.h"
#include "null_drivers.h"
#include "particles.h"
#include "png.h"
#include "rebound_effect.h"
#include "title_screen.h"

const char *gamedata_path()
{
    const char *path = getenv("BRUMZEL_TEST_GAMEDATA");
    return path && *path ? path : GAMEDATA_PATH;
}

sound_log sounds;
int count_sounds(int entry)
{
    return int(std::count_if(sounds.begin(), sounds.end(), [=](sound s) { return s[0] == entry; }));
}

extern "C" int __real_play_sample(const SAMPLE *spl, int vol, int pan, int freq, int loop);
extern "C" int __wrap_play_sample(const SAMPLE *spl, int vol, int pan, int freq, int loop)
{
    for (int e = 0; e < DAT_ENTRIES && sounds.size() < 1000; e++) // a whole game's first 1000
        if (data[e].dat == spl) sounds.push_back({e, vol, pan, freq + 100000 * loop});
    return __real_play_sample(spl, vol, pan, freq, loop); // a voice once the sound is started
}

extern "C" void __real_stop_sample(const SAMPLE *spl);
extern "C" void __wrap_stop_sample(const SAMPLE *spl)
{
    for (int e = 0; e < DAT_ENTRIES; e++)
        if (data[e].dat == spl) sounds.push_back({e, -1, 0, 0});
    __real_stop_sample(spl);
}

int bitmaps_before_failure = -1;
extern "C" BITMAP *__real_create_bitmap_ex(int depth, int w, int h);
extern "C" BITMAP *__wrap_create_bitmap_ex(int depth, int w, int h)
{
    if (bitmaps_before_failure >= 0 && bitmaps_before_failure-- == 0) return nullptr;
    return __real_create_bitmap_ex(depth, w, h);
}
extern "C" BITMAP *__wrap_create_bitmap(int w, int h)
{
    return __wrap_create_bitmap_ex(get_color_depth(), w, h);
}

std::array<int, 4> mouse_range;
std::array<int, 2> pointer_placed;
extern "C" void __wrap_set_mouse_range(int x1, int y1, int x2, int y2)
{
    mouse_range = {x1, y1, x2, y2};
}
extern "C" void __wrap_position_mouse(int x, int y)
{
    pointer_placed = {x, y};
}

// A test program that cannot start fails with the reason, a skipped test fails the run, and so
// does the game's own exit before the tests are done: none may pass for a green suite.
static bool tests_done = false;
static void exit_only_when_done()
{
    if (tests_done || testing::internal::InDeathTestChild()) return;
    fprintf(stderr, "the game ended the test program before its tests were done\n");
    _exit(1);
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    char why[256] = "";
    if (!initialise_headless(gamedata_path(), why, sizeof why)) {
        fprintf(stderr, "the headless tests cannot start: %s\n", why);
        return 1;
    }
    atexit(exit_only_when_done);
    int status = RUN_ALL_TESTS();
    tests_done = true;
    int skipped = ::testing::UnitTest::GetInstance()->skipped_test_count();
    if (skipped > 0)
        fprintf(stderr, "%d tests were skipped; a skipped test counts as failed\n", skipped);
    return skipped > 0 ? 1 : status;
}

static int open_files()
{
    auto fds = std::filesystem::directory_iterator("/proc/self/fd");
    return int(std::distance(fds, std::filesystem::directory_iterator()));
}

std::string modes_asked;
int refused_width;
long long refused_depths;
static bool note_mode(int w, int h, int depth, bool windowed)
{
    modes_asked += (windowed ? "window " : "full ") + std::to_string(w) + "x" + std::to_string(h) +
                   "x" + std::to_string(depth) + ";";
    return w == refused_width || (refused_depths >> depth & 1);
}

std::string typed_keys;
static int read_typed_key()
{
    return std::exchange(typed_keys, typed_keys.substr(1))[0];
}

static size_t heap_in_use()
{
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

void Headless::SetUp()
{
    files_open = open_files(), memory_in_use = heap_in_use();
    memset(sprite, 0, sizeof sprite), memset(rebound, 0, sizeof rebound);
    MAX_PARTICLES = PARTICLE_SLOTS, initialise_particles(), initialise_explosions();
    initialise_newgame();
    p1_frames = p2_frames = 100, mult = hi = new_high = 0;
    null_tick(0), null_rested = nullptr, set_window_title(""); // rests start at a whole tick
    null_mode_refused = note_mode, modes_asked.clear(), refused_width = -1, refused_depths = 0;
    install_keyboard_hooks([] { return int(!typed_keys.empty()); }, read_typed_key);
    target_frames = actual_frames = 0, Menu_Option = MENU_TWO_PLAYER;
    std::fill(key, key + KEY_MAX, 0), mouse_x = mouse_y = mouse_b = 0;
    clear_bitmap(buffer), clear_bitmap(screen);
    typed_keys.clear(), sounds.clear(), bitmaps_before_failure = -1;
    mouse_range = {}, pointer_placed = {-1, -1}, srand(1);
}

void Headless::TearDown()
{
    EXPECT_EQ(open_files(), files_open) << "files left open";
    // A bitmap, a sample or a loaded file left behind grows the heap by far more than the
    // records the library and the tests keep between tests.
    EXPECT_LT(long(heap_in_use()) - long(memory_in_use), 64 << 10) << "memory left in use";
    std::fill(key, key + KEY_MAX, 0), mouse_b = 0;
    if (*home) {
        ASSERT_EQ(chdir(home), 0);
        std::filesystem::remove_all(temp_dir); // the folder goes with its test
    }
}

void Headless::enter_temp_dir()
{
    ASSERT_NE(getcwd(home, sizeof home), nullptr);
    char dir[] = "/tmp/brumzel-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    temp_dir = dir;
}

void place(int slot, int type, double x, double y, double dx, double dy)
{
    sprite_record &s = sprite[slot];
    s.type = type, s.x = x, s.y = y, s.dx = dx, s.dy = dy;
    s.w = s.h = type == KIND_BUMPER ? 60 : 10;
    s.mass = type == KIND_BUMPER ? 20 : 1;
}

int live_points()
{
    const sprite_record *first = sprite + FIRST_POINTS_SLOT, *end = sprite + LAST_POINTS_SLOT + 1;
    return int(std::count_if(first, end, [](auto &s) { return s.life > 0; }));
}

int pixels(BITMAP *bmp, int x0, int y0, int x1, int y1, int c, BITMAP *other)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            n += c >= 0 ? getpixel(bmp, x, y) == c : getpixel(bmp, x, y) != getpixel(other, x, y);
    return n;
}

std::string file_bytes(const char *path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

int pictures_compared = 0;
void compare_picture(const std::string &name, BITMAP *bmp)
{
    pictures_compared++, bmp = bmp ? bmp : screen;
    const std::string base = std::string(PICTURES_DIR) + "/" + name;
    rgb_picture now, reviewed;
    now.w = bmp->w, now.h = bmp->h;
    for (int y = 0; y < now.h; y++)
        for (int x = 0; x < now.w; x++) {
            int c = getpixel(bmp, x, y);
            now.rgb.insert(now.rgb.end(), {uint8_t(getr(c)), uint8_t(getg(c)), uint8_t(getb(c))});
        }
    if (getenv("BRUMZEL_TAKE_PICTURES")) {
        ASSERT_TRUE(write_png(base + ".png", now.w, now.h, now.rgb.data(), 3)) << base;
        return;
    }
    rgb_picture where;
    bool found = read_png(base + ".png", &reviewed);
    long differ = picture_difference(reviewed, now, &where);
    if (!differ) return;
    write_png(base + ".new.png", now.w, now.h, now.rgb.data(), 3);
    write_png(base + ".diff.png", where.w, where.h, where.rgb.data(), 3);
    ADD_FAILURE() << name << ": " << (found ? std::to_string(differ) : "no reviewed picture, all")
                  << " pixels differ; see " << base << ".new.png and " << base << ".diff.png";
}

void back_to_plain_display()
{
    leave_display_mode(), refused_width = -1, refused_depths = 0;
    null_desktop_w = SCREEN_WIDTH, null_desktop_h = SCREEN_HEIGHT, null_desktop_depth = 16;
    set_color_depth(16);
    ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0), 0);
    use_display_view(window_view(1)), chosen_display = {DISPLAY_UNSET, SCALE_UNSET};
}

void write_file(const char *path, const std::string &bytes)
{
    FILE *f = fopen(path, "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    fclose(f);
}
