// test_pictures -- every screen drawn headless by its own functions and compared pixel for pixel
// with its reviewed picture in tests/pictures; `make pictures` takes them again
#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "credits.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "get_ready.h"
#include "help.h"
#include "hiscore.h"
#include "intro.h"
#include "png.h"
#include "title_screen.h"

// A picture of the screen against its reviewed one. On a difference the new picture and a
// difference picture (the changed pixels magenta over the reviewed one dimmed) go beside it.
static void compare_picture(const std::string &name)
{
    const std::string base = std::string(PICTURES_DIR) + "/" + name;
    rgb_picture now, reviewed;
    now.w = SCREEN_WIDTH, now.h = SCREEN_HEIGHT;
    for (int y = 0; y < now.h; y++)
        for (int x = 0; x < now.w; x++) {
            int c = getpixel(screen, x, y);
            now.rgb.insert(now.rgb.end(), {uint8_t(getr(c)), uint8_t(getg(c)), uint8_t(getb(c))});
        }
    if (getenv("BRUMZEL_TAKE_PICTURES")) {
        ASSERT_TRUE(write_png(base + ".png", now.w, now.h, now.rgb.data(), 3)) << base;
        return;
    }
    bool found = read_png(base + ".png", &reviewed) && reviewed.rgb.size() == now.rgb.size();
    std::vector<uint8_t> diff = found ? reviewed.rgb : now.rgb;
    long differ = 0;
    for (size_t p = 0; p < diff.size(); p += 3) {
        bool same = found && !memcmp(&now.rgb[p], &reviewed.rgb[p], 3);
        differ += !same;
        for (int k = 0; k < 3; k++)
            diff[p + k] = same ? diff[p + k] / 4 : k == 1 ? 0 : 255;
    }
    if (!differ) return;
    write_png(base + ".new.png", now.w, now.h, now.rgb.data(), 3);
    write_png(base + ".diff.png", now.w, now.h, diff.data(), 3);
    ADD_FAILURE() << name << ": " << (found ? std::to_string(differ) : "no reviewed picture, all")
                  << " pixels differ; see " << base << ".new.png and " << base << ".diff.png";
}

// Every picture a screen shows passes here: the clock ticks once a picture, and the test
// watching the screen may compare it, move the pointer or press keys.
static std::function<void(int)> watch;
static int shown = 0;
static void picture_seen()
{
    target_frames = actual_frames;
    if (watch) watch(++shown);
}

// Watches a screen: picture `at` is compared; from then on the pointer is at (x, y) with
// `button` down at every picture, and let go meanwhile, until the screen ends.
static void show(void (*screen_function)(), const char *name, int at, int x, int y, int button)
{
    std::atomic<bool> done{false};
    std::thread release([&] {
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(2)), mouse_b = 0;
    });
    shown = 0;
    watch = [&](int n) {
        if (n == at) compare_picture(name);
        if (n >= at) mouse_x = x, mouse_y = y, mouse_b = button;
    };
    screen_function();
    done = true;
    release.join();
    watch = nullptr;
}

class Pictures : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        picture_shown = picture_seen;
    }
    void TearDown() override
    {
        picture_shown = nullptr;
        watch = nullptr;
        Headless::TearDown();
    }
};

TEST_F(Pictures, CardsMenuAndHelpLookAsReviewed)
{
    show(intro, "intro", 1, 0, 0, 0);
    mouse_x = 283, mouse_y = 511; // hovering over two players: that ball spins faster
    show([] { title_screen(); }, "menu", 30, 696, 264, 1);
    EXPECT_EQ(Menu_Option, MENU_QUIT);
    mouse_x = 300, mouse_y = 200;
    show(help_display, "help", 30, 706, 503, 1);
    mouse_x = 150, mouse_y = 450;
    show(credits, "credits", 30, 791, 503, 2);
    EXPECT_EQ(sounds, (sound_log{{DAT_INTRO_SOUND, 255, 128, 1000},
                                 {DAT_TITLE_MUSIC, 255, 128, 1000},
                                 {DAT_CREDITS_SOUND, 255, 128, 1000}}));
}

