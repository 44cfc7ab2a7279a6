// test_screens -- what each screen shows and how it is left: the field and its score bar, the
// title menu, the count before play, help, credits, the intro and the fade
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
#include "moving_points.h"
#include "particles.h"
#include "rebound_effect.h"
#include "title_screen.h"

static int white;
class Screens : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        white = makecol(255, 255, 255);
    }
};

static void draw_bar()
{
    blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    create_play_area();
}

// ---- the field ----

TEST_F(Screens, ScoreBarShowsLabelsScoresTheBestAndTheCount)
{
    const struct {
        int menu, p1, p2, best, ticks;
        const char *label, *s1, *s2, *hi, *count;
    } rows[] = {
        {MENU_TWO_PLAYER, 0, 0, 90, 0, "2 up", "00000", "00000", "HI SCORE 00090",
         "COUNTDOWN: 100"},
        {MENU_ONE_PLAYER, 250, 123456, 123456, 18400, "CPU", "00250", "123456", "HI SCORE 123456",
         "COUNTDOWN: 08"},
        {MENU_TWO_PLAYER, 7, 8, 9, 20199, "2 up", "00007", "00008", "HI SCORE 00009",
         "COUNTDOWN: 00"},
        {MENU_TWO_PLAYER, 7, 8, 9, 20200, "2 up", "00007", "00008", "HI SCORE 00009",
         "COUNTDOWN: ---"},
    };
    for (const auto &r : rows) {
        Menu_Option = r.menu, p1_score = r.p1, p2_score = r.p2, hi = r.best;
        target_frames = r.ticks;
        draw_bar();
        const std::pair<int, const char *> texts[] = {
            {10 * 1000 + 1, "1UP"},  {10 * 1000 + 30, r.s1}, {690 * 1000 + 1, r.label},
            {690 * 1000 + 30, r.s2}, {280 * 1000 + 5, r.hi}, {300 * 1000 + 565, r.count}};
        for (auto [at, text] : texts)
            EXPECT_TRUE(
                shows_text(buffer, background, DAT_FONT_SCORE, at / 1000, at % 1000, white, text))
                << text;
    }
}

// A bar of a quarter of the balls left, grey 64 on the left and 32 on the right, from x 10 and
// 685 over rows 70-80, with a ball icon over it for every 40 balls.
TEST_F(Screens, BallsLeftBarsAreAQuarterOfTheBallsWithAnIconPerForty)
{
    const int rows[][3] = {{0, 0, 0}, {39, 9, 0}, {40, 10, 1}, {399, 99, 9}, {400, 100, 10}};
    BITMAP *want = create_bitmap(800, 600);
    for (const auto &r : rows) {
        p1_balls = p2_balls = r[0];
        draw_bar();
        blit(background, want, 0, 0, 0, 0, 800, 600);
        for (int x0 : {10, 685}) {
            int grey = x0 == 10 ? 64 : 32;
            rectfill(want, x0, 70, x0 + r[1], 80, makecol(grey, grey, grey));
            for (int n = 0; n < r[2]; n++)
                draw_sprite(want, x0 == 10 ? sprite1 : sprite2, x0 + 10 * n, 70);
        }
        EXPECT_EQ(pixels(buffer, 0, 65, 799, 85, -1, want), 0) << r[0];
    }
    destroy_bitmap(want);
}

// Each launcher turns about its pivot, (60, 10) of player 1's picture at (35, 295) and (10, 10)
// of player 2's at (775, 295), by atan(aim / 100) times 110 units (256 to a turn) for player 1
// and times -800 for player 2: level, down, up, and an aim just past a whole unit (-20.05).
TEST_F(Screens, LaunchersTurnAboutTheirPivotsWithTheAim)
{
    const struct {
        float p1, p2;
        int a1, a2;
    } rows[] = {{0, 0, 0, 0}, {40, -5, 41, 39}, {-40, 2.507f, -41, -20}};
    BITMAP *want = create_bitmap(800, 600);
    for (const auto &r : rows) {
        p1_dy = r.p1, p2_dy = r.p2;
        draw_bar();
        blit(background, want, 0, 0, 0, 0, 800, 600);
        pivot_sprite(want, launcher_p1, 35, 295, 60, 10, ftofix(r.a1)); // itofix shifts negatives
        pivot_sprite(want, launcher_p2, 775, 295, 10, 10, ftofix(r.a2));
        EXPECT_EQ(pixels(buffer, 0, 200, 799, 400, -1, want), 0) << r.p1 << " " << r.p2;
    }
    destroy_bitmap(want);
}

