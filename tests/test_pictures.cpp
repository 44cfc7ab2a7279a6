// test_pictures -- every screen drawn headless by its own functions and compared pixel for pixel
// with its reviewed picture in tests/pictures (`make pictures` takes them again), and the fade
#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

#include "create_play_area.h"
#include "credits.h"
#include "display_sprites.h"
#include "fade.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "get_ready.h"
#include "help.h"
#include "hiscore.h"
#include "intro.h"
#include "moving_points.h"
#include "null_drivers.h"
#include "rebound_effect.h"
#include "title_screen.h"

// Every picture a screen shows passes here: the clock ticks once a picture, and the test
// watching the screen may compare it, move the pointer or press keys. Between two pictures a
// waiting screen rests (or takes a step of its fade, at the display's pace), never spinning; the
// rests of 100 ms or more before a picture, and the rest at a screen's end, are kept.
static std::function<void(int)> watch;
static int shown = 0, fade_seen = 0;
static unsigned rested = 0; // ms since the last picture
static nums long_rests;
static void picture_seen()
{
    EXPECT_TRUE(!null_rested || !shown || rested || fade_pictures != fade_seen)
        << "picture " << shown + 1 << " came without a rest";
    EXPECT_FALSE(fade_pictures != fade_seen && mouse_b == 1 && Menu_Option != MENU_QUIT)
        << "a fade with the button held: only quitting the menu need not wait for its release";
    if (rested >= 100) long_rests.push_back(rested);
    target_frames = actual_frames, rested = 0, fade_seen = fade_pictures;
    if (watch) watch(++shown);
}

// Runs a screen with `watcher` seeing each of its pictures. A button the watcher holds down is let
// go once the screen rests 2 ms without showing a picture, as when it waits for the player to let
// go: a screen that waits without resting never ends.
static void run_screen(void (*screen_function)(), std::function<void(int)> watcher)
{
    null_rested = [](unsigned ms) { mouse_b = (rested += ms) > 1 ? 0 : mouse_b; };
    shown = 0, watch = watcher, screen_function();
    long_rests.push_back(std::exchange(rested, 0)), watch = nullptr, null_rested = nullptr;
}

// Compares picture `at`, then presses `button` at (x, y), to be let go at the screen's next rests.
static std::function<void(int)> click_after(const char *name, int at, int x, int y, int button)
{
    return [=](int n) {
        if (n == at) compare_picture(name), mouse_x = x, mouse_y = y, mouse_b = button;
    };
}

// True while the screen shows the top-left corner of a full-screen picture.
static bool showing(BITMAP *page)
{
    return pixels(screen, 0, 0, 89, 59, -1, page) == 0;
}

// At 32 bits, where a colour one off in any channel shows; the game takes the desktop's depth.
class Pictures : public Headless {
  protected:
    static void SetUpTestSuite()
    {
        char why[256] = "";
        set_color_depth(32), set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, 800, 600, 0, 0);
        ASSERT_TRUE(load_gamedata(gamedata_path(), why, sizeof why)) << why;
        create_offscreen_bitmaps();
    }
    void SetUp() override
    {
        Headless::SetUp(), picture_shown = picture_seen, long_rests.clear();
    }
    void TearDown() override
    {
        picture_shown = nullptr, watch = nullptr, Headless::TearDown();
    }
};

// The menu, the pointer over two players (that ball spins faster), opens the table and then help
// on a left click once the button is let go, and goes on after each; a click on quit ends it.
// The pointer is never over a screen's top-left corner, which tells the screens apart.
static int stage, help_pictures, menu_bottom;
static void menu_watcher(int n)
{
    const int press[][2] = {{386, 206}, {599, 503}, {696, 264}};         // table, help, quit
    if (n == 260) compare_picture("menu"), menu_bottom = mouse_range[3]; // balls past 255 again
    if (showing(title1) && n >= 260)
        mouse_x = press[stage][0], mouse_y = press[stage][1], mouse_b = 1;
    if (showing(hiscore_table1)) mouse_x = 706, mouse_y = 503, mouse_b = 1, stage = 1;
    if (showing(help1) && ++help_pictures <= 140) mouse_x = 300, mouse_y = 200;
    if (help_pictures == 140) compare_picture("help");
    if (showing(help1) && help_pictures > 140) mouse_x = 706, mouse_y = 503, mouse_b = 1;
    if (showing(help1)) stage = 2;
}

