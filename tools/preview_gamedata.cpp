// preview_gamedata -- composes the game's screens from GAMEDATA.DAT the way the game draws
// them (16-bit colour, the same positions and colours) and saves each as a picture, so the
// art can be judged in place without running the game
//
// usage: preview_gamedata GAMEDATA.DAT OUT_DIR
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <allegro.h>

#include "gamedata.h"
#include "init.h"

static DATAFILE *dat;
static BITMAP *screen_bmp;
static std::string out_dir;

static BITMAP *B(int e)
{
    return static_cast<BITMAP *>(dat[e].dat);
}

static FONT *F(int e)
{
    return static_cast<FONT *>(dat[e].dat);
}

static void save(const char *name)
{
    std::string path = out_dir + "/" + name + ".bmp";
    PALETTE pal;
    get_palette(pal);
    save_bitmap(path.c_str(), screen_bmp, pal);
    printf("%s\n", path.c_str());
}

static void play_screen(bool get_ready, bool flashes)
{
    BITMAP *b = screen_bmp;
    blit(B(DAT_BACKGROUND), b, 0, 0, 0, 0, 800, 600);
    pivot_sprite(b, B(DAT_LAUNCHER_P1), 35, 295, 60, 10, itofix(get_ready ? 0 : -25));
    pivot_sprite(b, B(DAT_LAUNCHER_P2), 775, 295, 10, 10, itofix(get_ready ? 0 : 18));
    int white = makecol(255, 255, 255);
    textprintf_ex(b, F(DAT_FONT_SCORE), 10, 1, white, -1, "1UP");
    textprintf_ex(b, F(DAT_FONT_SCORE), 10, 30, white, -1, "%05i", 1234);
    textprintf_ex(b, F(DAT_FONT_SCORE), 690, 1, white, -1, "2 up");
    textprintf_ex(b, F(DAT_FONT_SCORE), 690, 30, white, -1, "%05i", 875);
    textprintf_ex(b, F(DAT_FONT_SCORE), 280, 5, white, -1, "HI SCORE %05i", 12500);
    int p1 = get_ready ? 400 : 287, p2 = get_ready ? 400 : 350;
    rectfill(b, 10, 70, 10 + p1 / 4, 80, makecol(64, 64, 64));
    rectfill(b, 685, 70, 685 + p2 / 4, 80, makecol(32, 32, 32));
    for (int n = 20; n <= p1 / 4 + 10; n += 10)
        draw_sprite(b, B(DAT_SPRITE1), n - 10, 70);
    for (int n = 20; n <= p2 / 4 + 10; n += 10)
        draw_sprite(b, B(DAT_SPRITE2), n + 665, 70);
    textprintf_ex(b, F(DAT_FONT_SCORE), 300, 565, white, -1, "COUNTDOWN: %02i",
                  get_ready ? 100 : 42);
    // Bumpers in their starting triangle, turned a little.
    static const int bx[6] = {400, 370, 430, 340, 400, 460};
    static const int by[6] = {250, 302, 302, 354, 354, 354};
    for (int i = 0; i < 6; i++)
        rotate_sprite(b, B(DAT_BRUMZEL), bx[i] - 29, by[i] - 29,
                      itofix(i * 37 + (get_ready ? 0 : 11)));
    if (!get_ready) {
        for (int i = 0; i < 8; i++) {
            draw_sprite(b, B(DAT_SPRITE1), 60 + i * 30, 280 + (int)(std::sin(i) * 20));
            draw_sprite(b, B(DAT_SPRITE2), 720 - i * 34, 300 + (int)(std::cos(i) * 30));
        }
        textprintf_ex(b, F(DAT_FONT_TEXT), 250, 200, white, -1, "%i ", 250);
        textprintf_ex(b, F(DAT_FONT_TEXT), 520, 150, white, -1, "%i ", 100);
        draw_sprite(b, B(DAT_MOUSE_PTR), 120, 420);
    }
    if (flashes) {
        draw_sprite(b, B(DAT_BOTTOM_LEFT), 28, 451);
        draw_sprite(b, B(DAT_TOP_LEFT), 31, 17);
        draw_sprite(b, B(DAT_TOP_RIGHT), 651, 15);
        draw_sprite(b, B(DAT_BOTTOM_RIGHT), 647, 450);
    }
    if (get_ready) {
        textprintf_ex(b, F(DAT_FONT_LARGE), 260, 100, white, -1, "GET READY");
        textprintf_ex(b, F(DAT_FONT_LARGE), 390, 150, white, 0, "3");
    }
}