TEST_F(Screens, SpritesAreDrawnBallsByTheirCornerBumpersCentredAndTurned)
{
    initialise_sprites();
    display_sprites();
    EXPECT_TRUE(shows_sprite(buffer, brumzel1, 311, 211)); // 71, unturned: (x - w/2 + 1, ...)
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++) { // each within its own square
        int cx = int(sprite[n].x), cy = int(sprite[n].y);
        EXPECT_GT(pixels(buffer, cx - 20, cy - 20, cx + 20, cy + 20, -1, screen), 200) << n;
        rectfill(buffer, cx - 60, cy - 60, cx + 60, cy + 60, 0);
    }
    EXPECT_EQ(pixels(buffer, 0, 0, 799, 599, -1, screen), 0); // and nothing else
    // Balls by their truncated top-left corner, in slots 0-110 only.
    memset(sprite, 0, sizeof sprite);
    place(0, KIND_P1_BALL, 200.9, 100.9, 0, 0);
    place(OVERFLOW_BALL_SLOT, KIND_P2_BALL, 500, 400, 0, 0);
    place(LAST_DRAWN_SLOT, KIND_P1_BALL, 300, 300, 0, 0);
    place(LAST_DRAWN_SLOT + 1, KIND_P2_BALL, 600, 100, 0, 0);
    place(199, KIND_BUMPER, 100, 500, 0, 0);
    clear_bitmap(buffer);
    display_sprites();
    EXPECT_TRUE(shows_sprite(buffer, sprite1, 200, 100) &&
                shows_sprite(buffer, sprite2, 500, 400) && shows_sprite(buffer, sprite1, 300, 300));
    EXPECT_EQ(pixels(buffer, 0, 0, 799, 599, -1, screen),
              pixels(buffer, 200, 100, 209, 109, -1, screen) +
                  pixels(buffer, 500, 400, 509, 409, -1, screen) +
                  pixels(buffer, 300, 300, 309, 309, -1, screen));
    // A bumper's angle counts modulo a full turn, backwards too; a different angle differs.
    BITMAP *once = create_bitmap(800, 600);
    for (int angle : {44, 44 + 256 * 500, 44 + 64, -212}) {
        memset(sprite, 0, sizeof sprite);
        place(71, KIND_BUMPER, 340, 240, 0, 0);
        sprite[71].angle = angle;
        clear_bitmap(buffer);
        display_sprites();
        if (angle == 44) blit(buffer, once, 0, 0, 0, 0, 800, 600);
        EXPECT_EQ(pixels(buffer, 250, 150, 429, 329, -1, once) == 0, (angle + 256) % 256 == 44);
    }
    destroy_bitmap(once);
}

// One frame of play: the field, the score bar, sprites, particles, numbers and flashes, in
// buffer and on the screen.
TEST_F(Screens, PlayFrameShowsEveryLayer)
{
    hi = 4321;
    place(0, KIND_P2_BALL, 200, 400, 0, 0);
    create_particle(600, 500, 0, PARTICLE_DOT, 255, 0, 255, 5);
    create_new_moving_points(500, 150, 250, 1);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    draw_play_frame();
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_SCORE, 280, 5, white, "HI SCORE 04321"));
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_TEXT, 500, 150, white, "250 "));
    EXPECT_TRUE(shows_sprite(buffer, sprite2, 200, 400) && shows_sprite(buffer, top_left1, 31, 17));
    EXPECT_EQ(N(getpixel(buffer, 600, 500), pixels(buffer, 400, 400, 460, 460, -1, background),
                pixels(screen, 0, 0, 799, 599, -1, buffer)),
              N(makecol(255, 0, 255), 0, 0));
}

// ---- the title menu ----