TEST_F(Pictures, CardsMenuAndTheScreensItOpensLookAsReviewed)
{
    _textmode = 0; // the legacy text background: the intro, the table and the credits clear it
    run_screen(intro, click_after("intro", 1, 0, 0, 0));
    int text_modes = std::exchange(_textmode, 0);
    stage = help_pictures = 0, typed_keys = "q"; // read by no screen, cleared by the table
    mouse_x = 283, mouse_y = 511, run_screen([] { title_screen(); }, menu_watcher);
    const std::array<int, 4> whole_screen = {0, 0, 800, 600};
    EXPECT_EQ(N(mouse_range == whole_screen, menu_bottom), N(1, 600)); // the table's, the menu's
    mouse_range = {}, text_modes += std::exchange(_textmode, 0);
    EXPECT_EQ(N(Menu_Option, help_pictures > 140, typed_keys.size(), fade_pictures),
              N(MENU_QUIT, 1, 0, 15));
    mouse_x = 150, mouse_y = 450, typed_keys = "q"; // typed before the credits: never read after
    Menu_Option = MENU_NONE; // the menu's quit is behind: the credits fade once the click is let go
    run_screen(credits, click_after("credits", 70, 791, 503, 1));
    EXPECT_EQ(
        N(mouse_range == whole_screen, typed_keys.size(), text_modes + _textmode, fade_pictures),
        N(1, 0, -3, 15));
    const sound title = {DAT_TITLE_MUSIC, 255, 128, 1000};
    EXPECT_EQ(sounds, (sound_log{{DAT_INTRO_SOUND, 255, 128, 1000},
                                 title,
                                 {DAT_TITLE_MUSIC, -1, 0, 0},
                                 {DAT_CREDITS_SOUND, 255, 128, 1000}}));
    // The intro's 6 s, then half a second after each fade: the intro, the menu opening the table,
    // the table, the menu opening help, help, the menu, the credits.
    EXPECT_EQ(long_rests, N(6000, 500, 500, 500, 500, 500, 500, 500));
}

// The score bar and the launchers at the ends of their ranges: the computer's label, six digits,
// counts of 8, 0 and below, 0, 39, 40 and 400 balls left, the aims at their limits.
TEST_F(Pictures, ScoreBarAndLaunchersLookAsReviewedAtTheEndsOfTheirRanges)
{
    const struct {
        int menu, p1, p2, best, ticks, balls1, balls2;
        float aim1, aim2;
    } rows[] = {{MENU_ONE_PLAYER, 250, 123456, 123456, 18400, 39, 40, 40, -5},
                {MENU_TWO_PLAYER, 7, 8, 9, 20199, 0, 400, -40, 2.507f},
                {MENU_TWO_PLAYER, 99999, 0, 99999, 20200, 400, 1, 0, 5}};
    for (const auto &r : rows) {
        Menu_Option = r.menu, p1_score = r.p1, p2_score = r.p2, hi = r.best;
        target_frames = r.ticks, p1_balls = r.balls1, p2_balls = r.balls2;
        p1_dy = r.aim1, p2_dy = r.aim2;
        blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), create_play_area();
        compare_picture("score_bar" + std::to_string(&r - rows + 1), buffer);
    }
}