static void title_screen()
{
    BITMAP *b = screen_bmp;
    blit(B(DAT_TITLE), b, 0, 0, 0, 0, 800, 600);
    static const int cx[5] = {110, 283, 386, 599, 696}, cy[5] = {310, 511, 206, 503, 264};
    for (int i = 0; i < 5; i++)
        rotate_sprite(b, B(DAT_TITLE_BALL), cx[i] - 85, cy[i] - 85, itofix(i * 40));
    draw_sprite(b, B(DAT_TITLE_1PLAYER), 57, 261);
    draw_sprite(b, B(DAT_TITLE_2PLAYER), 228, 462);
    draw_sprite(b, B(DAT_TITLE_HELP), 564, 488);
    draw_sprite(b, B(DAT_TITLE_HISCORES), 338, 157);
    draw_sprite(b, B(DAT_TITLE_QUIT), 656, 250);
    draw_sprite(b, B(DAT_MOUSE_PTR), 300, 380);
    textprintf_ex(b, font, 180, 100, makecol(255, 0, 0), -1,
                  "Brumzel Ball V0.6 - July 2007 - brumzel-ball");
}

static void exit_ball(int angle)
{
    rotate_sprite(screen_bmp, B(DAT_TITLE_BALL), 620, 420, itofix(angle));
    draw_sprite(screen_bmp, B(DAT_TITLE_QUIT), 665, 495);
}

static void credits_screen()
{
    BITMAP *b = screen_bmp;
    blit(B(DAT_TITLE), b, 0, 0, 0, 0, 800, 600);
    exit_ball(30);
    struct line {
        int y, f, r, g, bl;
        const char *t;
    };
    static const line lines[] = {
        {100, 27, 255, 64, 64, "Credits:"},
        {160, 24, 255, 255, 0, "Thanks for playing Brumzel Ball."},
        {180, 24, 255, 255, 0, "This game has been created using the following:"},
        {210, 24, 0, 255, 255, "GNU Compiler Collection and CMake"},
        {230, 24, 0, 255, 255, "gcc.gnu.org - cmake.org"},
        {270, 24, 128, 128, 0, "Allegro Game Programming Library"},
        {290, 24, 128, 128, 0, "liballeg.org"},
        {330, 24, 64, 128, 255, "GNU C++ Library (libstdc++) headers"},
        {350, 24, 64, 128, 255, "gcc.gnu.org/onlinedocs/libstdc++"},
        {380, 24, 255, 128, 64, "Brumzel Ball is free software under the MIT licence"},
    };
    for (const line &l : lines)
        textprintf_centre_ex(b, F(l.f), 400, l.y, makecol(l.r, l.g, l.bl), -1, "%s", l.t);
    textprintf_ex(b, F(25), 10, 550, makecol(255, 255, 255), -1,
                  "Brumzel Ball 2007 - brumzel-ball");
    draw_sprite(b, B(DAT_MOUSE_PTR), 500, 450);
}

static void intro_screen()
{
    BITMAP *b = screen_bmp;
    blit(B(DAT_TITLE), b, 0, 0, 0, 0, 800, 600);
    textprintf_centre_ex(b, F(25), 400, 140, makecol(255, 64, 64), -1,
                         "Brumzel Ball 2007 - brumzel-ball");
    textprintf_centre_ex(b, F(24), 400, 180, makecol(255, 255, 0), -1,
                         "By the Brumzel Ball developers.");
    textprintf_centre_ex(b, F(24), 400, 220, makecol(255, 255, 0), -1,
                         "Created using the ALLEGRO game programming library");
}