static int heard(int entry)
{
    return int(std::count_if(sounds.begin(), sounds.end(), [=](sound s) { return s[0] == entry; }));
}

// Player 1 sweeps the mouse and fires, player 2 holds fire and steers, in turn up and down.
static void scripted_step(int step)
{
    mouse_y = step * 7 % 161, mouse_b = 1;
    key[KEY_LCONTROL] = 1, key[KEY_UP] = step / 150 % 2, key[KEY_DOWN] = !key[KEY_UP];
    target_frames = actual_frames + 1;
    play_pass(step == 1500 ? draw_play_frame : [] {});
}

TEST_F(Pictures, TwoPlayerGameLooksAsReviewedFromGetReadyToBothEntries)
{
    enter_temp_dir();
    start_menu_pass();
    initialise_newgame();
    show(get_ready, "get_ready", 5, 0, 0, 0); // after "3", "2", "1": "GO"
    EXPECT_EQ(sounds, (sound_log{{DAT_COUNT3_SOUND, 255, 128, 1000},
                                 {DAT_COUNT2_SOUND, 255, 128, 1000},
                                 {DAT_COUNT1_SOUND, 255, 128, 1000}}));
    srand(2007);
    for (int step = 0; step <= 1500; step++)
        scripted_step(step);
    compare_picture("play");
    key[KEY_LCONTROL] = 0, key[KEY_ESC] = 1, mouse_b = 0;
    ASSERT_FALSE(game_continues());
    int p1 = p1_score, p2 = p2_score;
    EXPECT_EQ(N(heard(DAT_LAUNCH_SOUND_P1), heard(DAT_LAUNCH_SOUND_P2), heard(DAT_NEW_HIGH_SOUND)),
              N(400 - p1_balls, 400 - p2_balls, 1));
    ASSERT_TRUE(p2 > p1 && p1 > 90) << p1 << " " << p2; // both enter, player 2 above player 1
    get_brumzel_pixels();
    burst_bumpers(); // the closing scene, 40 steps into it
    for (int step = 0; step < 40; step++)
        gameover_logic_step();
    draw_gameover_frame();
    compare_picture("burst");
    EXPECT_EQ(N(p1_score, p2_score, heard(DAT_GAMEOVER_SOUND)), N(p1, p2, 1));

    // Each entry: the name typed once the table is up, then the sorted table, left by its ball.
    static std::string keys;
    install_keyboard_hooks([] { return int(!keys.empty()); },
                           [] {
                               int k = keys[0];
                               keys.erase(0, 1);
                               return k;
                           });
    static int entries = 0, pictures = 0;
    static const score_screens watched = {[](int score) {
                                              entries++, pictures = 0;
                                              hiscore_enter_name(score);
                                          },
                                          [](int wait) {
                                              pictures = 100;
                                              hiscore_display(wait);
                                          }};
    watch = [](int) {
        if (++pictures == 1) keys = entries == 1 ? "Ann" : "Bob";
        if (pictures == 2 && entries == 1) compare_picture("name_entry");
        if (pictures == 2) key[KEY_ENTER] = 1, mouse_x = 706, mouse_y = 503;
        if (pictures == 101) {
            compare_picture(entries == 1 ? "table_player1" : "table_player2");
            key[KEY_ENTER] = 0, mouse_b = 2;
        }
    };
    enter_high_scores(watched);
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(N(entries, score_table[0].player_score, score_table[1].player_score), N(2, p2, p1));
    EXPECT_STREQ((std::string(score_table[0].player_name) + score_table[1].player_name).c_str(),
                 "BobAnn");
    EXPECT_EQ(N(heard(DAT_ENTERNAME_SOUND), heard(DAT_KEY_CLICK)), N(2, 6));
}
