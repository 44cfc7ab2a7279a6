// test_screens -- what the field, the menu, help, credits, the intro and the fade show and how
// each screen is left
#include <chrono>
#include <thread>

#include "create_play_area.h"
#include "credits.h"
#include "display_sprites.h"
#include "fade.h"
#include "fixture.h"
#include "game_round.h"
#include "get_ready.h"
#include "help.h"
#include "intro.h"
#include "title_screen.h"

using Screens = Headless;
static int white()
{
    return makecol(255, 255, 255);
}

static void draw_bar()
{
    blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    create_play_area();
}

// Balls left: a grey bar (64 left, 32 right) a quarter as long over rows 70-80, an icon per 40.
TEST_F(Screens, ScoreBarShowsLabelsScoresTheBestTheCountAndTheBallsLeft)
{
    const struct {
        int menu, p1, p2, best, ticks, balls, bar, icons;
        const char *label, *s1, *s2, *hi, *count;
    } rows[] = {
        {MENU_ONE_PLAYER, 250, 123456, 123456, 18400, 39, 9, 0, "CPU", "00250", "123456",
         "HI SCORE 123456", "COUNTDOWN: 08"},
        {MENU_TWO_PLAYER, 7, 8, 9, 20199, 40, 10, 1, "2 up", "00007", "00008", "HI SCORE 00009",
         "COUNTDOWN: 00"},
        {MENU_TWO_PLAYER, 7, 8, 9, 20200, 400, 100, 10, "2 up", "00007", "00008", "HI SCORE 00009",
         "COUNTDOWN: ---"},
    };
    BITMAP *want = create_bitmap(800, 600);
    for (const auto &r : rows) {
        Menu_Option = r.menu, p1_score = r.p1, p2_score = r.p2, hi = r.best;
        target_frames = r.ticks, p1_balls = p2_balls = r.balls;
        draw_bar();
        const std::pair<int, const char *> texts[] = {
            {10 * 1000 + 1, "1UP"},  {10 * 1000 + 30, r.s1}, {690 * 1000 + 1, r.label},
            {690 * 1000 + 30, r.s2}, {280 * 1000 + 5, r.hi}, {300 * 1000 + 565, r.count}};
        for (auto [at, text] : texts)
            EXPECT_TRUE(
                shows_text(buffer, background, DAT_FONT_SCORE, at / 1000, at % 1000, white(), text))
                << text;
        blit(background, want, 0, 0, 0, 0, 800, 600);
        for (int x0 : {10, 685}) {
            int grey = x0 == 10 ? 64 : 32;
            rectfill(want, x0, 70, x0 + r.bar, 80, makecol(grey, grey, grey));
            for (int n = 0; n < r.icons; n++)
                draw_sprite(want, x0 == 10 ? sprite1 : sprite2, x0 + 10 * n, 70);
        }
        EXPECT_EQ(pixels(buffer, 0, 65, 799, 85, -1, want), 0) << r.balls;
    }
    destroy_bitmap(want);
}

// Turned by atan(aim / 100) times 110 units (256 a turn) for player 1, times -800 for player 2.
TEST_F(Screens, LaunchersTurnAboutTheirPivotsWithTheAim)
{
    const float rows[][4] = {{40, -5, 41, 39}, {-40, 2.507f, -41, -20}}; // aims, then angles
    BITMAP *want = create_bitmap(800, 600);
    for (const auto &r : rows) {
        p1_dy = r[0], p2_dy = r[1];
        draw_bar();
        blit(background, want, 0, 0, 0, 0, 800, 600);
        pivot_sprite(want, launcher_p1, 35, 295, 60, 10, ftofix(r[2])); // itofix shifts negatives
        pivot_sprite(want, launcher_p2, 775, 295, 10, 10, ftofix(r[3]));
        EXPECT_EQ(pixels(buffer, 0, 200, 799, 400, -1, want), 0) << r[0] << " " << r[1];
    }
    destroy_bitmap(want);
}

TEST_F(Screens, SpritesAreDrawnBallsByTheirCornerBumpersCentredAndTurned)
{
    initialise_sprites();
    display_sprites();
    EXPECT_TRUE(shows_sprite(buffer, brumzel1, 311, 211)); // 71, unturned: (x - w/2 + 1, ...)
    // Balls by their truncated top-left corner, in slots 0-110 only.
    memset(sprite, 0, sizeof sprite);
    place(0, KIND_P1_BALL, 200.9, 100.9, 0, 0);
    place(LAST_DRAWN_SLOT, KIND_P2_BALL, 300, 300, 0, 0);
    place(LAST_DRAWN_SLOT + 1, KIND_P2_BALL, 600, 100, 0, 0);
    clear_bitmap(buffer);
    display_sprites();
    EXPECT_TRUE(shows_sprite(buffer, sprite1, 200, 100) && shows_sprite(buffer, sprite2, 300, 300));
    EXPECT_EQ(pixels(buffer, 600, 100, 609, 109, 0), 100);
    // A bumper's angle counts modulo a full turn, backwards too; a different angle differs.
    for (int angle : {44, 44 + 256 * 500, 44 + 64, -212}) {
        memset(sprite, 0, sizeof sprite);
        place(71, KIND_BUMPER, 340, 240, 0, 0);
        sprite[71].angle = angle;
        clear_bitmap(buffer);
        display_sprites();
        if (angle == 44) blit(buffer, screen, 0, 0, 0, 0, 800, 600); // the first as reference
        EXPECT_EQ(pixels(buffer, 250, 150, 429, 329, -1, screen) == 0, (angle + 256) % 256 == 44);
    }
}