static void hiscore_screen(bool panel)
{
    BITMAP *b = screen_bmp;
    BITMAP *stretch = create_bitmap(600, 350);
    blit(B(DAT_HISCORE_TABLE), b, 0, 0, 0, 0, 800, 600);
    int white = makecol(255, 255, 255), yellow = makecol(255, 255, 0);
    textprintf_ex(b, F(25), 200, 110, white, -1, "PSN");
    textprintf_ex(b, F(25), 280, 110, white, -1, "NAME");
    textprintf_ex(b, F(25), 460, 110, white, -1, "SCORE");
    static const char *names[10] = {"ZOE", "MAXIMUS", "BRUMZEL", "ANNA", "Q",
                                    "LEO", "KIM",     "PAT",     "JO",   "AL"};
    for (int a = 0; a < 10; a++) {
        textprintf_ex(b, F(25), 200, 160 + 30 * a, yellow, -1, "%02i", a + 1);
        textprintf_ex(b, F(25), 280, 160 + 30 * a, yellow, -1, "%s", names[a]);
        textprintf_ex(b, F(25), 460, 160 + 30 * a, yellow, -1, "%05i", 20000 - a * 1900);
    }
    blit(b, stretch, 100, 100, 0, 0, 600, 350);
    int mask = bitmap_mask_color(stretch);
    for (int y = 0; y < 350; y++)
        for (int x = 0; x < 600; x++)
            if (getpixel(stretch, x, y) == 0) putpixel(stretch, x, y, mask);
    for (int y = 100; y <= 454; y++)
        for (int x = 100; x <= 699; x++) {
            int c = getpixel(b, x, y);
            if (c == 0) continue;
            int r = getr(c), g = getg(c), bl = getb(c);
            if (r > 100 && g > 100) putpixel(b, x, y, makecol(r - 100, g - 100, bl));
        }
    draw_sprite(b, stretch, 102, 102);
    destroy_bitmap(stretch);
    if (!panel) {
        exit_ball(64);
        draw_sprite(b, B(DAT_MOUSE_PTR), 700, 480);
        return;
    }
    exit_ball(64);
    blit(B(DAT_ENTERNAME), b, 5, 5, 5, 460, 600, 125);
    textprintf_ex(b, F(24), 20, 475, makecol(128, 32, 0), -1, "Player 1-A new hi-score");
    textprintf_ex(b, F(26), 100, 505, makecol(64, 0, 64), -1, "%05i", 23450);
    textprintf_ex(b, F(24), 15, 545, yellow, -1, "Please use the keyboard");
    textprintf_ex(b, F(24), 20, 560, yellow, -1, "to enter your name");
    BITMAP *tb = create_bitmap(200, 50);
    clear_bitmap(tb);
    rect(tb, 0, 0, 199, 49, white);
    textprintf_ex(tb, F(26), 10, 10, white, -1, "%s", "BRUMZEL");
    blit(tb, b, 0, 0, 370, 500, 200, 50);
    destroy_bitmap(tb);
}

static void help_screen()
{
    blit(B(DAT_HELP), screen_bmp, 0, 0, 0, 0, 800, 600);
    exit_ball(100);
    draw_sprite(screen_bmp, B(DAT_MOUSE_PTR), 690, 520);
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s GAMEDATA.DAT OUT_DIR\n", argv[0]);
        return 2;
    }
    out_dir = argv[2];
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    set_color_conversion(COLORCONV_TOTAL);
    screen_bmp = create_bitmap(800, 600);
    dat = load_datafile(argv[1]);
    if (!dat) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    play_screen(true, false);
    save("get_ready");
    play_screen(false, true);
    save("play");
    title_screen();
    save("title");
    credits_screen();
    save("credits");
    intro_screen();
    save("intro");
    help_screen();
    save("help");
    hiscore_screen(false);
    save("hiscore");
    hiscore_screen(true);
    save("entername");
    return 0;
}
END_OF_MAIN()