// Balls by their truncated top-left corner in slots 0 to 110, none from 111 on; bumpers centred
// and turned by their angle modulo a full turn (the top row alike: 44, 44 + 500 turns and -212);
// score numbers, a space after them, at their truncated corner; the four corner pads' flashes.
TEST_F(Pictures, SpritesLookAsReviewed)
{
    initialise_sprites();
    sprite[71].angle = 44, sprite[72].angle = 44 + 256 * 500, sprite[73].angle = -212;
    place(0, KIND_P1_BALL, 200.9, 100.9, 0, 0);
    place(LAST_DRAWN_SLOT, KIND_P2_BALL, 300, 400, 0, 0);
    place(LAST_DRAWN_SLOT + 1, KIND_P2_BALL, 600, 100, 0, 0);
    sprite_record &number = sprite[LAST_POINTS_SLOT]; // a score number in the last slot
    number.type = KIND_MOVING_POINT, number.life = 5, number.points = 25;
    number.x = 500.7, number.y = 450;
    blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    display_sprites(), display_moving_points();
    for (int kind = KIND_PAD_BOTTOM_LEFT; kind <= KIND_PAD_BOTTOM_RIGHT; kind++)
        create_pad_rebound(kind);
    do_pad_rebound();
    compare_picture("sprites", buffer);
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
    pictures_compared = 0;
    start_menu_pass(), initialise_newgame();
    target_frames = 30000, actual_frames = 4321; // after a long game the clock starts again
    run_screen(get_ready, click_after("get_ready", 5, 0, 0, 0)); // after "3", "2", "1": "GO"
    EXPECT_EQ(N(target_frames, actual_frames, pointer_placed[0], pointer_placed[1]),
              N(0, 0, 0, 80));                             // the left launcher's aim level
    EXPECT_EQ(long_rests, N(1000, 1000, 1000, 1000, 200)); // GET READY, 3, 2, 1 a second, GO
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
    EXPECT_EQ(N(count_sounds(DAT_LAUNCH_SOUND_P1), count_sounds(DAT_LAUNCH_SOUND_P2),
                count_sounds(DAT_NEW_HIGH_SOUND)),
              N(400 - p1_balls, 400 - p2_balls, 1));
    ASSERT_TRUE(p2 > p1 && p1 > 90) << p1 << " " << p2; // both enter, player 2 above player 1
    get_brumzel_pixels();
    burst_bumpers(); // the closing scene, 40 steps into it
    for (int step = 0; step < 40; step++)
        gameover_logic_step();
    draw_gameover_frame();
    compare_picture("burst");
    EXPECT_EQ(N(p1_score, p2_score, count_sounds(DAT_GAMEOVER_SOUND)), N(p1, p2, 1));

    // Each entry: the name typed once the table is up, then the sorted table, left by its ball.
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
        if (++pictures == 1) typed_keys = entries == 1 ? "Ann" : "Bob", mouse_b = 0;
        if (pictures == 2) compare_picture("name_entry_player" + std::to_string(entries));
        if (pictures == 2) key[KEY_ENTER] = 1, mouse_x = 706, mouse_y = 503;
        if (pictures == 170) { // its ball turned past 255 and begun again
            compare_picture(entries == 1 ? "table_player1" : "table_player2");
            key[KEY_ENTER] = 0, mouse_b = 2;
        }
    };
    enter_high_scores(watched);
    EXPECT_EQ(mouse_range, (std::array<int, 4>{0, 0, 800, 600})); // the table's, after the aim's
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(N(entries, score_table[0].player_score, score_table[1].player_score), N(2, p2, p1));
    EXPECT_STREQ((std::string(score_table[0].player_name) + score_table[1].player_name).c_str(),
                 "BobAnn");
    EXPECT_EQ(N(count_sounds(DAT_ENTERNAME_SOUND), count_sounds(DAT_KEY_CLICK), pictures_compared),
              N(2, 6, 7));
}

// Opacity falls by the speed from 255 - speed while it stays above zero, a picture a step.
// Without memory for its second picture, the screen goes black at once.
TEST_F(Pictures, FadeShowsOneBlendedPictureAStepThenBlack)
{
    const int rows[][3] = {{16, 15, -1}, {0, 31, -1}, {128, 1, -1}, {255, 0, -1}, {8, 0, 1}};
    static std::vector<int> red; // of a white pixel in each picture shown: dimmer each time
    picture_shown = [] { red.push_back(getr(getpixel(screen, 400, 300))); };
    for (const auto &r : rows) {
        blit(title1, screen, 0, 0, 0, 0, 800, 600);
        putpixel(screen, 400, 300, makecol(255, 255, 255));
        red.clear(), bitmaps_before_failure = r[2];
        highcolor_fade_out(r[0]);
        EXPECT_EQ(N(fade_pictures, pixels(screen, 0, 0, 799, 599, 0)), N(r[1], 800 * 600)) << r[0];
        ASSERT_EQ(red.size(), size_t(r[1] + 1)); // then black
        for (int k = 0; k < r[1]; k++)           // at opacity 255 - speed, less the speed each time
            EXPECT_EQ(red[k], 255 - (r[0] ? r[0] : 8) * (k + 1)) << r[0] << " " << k;
    }
}