// Each ball turns one unit a pass, back to 0 after 255; the one under the pointer gains 2 more
// as each ball is turned, 10 a pass, so it can pass 255 part-way through a pass.
TEST_F(Screens, MenuBallsTurnAndTheHoveredOneFaster)
{
    const struct {
        double before[MENU_ITEMS];
        int hovered;
        double after[MENU_ITEMS];
    } rows[] = {{{0, 100, 254, 255, 300}, MENU_NONE, {1, 101, 255, 0, 0}},
                {{0, 0, 0, 0, 250}, MENU_QUIT, {1, 1, 1, 1, 2}}, // 258 wraps at its turn, +2
                {{261, 0, 0, 0, 0}, MENU_ONE_PLAYER, {10, 1, 1, 1, 1}}};
    for (const auto &r : rows) {
        double angle[MENU_ITEMS];
        std::copy(r.before, r.before + MENU_ITEMS, angle);
        step_menu_angles(angle, r.hovered);
        EXPECT_EQ(nums(angle, angle + MENU_ITEMS), nums(r.after, r.after + MENU_ITEMS));
    }
}

// A left click on the help or the table ball opens that screen once the button is let go;
// leaving it by its ball goes back to the menu, which a left click on the quit ball ends.
TEST_F(Screens, MenuOpensHelpAndTheTableAndGoesOnAfterThem)
{
    auto wait = [](auto done) {
        for (int i = 0; i < 20000 && !done(); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return done();
    };
    for (int item : {MENU_HELP, MENU_HISCORES}) {
        BITMAP *page = item == MENU_HELP ? help1 : hiscore_table1;
        mouse_x = menu_circle[item][0], mouse_y = menu_circle[item][1], mouse_b = 1;
        Menu_Option = MENU_QUIT;
        std::thread menu(title_screen);
        EXPECT_TRUE(wait([&] { return Menu_Option == item; }));
        mouse_b = 0;
        EXPECT_TRUE(wait([&] { return pixels(screen, 0, 0, 89, 59, -1, page) == 0; })) << item;
        mouse_x = 706, mouse_y = 503, fade_pictures = -1;
        for (int i = 0; i < 500 && fade_pictures < 0; i++) { // a click while its frames run
            mouse_b = 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            mouse_b = 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(wait([] { return fade_pictures == 15; })) << item;
        mouse_x = 696, mouse_y = 264, mouse_b = 1;
        menu.join();
        EXPECT_EQ(N(Menu_Option, fade_pictures), N(MENU_QUIT, 15)); // ended at once, faded
    }
    EXPECT_TRUE(shows_text(buffer, title1, -1, 180, 100, makecol(255, 0, 0), VERSION_LINE));
}

TEST_F(Screens, GetReadyShowsTheFieldAndCountsToGoWithTheClockAtZero)
{
    initialise_sprites();
    Menu_Option = MENU_ONE_PLAYER;
    target_frames = 30000, actual_frames = 4321; // after a long game
    get_ready();
    EXPECT_EQ(N(target_frames, actual_frames), N(0, 0));
    // The field with the full count and "GET READY" left in buffer, "GO" last on the screen.
    EXPECT_TRUE(
        shows_text(buffer, background, DAT_FONT_SCORE, 300, 565, white(), "COUNTDOWN: 100"));
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_LARGE, 260, 100, white(), "GET READY"));
    clear_bitmap(buffer);
    EXPECT_TRUE(shows_text(screen, buffer, DAT_FONT_LARGE, 385, 150, white(), "GO", 0));
}

// The exit ball of help, credits and the table: the title ball turned about its centre, top-left
// at (620, 420), and the quit label; it knows the pointer.
TEST_F(Screens, ExitBallTurnsAtTheLowerRightAndKnowsThePointer)
{
    mouse_x = 791, mouse_y = 503; // on the rim
    EXPECT_TRUE(draw_exit_ball(100));
    rotate_sprite(screen, title_ball1, 620, 420, itofix(100)); // the screen as the picture wanted
    draw_sprite(screen, title_quit1, 665, 495);
    EXPECT_EQ(pixels(buffer, 0, 0, 799, 599, -1, screen), 0);
    mouse_x = 792;
    EXPECT_FALSE(draw_exit_ball(0));
}

// Opacity falls by the speed from 255 - speed while it stays above zero, a picture a step.
TEST_F(Screens, FadeShowsOneBlendedPictureAStepThenBlack)
{
    const int rows[][2] = {{16, 15}, {0, 31}, {128, 1}, {255, 0}};
    for (const auto &r : rows) {
        blit(title1, screen, 0, 0, 0, 0, 800, 600);
        highcolor_fade_out(r[0]);
        EXPECT_EQ(N(fade_pictures, pixels(screen, 0, 0, 799, 599, 0)), N(r[1], 800 * 600)) << r[0];
    }
    intro(); // six seconds of card (no waiting headless), then the same fade
    EXPECT_EQ(fade_pictures, 15);
    mouse_x = 791, mouse_y = 503, mouse_b = 2, fade_pictures = 0; // credits: any button on the ball
    credits();
    const char *thanks = "Thanks for playing Brumzel Ball.";
    int x = 400 - text_length(data_font(DAT_FONT_TEXT), thanks) / 2;
    EXPECT_TRUE(shows_text(buffer, title1, DAT_FONT_TEXT, x, 160, makecol(255, 255, 0), thanks, 0));
    EXPECT_EQ(fade_pictures, 15);
}