TEST_F(Screens, PointerSelectsTheBallItIsOnRimIncluded)
{
    const int rows[][3] = {
        {110, 310, MENU_ONE_PLAYER}, {283, 511, MENU_TWO_PLAYER}, {386, 206, MENU_HISCORES},
        {599, 503, MENU_HELP},       {696, 264, MENU_QUIT},       {195, 310, MENU_ONE_PLAYER},
        {196, 310, MENU_NONE},       {696, 179, MENU_QUIT},       {696, 178, MENU_NONE},
        {343, 571, MENU_TWO_PLAYER}, // 60^2 + 60^2 = 7200 is inside 85^2 = 7225
        {344, 571, MENU_NONE},       // 61^2 + 60^2 = 7321 is not
        {0, 0, MENU_NONE},           {799, 599, MENU_NONE},       {450, 380, MENU_NONE}};
    for (const auto &r : rows)
        EXPECT_EQ(menu_item_at(r[0], r[1]), r[2]) << r[0] << "," << r[1];
    const int exit_ball[][3] = {{791, 503, 1}, {706, 418, 1}, {757, 571, 1}, // 51^2 + 68^2 = 85^2
                                {792, 503, 0}, {706, 589, 0}, {767, 564, 0}};
    for (const auto &b : exit_ball)
        EXPECT_EQ(on_click_circle(b[0], b[1], EXIT_BALL_X, EXIT_BALL_Y), bool(b[2])) << b[0];
    const int clicks[][3] = {{MENU_ONE_PLAYER, 1, 1}, {MENU_TWO_PLAYER, 1, 1},
                             {MENU_QUIT, 1, 1},       {MENU_HISCORES, 1, 0},
                             {MENU_HELP, 1, 0},       {MENU_NONE, 1, 0},
                             {MENU_ONE_PLAYER, 0, 0}, {MENU_ONE_PLAYER, 2, 0},
                             {MENU_QUIT, 3, 0}}; // both buttons together are no click
    for (const auto &c : clicks)
        EXPECT_EQ(menu_choice_made(c[0], c[1]), bool(c[2])) << c[0] << " " << c[1];
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
                {{0, 0, 0, 0, 0}, MENU_HELP, {1, 1, 1, 11, 1}},
                {{0, 0, 0, 0, 250}, MENU_QUIT, {1, 1, 1, 1, 2}}, // 258 wraps at its turn, +2
                {{250, 0, 0, 0, 0}, MENU_ONE_PLAYER, {261, 1, 1, 1, 1}},
                {{261, 0, 0, 0, 0}, MENU_ONE_PLAYER, {10, 1, 1, 1, 1}}};
    for (const auto &r : rows) {
        double angle[MENU_ITEMS];
        std::copy(r.before, r.before + MENU_ITEMS, angle);
        step_menu_angles(angle, r.hovered);
        EXPECT_EQ(nums(angle, angle + MENU_ITEMS), nums(r.after, r.after + MENU_ITEMS));
    }
}

// A left click on a play or quit ball ends the menu at once, with a fade; its last picture
// shows the title, the balls and their labels, the version line and the pointer.
TEST_F(Screens, LeftClickOnAPlayOrQuitBallEndsTheMenuAtOnce)
{
    const int rows[][3] = {
        {110, 310, MENU_ONE_PLAYER}, {283, 511, MENU_TWO_PLAYER}, {700, 250, MENU_QUIT}};
    for (const auto &r : rows) {
        mouse_x = r[0], mouse_y = r[1], mouse_b = 1;
        title_screen();
        EXPECT_EQ(N(Menu_Option, fade_pictures), N(r[2], 15));
    }
    EXPECT_TRUE(shows_text(buffer, title1, -1, 180, 100, makecol(255, 0, 0), VERSION_LINE));
    EXPECT_TRUE(shows_sprite(buffer, mouse_ptr1, 700, 250));
    const int labels[][3] = {{31, 57, 261}, {32, 228, 462}, {34, 564, 488}, {35, 338, 157}};
    for (const auto &l : labels)
        EXPECT_TRUE(shows_sprite(buffer, static_cast<BITMAP *>(data[l[0]].dat), l[1], l[2]));
    BITMAP *want = create_bitmap(800, 600);
    blit(title1, want, 0, 0, 0, 0, 800, 600);
    rotate_sprite(want, title_ball1, 110 - 85, 310 - 85, 0);
    draw_sprite(want, title_1player1, 57, 261);
    EXPECT_EQ(pixels(buffer, 20, 220, 200, 400, -1, want), 0);
    destroy_bitmap(want);
}

// A left click on the help or the table ball opens that screen once the button is let go;
// leaving it by its ball goes back to the menu, which then ends on the quit ball.
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
        EXPECT_EQ(Menu_Option, MENU_QUIT);
    }
}

// ---- the count before play ----

