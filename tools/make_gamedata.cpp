// make_gamedata -- draws, renders and synthesises every object of GAMEDATA.DAT into files
// that Allegro's dat tool packs, named so that entry N sorts to position N
//
// usage: make_gamedata WORK_DIR FONT_DIR ICON_DIR [PREVIEW_DIR]
//   WORK_DIR    receives images/, samples/, fonts/ and misc/ for the packer
//   FONT_DIR    holds the DejaVu faces
//   ICON_DIR    receives brumzel-ball-64.png, -128.png and -256.png
//   PREVIEW_DIR when given, receives a PNG of every picture and font sheet to look at
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "art.h"
#include "fonts.h"
#include "gamedata.h"
#include "sound.h"

static std::string work_dir, preview_dir;
static int failures = 0;

// File name stem of each entry: E<NN>_<what>, so sorting by name keeps the entry order.
static std::string stem(int entry, const char *what)
{
    char buf[64];
    snprintf(buf, sizeof buf, "E%02d_%s", entry, what);
    return buf;
}

static void check(bool ok, const std::string &what)
{
    if (!ok) {
        fprintf(stderr, "make_gamedata: cannot write %s\n", what.c_str());
        failures++;
    }
}

static void picture(int entry, const char *what, const canvas &c, bool masked)
{
    std::string path = work_dir + "/images/" + stem(entry, what) + ".bmp";
    check(save_bmp24(c, path, masked, sprite_under(), masked ? 0.45f : 0.5f), path);
    if (!preview_dir.empty()) save_png(c, preview_dir + "/" + stem(entry, what) + ".png", true);
}

static void sample(int entry, const char *what, const sound &s)
{
    std::string path = work_dir + "/samples/" + stem(entry, what) + ".wav";
    check(save_wav(s, path), path);
}

static void font_entry(int entry, const char *what, face_id face, int size)
{
    std::string path = work_dir + "/fonts/" + stem(entry, what) + ".bmp";
    int h = write_font_grid(face, size, path);
    check(h > 0, path);
    printf("font %d: %s %dpx, height %d, \"GET READY\" %d px wide\n", entry, what, size, h,
           mono_text_width(face, size, "GET READY"));
}

// Entries 5 and 20 are never used by the game; a short note keeps their places.
static void placeholder(int entry)
{
    std::string path = work_dir + "/misc/" + stem(entry, "SPARE") + ".txt";
    FILE *f = fopen(path.c_str(), "w");
    check(f && fprintf(f, "Brumzel Ball spare entry %d\n", entry) > 0 && fclose(f) == 0, path);
}

static void make_pictures()
{
    canvas bg = field_background();
    picture(DAT_BACKGROUND, "BACKGROUND", bg, false);
    picture(DAT_SPRITE1, "SPRITE1", ball(rgb(70, 255, 90)), true);
    picture(DAT_SPRITE2, "SPRITE2", ball(rgb(70, 150, 255)), true);
    int x, y;
    picture(DAT_BOTTOM_LEFT, "BOTTOM_LEFT", pad_highlight(0, bg, &x, &y), true);
    picture(DAT_TOP_LEFT, "TOP_LEFT", pad_highlight(1, bg, &x, &y), true);
    picture(DAT_TOP_RIGHT, "TOP_RIGHT", pad_highlight(2, bg, &x, &y), true);
    picture(DAT_BOTTOM_RIGHT, "BOTTOM_RIGHT", pad_highlight(3, bg, &x, &y), true);
    picture(DAT_ENTERNAME, "ENTERNAME", entername_panel(), false);
    picture(DAT_HELP, "HELP", help_page(), false);
    picture(DAT_HISCORE_TABLE, "HISCORE_TABLE", hiscore_backdrop(), false);
    picture(DAT_LAUNCHER_P1, "LAUNCHER_P1", launcher(rgb(70, 255, 90), false), true);
    picture(DAT_LAUNCHER_P2, "LAUNCHER_P2", launcher(rgb(70, 150, 255), true), true);
    picture(DAT_MOUSE_PTR, "MOUSE_PTR", mouse_pointer(), true);
    picture(DAT_TITLE, "TITLE", title_backdrop(), false);
    picture(DAT_TITLE_1PLAYER, "TITLE_1PLAYER",
            menu_label(106, 98, "1", "PLAYER", rgb(90, 255, 120)), true);
    picture(DAT_TITLE_2PLAYER, "TITLE_2PLAYER",
            menu_label(110, 98, "2", "PLAYERS", rgb(90, 170, 255)), true);
    picture(DAT_TITLE_BALL, "TITLE_BALL", title_ball(), true);
    picture(DAT_TITLE_HELP, "TITLE_HELP", menu_label(70, 30, "HELP", nullptr, rgb(255, 220, 80)),
            true);
    picture(DAT_TITLE_HISCORES, "TITLE_HISCORES",
            menu_label(96, 98, "HI", "SCORES", rgb(255, 190, 60)), true);
    picture(DAT_TITLE_QUIT, "TITLE_QUIT", menu_label(80, 28, "QUIT", nullptr, rgb(255, 100, 90)),
            true);
    picture(DAT_BRUMZEL, "BRUMZEL", logo(LOGO_SIZE), true);
}