TEST_F(Screens, GetReadyShowsTheFieldAndCountsToGoWithTheClockAtZero)
{
    initialise_sprites();
    Menu_Option = MENU_ONE_PLAYER;
    target_frames = 30000, actual_frames = 4321; // after a long game
    get_ready();
    EXPECT_EQ(N(target_frames, actual_frames), N(0, 0));
    // The field with the full count, the bumpers and "GET READY", left in buffer ...
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_SCORE, 300, 565, white, "COUNTDOWN: 100"));
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_SCORE, 690, 1, white, "CPU"));
    EXPECT_TRUE(shows_text(buffer, background, DAT_FONT_LARGE, 260, 100, white, "GET READY"));
    EXPECT_TRUE(shows_sprite(buffer, brumzel1, 311, 211));
    // ... while the counts went straight to the screen, each on a black box, "GO" last.
    BITMAP *black = create_bitmap(800, 600);
    clear_to_color(black, 0);
    EXPECT_TRUE(shows_text(screen, black, DAT_FONT_LARGE, 385, 150, white, "GO", 0));
    EXPECT_EQ(N(pixels(buffer, 385, 150, 430, 190, -1, background),
                pixels(screen, 0, 0, 799, 140, -1, buffer)),
              N(0, 0));
    destroy_bitmap(black);
}

// ---- help, credits, intro and the fade ----

// The exit ball of help, credits and the table: the title ball turned by its angle about its
// centre, top-left at (620, 420), and the quit label at (665, 495); it knows the pointer.
TEST_F(Screens, ExitBallTurnsAtTheLowerRightAndKnowsThePointer)
{
    BITMAP *want = create_bitmap(800, 600);
    for (int angle : {0, 100}) {
        clear_bitmap(buffer);
        clear_bitmap(want);
        mouse_x = 791, mouse_y = 503; // on the rim
        EXPECT_TRUE(draw_exit_ball(angle));
        rotate_sprite(want, title_ball1, 620, 420, itofix(angle));
        draw_sprite(want, title_quit1, 665, 495);
        EXPECT_EQ(pixels(buffer, 0, 0, 799, 599, -1, want), 0) << angle;
    }
    mouse_x = 792;
    EXPECT_FALSE(draw_exit_ball(0));
    destroy_bitmap(want);
}

// Help ends on a left click over its ball once the button is up again; the credits on any
// button. Both fade to black and leave their last frame in buffer.
TEST_F(Screens, HelpAndCreditsAreLeftByTheirBall)
{
    mouse_x = 706, mouse_y = 503, mouse_b = 1;
    std::thread release([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        mouse_b = 0;
    });
    help_display();
    int button_on_return = mouse_b;
    release.join();
    EXPECT_EQ(N(button_on_return, fade_pictures, pixels(screen, 0, 0, 799, 599, 0),
                pixels(buffer, 0, 0, 600, 400, -1, help1)),
              N(0, 15, 800 * 600, 0));
    EXPECT_TRUE(shows_sprite(buffer, mouse_ptr1, 706, 503));
    mouse_x = 791, mouse_b = 2, fade_pictures = 0; // the right button alone, on the rim
    credits();
    EXPECT_EQ(N(fade_pictures, pixels(screen, 0, 0, 799, 599, 0)), N(15, 800 * 600));
    const struct {
        int font, y, r, g, b;
        const char *text;
    } lines[] = {
        {DAT_FONT_LARGE, 100, 255, 64, 64, "Credits:"},
        {DAT_FONT_TEXT, 160, 255, 255, 0, "Thanks for playing Brumzel Ball."},
        {DAT_FONT_TEXT, 270, 128, 128, 0, "Allegro Game Programming Library"},
        {DAT_FONT_TEXT, 380, 255, 128, 64, "Brumzel Ball is free software under the MIT licence"}};
    for (const auto &l : lines) {
        int x = 400 - text_length(data_font(l.font), l.text) / 2;
        EXPECT_TRUE(shows_text(buffer, title1, l.font, x, l.y, makecol(l.r, l.g, l.b), l.text, 0))
            << l.text;
    }
    EXPECT_TRUE(shows_text(buffer, title1, DAT_FONT_SCORE, 10, 550, white, MAKER_LINE, 0));
    mouse_b = 0;
}

// Opacity falls by the speed from 255 - speed while it stays above zero, a picture a step.
TEST_F(Screens, FadeShowsOneBlendedPictureAStepThenBlack)
{
    const int rows[][2] = {{16, 15}, {8, 31}, {0, 31}, {-3, 31}, {128, 1}, {255, 0}, {300, 0}};
    for (const auto &r : rows) {
        blit(title1, screen, 0, 0, 0, 0, 800, 600);
        highcolor_fade_out(r[0]);
        EXPECT_EQ(N(fade_pictures, pixels(screen, 0, 0, 799, 599, 0)), N(r[1], 800 * 600)) << r[0];
    }
    intro(); // six seconds of card (no waiting headless), then the same fade
    EXPECT_EQ(fade_pictures, 15);
}