static void make_samples()
{
    sample(DAT_PAD_SOUND, "PAD_SOUND", pad_sound());
    sample(DAT_KEY_CLICK, "KEY_CLICK", key_click_sound());
    sample(DAT_GAMEOVER_SOUND, "GAMEOVER_SOUND", gameover_sound());
    sample(DAT_COUNT5_SOUND, "COUNT5_SOUND", count_sound(5));
    sample(DAT_COUNT4_SOUND, "COUNT4_SOUND", count_sound(4));
    sample(DAT_CREDITS_SOUND, "CREDITS_SOUND", credits_sound());
    sample(DAT_GOAL_SOUND, "GOAL_SOUND", goal_sound());
    sample(DAT_LAUNCH_SOUND_P1, "LAUNCH_SOUND_P1", launch_p1_sound());
    sample(DAT_LAUNCH_SOUND_P2, "LAUNCH_SOUND_P2", launch_p2_sound());
    sample(DAT_COUNT1_SOUND, "COUNT1_SOUND", count_sound(1));
    sample(DAT_WARNING_SOUND, "WARNING_SOUND", warning_sound());
    sample(DAT_INTRO_SOUND, "INTRO_SOUND", intro_sound());
    sample(DAT_COUNT3_SOUND, "COUNT3_SOUND", count_sound(3));
    sample(DAT_TITLE_MUSIC, "TITLE_MUSIC", title_music());
    sample(DAT_ENTERNAME_SOUND, "ENTERNAME_SOUND", entername_sound());
    sample(DAT_NEW_HIGH_SOUND, "NEW_HIGH_SOUND", new_high_sound());
    sample(DAT_CLASH_SOUND, "CLASH_SOUND", clash_sound());
    sample(DAT_COUNT2_SOUND, "COUNT2_SOUND", count_sound(2));
    sample(DAT_END_OF_TIME_SOUND, "END_OF_TIME_SOUND", end_of_time_sound());
}

static void make_fonts()
{
    font_entry(DAT_FONT_TEXT, "FONT_TEXT", FACE_SANS_BOLD, 15);
    font_entry(DAT_FONT_SCORE, "FONT_SCORE", FACE_SANS_BOLD, 23);
    font_entry(DAT_FONT_NAME, "FONT_NAME", FACE_MONO_BOLD, 26);
    font_entry(DAT_FONT_LARGE, "FONT_LARGE", FACE_SANS_BOLD, 46);
}

static void make_icons(const std::string &dir)
{
    for (int size : {64, 128, 256}) {
        std::string path = dir + "/brumzel-ball-" + std::to_string(size) + ".png";
        check(save_png(logo(size), path, true), path);
    }
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: %s WORK_DIR FONT_DIR ICON_DIR [PREVIEW_DIR]\n", argv[0]);
        return 2;
    }
    work_dir = argv[1];
    if (argc > 4) preview_dir = argv[4];
    for (const char *sub : {"", "/images", "/samples", "/fonts", "/misc"})
        mkdir((work_dir + sub).c_str(), 0755);
    mkdir(argv[3], 0755);
    if (!preview_dir.empty()) mkdir(preview_dir.c_str(), 0755);
    if (!start_fonts(argv[2])) return 1;
    make_pictures();
    make_samples();
    make_fonts();
    placeholder(DAT_UNUSED_5);
    placeholder(DAT_UNUSED_20);
    make_icons(argv[3]);
    return failures ? 1 : 0;
}
