// Tests of the generated GAMEDATA.DAT: every entry of the kind and size the game reads it as,
// pictures that fit the places the game draws them, fonts that fit their boxes and take the
// game's colours, audible samples, and the loader's check rejecting a broken file.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gamedata.h"
#include "headless.h"
#include "init.h"

namespace {

const int BITMAP_ENTRIES[] = {0,  1,  2,  3,  4,  8,  14, 15, 18, 19, 21,
                              30, 31, 32, 33, 34, 35, 36, 38, 39, 42};
const int SAMPLE_ENTRIES[] = {6,  7,  9,  10, 11, 12, 13, 16, 17, 22,
                              23, 28, 29, 37, 40, 41, 43, 44, 45};
const int FONT_ENTRIES[] = {24, 25, 26, 27};

BITMAP *bmp(int entry)
{
    return static_cast<BITMAP *>(data[entry].dat);
}

SAMPLE *smp(int entry)
{
    return static_cast<SAMPLE *>(data[entry].dat);
}

FONT *fnt(int entry)
{
    return static_cast<FONT *>(data[entry].dat);
}

bool opaque(BITMAP *b, int x, int y)
{
    return getpixel(b, x, y) != bitmap_mask_color(b);
}

int luminance(int c)
{
    return (getr(c) * 30 + getg(c) * 59 + getb(c) * 11) / 100;
}

// Mean and maximum luminance of a rectangle of a bitmap (corners inclusive).
struct light {
    double mean;
    int max;
};
light measure(BITMAP *b, int x0, int y0, int x1, int y1)
{
    long sum = 0;
    int mx = 0, n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            int l = luminance(getpixel(b, x, y));
            sum += l;
            mx = std::max(mx, l);
            n++;
        }
    return {double(sum) / n, mx};
}

// Bounding box of the pixels a text leaves on a black bitmap, and whether every lit pixel
// has exactly the colour asked for.
struct ink {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool one_colour = true;
};
ink print_and_measure(FONT *f, const char *text, int r, int g, int b)
{
    BITMAP *canvas = create_bitmap(800, 200);
    clear_to_color(canvas, 0);
    int col = makecol(r, g, b);
    textout_ex(canvas, f, text, 10, 10, col, -1);
    ink k;
    for (int y = 0; y < canvas->h; y++)
        for (int x = 0; x < canvas->w; x++) {
            int c = getpixel(canvas, x, y);
            if (c == 0) continue;
            if (c != col) k.one_colour = false;
            k.x0 = std::min(k.x0, x);
            k.y0 = std::min(k.y0, y);
            k.x1 = std::max(k.x1, x);
            k.y1 = std::max(k.y1, y);
        }
    destroy_bitmap(canvas);
    return k;
}

// A copy of the loaded file's entry table (objects shared), for breaking one entry.
std::vector<DATAFILE> copy_of_data()
{
    std::vector<DATAFILE> copy(DAT_ENTRIES + 1);
    for (int n = 0; n <= DAT_ENTRIES; n++)
        copy[n] = data[n];
    return copy;
}

} // namespace

class GameData : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
};

// ---- kinds and sizes ----

TEST_F(GameData, EveryEntryHasTheKindTheGameReadsItAs)
{
    for (int e : BITMAP_ENTRIES)
        EXPECT_EQ(data[e].type, DAT_BITMAP) << "entry " << e;
    for (int e : SAMPLE_ENTRIES)
        EXPECT_EQ(data[e].type, DAT_SAMPLE) << "entry " << e;
    for (int e : FONT_ENTRIES)
        EXPECT_EQ(data[e].type, DAT_FONT) << "entry " << e;
    EXPECT_NE(data[DAT_UNUSED_5].dat, nullptr);
    EXPECT_NE(data[DAT_UNUSED_20].dat, nullptr);
    EXPECT_EQ(data[DAT_ENTRIES].type, DAT_END);
    for (int e = 0; e < DAT_ENTRIES; e++)
        if (gamedata_kind[e] == DAT_KIND_BITMAP) {
            EXPECT_EQ(data[e].type, DAT_BITMAP) << e;
        }
}

TEST_F(GameData, FixedSizesAreKept)
{
    for (int e : {DAT_BACKGROUND, DAT_HELP, DAT_HISCORE_TABLE, DAT_TITLE}) {
        EXPECT_EQ(bmp(e)->w, 800) << "entry " << e;
        EXPECT_EQ(bmp(e)->h, 600) << "entry " << e;
    }
    EXPECT_EQ(bmp(DAT_TITLE_BALL)->w, 170);
    EXPECT_EQ(bmp(DAT_TITLE_BALL)->h, 170);
    EXPECT_GE(bmp(DAT_ENTERNAME)->w, 605);
    EXPECT_GE(bmp(DAT_ENTERNAME)->h, 130);
    EXPECT_GE(bmp(DAT_BRUMZEL)->w, 60);
    EXPECT_GE(bmp(DAT_BRUMZEL)->h, 60);
    for (int e : {DAT_SPRITE1, DAT_SPRITE2}) {
        EXPECT_EQ(bmp(e)->w, 10) << "entry " << e;
        EXPECT_EQ(bmp(e)->h, 10) << "entry " << e;
    }
}

// ---- the loader's check ----

TEST_F(GameData, LoaderCheckAcceptsTheGeneratedFile)
{
    char why[256] = "";
    EXPECT_TRUE(check_gamedata(data, why, sizeof why)) << why;
}

TEST_F(GameData, LoaderCheckRejectsAnEntryOfTheWrongKind)
{
    struct swap {
        int entry, from;
    };
    // A sample where a bitmap belongs, a bitmap where a font belongs, a font for a sample.
    for (swap s : {swap{DAT_BACKGROUND, DAT_PAD_SOUND}, swap{DAT_FONT_LARGE, DAT_TITLE_BALL},
                   swap{DAT_TITLE_MUSIC, DAT_FONT_TEXT}, swap{DAT_BRUMZEL, DAT_FONT_SCORE}}) {
        std::vector<DATAFILE> copy = copy_of_data();
        copy[s.entry] = data[s.from];
        char why[256] = "";
        EXPECT_FALSE(check_gamedata(copy.data(), why, sizeof why)) << "entry " << s.entry;
        EXPECT_NE(strstr(why, std::to_string(s.entry).c_str()), nullptr) << why;
    }
}

TEST_F(GameData, LoaderCheckRejectsAShortFileAndAWrongSize)
{
    std::vector<DATAFILE> copy = copy_of_data();
    copy[DAT_END_OF_TIME_SOUND] = data[DAT_ENTRIES]; // the end marker one entry early
    char why[256] = "";
    EXPECT_FALSE(check_gamedata(copy.data(), why, sizeof why));

    copy = copy_of_data();
    copy[DAT_TITLE_BALL] = data[DAT_TITLE_QUIT]; // a bitmap, but not 170x170
    EXPECT_FALSE(check_gamedata(copy.data(), why, sizeof why));
    EXPECT_NE(strstr(why, "33"), nullptr) << why;
}

// ---- sprites ----

TEST_F(GameData, BallsAreRoundGreenAndBlueOnTheMaskColour)
{
    for (int e : {DAT_SPRITE1, DAT_SPRITE2}) {
        BITMAP *b = bmp(e);
        EXPECT_FALSE(opaque(b, 0, 0)) << "entry " << e;
        EXPECT_FALSE(opaque(b, 9, 9)) << "entry " << e;
        EXPECT_TRUE(opaque(b, 5, 5)) << "entry " << e;
        int c = getpixel(b, 5, 5);
        if (e == DAT_SPRITE1) {
            EXPECT_GT(getg(c), getr(c));
            EXPECT_GT(getg(c), getb(c));
        } else {
            EXPECT_GT(getb(c), getr(c));
            EXPECT_GT(getb(c), getg(c));
        }
    }
}

TEST_F(GameData, LogoIsAColourfulDiscThatFitsTheLogoPixelTable)
{
    BITMAP *b = bmp(DAT_BRUMZEL);
    for (int corner : {0, 59}) {
        EXPECT_FALSE(opaque(b, corner, 0));
        EXPECT_FALSE(opaque(b, corner, 59));
    }
    EXPECT_TRUE(opaque(b, 30, 30));
    // The logo pixel table holds 3700 entries, and 121 of them go to the black row and
    // column just outside the 60x60 region.
    int kept = 0;
    int hues[6] = {0};
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 60; x++) {
            if (!opaque(b, x, y)) continue;
            kept++;
            int c = getpixel(b, x, y), r = getr(c), g = getg(c), bl = getb(c);
            int hi = std::max(r, std::max(g, bl)), lo = std::min(r, std::min(g, bl));
            if (hi - lo < 80) continue; // greys and chrome
            if (r == hi && g < hi / 2)
                hues[0]++;
            else if (r == hi)
                hues[1]++; // orange and yellow
            else if (g == hi && r < hi / 2)
                hues[2]++;
            else if (bl == hi && r < hi / 2)
                hues[3]++;
            else if (bl == hi)
                hues[4]++; // violet
        }
    EXPECT_GT(kept, 2000);
    EXPECT_LE(kept + 121, 3700);
    int families = 0;
    for (int h : hues)
        families += h > 60;
    EXPECT_GE(families, 4) << "the bursting logo should give several colours of particles";
}

TEST_F(GameData, TitleBallIsRoundAndShowsItsSpin)
{
    BITMAP *b = bmp(DAT_TITLE_BALL);
    EXPECT_FALSE(opaque(b, 0, 0));
    EXPECT_FALSE(opaque(b, 169, 169));
    EXPECT_TRUE(opaque(b, 85, 85));
    EXPECT_TRUE(opaque(b, 85, 3)); // reaches nearly to the 85-pixel click circle
    // Turned by an eighth of a turn it looks different, so the spin can be seen.
    BITMAP *turned = create_bitmap(170, 170);
    clear_to_color(turned, bitmap_mask_color(turned));
    rotate_sprite(turned, b, 0, 0, itofix(256 / 12 / 2));
    int differ = 0;
    for (int y = 20; y < 150; y++)
        for (int x = 20; x < 150; x++)
            if (getpixel(turned, x, y) != getpixel(b, x, y)) differ++;
    destroy_bitmap(turned);
    EXPECT_GT(differ, 3000);
}

TEST_F(GameData, MenuLabelsAreCentredOnTheirBalls)
{
    struct item {
        int entry, left, top, cx, cy;
    };
    const item items[] = {
        {DAT_TITLE_1PLAYER, 57, 261, 110, 310},
        {DAT_TITLE_2PLAYER, 228, 462, 283, 511},
        {DAT_TITLE_HISCORES, 338, 157, 386, 206},
        {DAT_TITLE_HELP, 564, 488, 599, 503},
        {DAT_TITLE_QUIT, 656, 250, 696, 264},
        // The quit label is also the return button over the exit ball.
        {DAT_TITLE_QUIT, 665, 495, 706, 503},
    };
    for (const item &it : items) {
        BITMAP *b = bmp(it.entry);
        EXPECT_NEAR(it.left + b->w / 2.0, it.cx, 8) << "entry " << it.entry;
        EXPECT_NEAR(it.top + b->h / 2.0, it.cy, 8) << "entry " << it.entry;
        // Inside the ball, and not empty.
        EXPECT_LE(b->w, 130);
        int lit = 0;
        for (int y = 0; y < b->h; y++)
            for (int x = 0; x < b->w; x++)
                lit += opaque(b, x, y);
        EXPECT_GT(lit, b->w * b->h / 8) << "entry " << it.entry;
    }
}

TEST_F(GameData, LaunchersTurnAboutTheirPivotsAndPointIntoTheField)
{
    BITMAP *p1 = bmp(DAT_LAUNCHER_P1), *p2 = bmp(DAT_LAUNCHER_P2);
    ASSERT_GT(p1->w, 60);
    ASSERT_GT(p1->h, 10);
    ASSERT_GT(p2->w, 10);
    ASSERT_GT(p2->h, 10);
    EXPECT_TRUE(opaque(p1, 60, 10));
    EXPECT_TRUE(opaque(p2, 10, 10));
    // The barrel reaches from the pivot towards the field: right for player 1, left for 2.
    EXPECT_TRUE(opaque(p1, 66, 10));
    EXPECT_TRUE(opaque(p2, 4, 10));
}

TEST_F(GameData, PointerHotSpotIsItsTopLeftCorner)
{
    BITMAP *b = bmp(DAT_MOUSE_PTR);
    EXPECT_TRUE(opaque(b, 0, 0));
    EXPECT_LE(b->w, 32);
    EXPECT_LE(b->h, 32);
}

// Distance of a screen point from a corner circle's rim.
static double from_corner_rim(int corner_x, int corner_y, double x, double y)
{
    return std::fabs(std::hypot(x - corner_x, y - corner_y) - 150.0);
}

TEST_F(GameData, PadFlashesLieOnTheirCornerArcs)
{
    struct pad {
        int entry, x, y, cx, cy;
    };
    const pad pads[] = {{DAT_BOTTOM_LEFT, 28, 451, 0, 600},
                        {DAT_TOP_LEFT, 31, 17, 0, 0},
                        {DAT_TOP_RIGHT, 651, 15, 800, 0},
                        {DAT_BOTTOM_RIGHT, 647, 450, 800, 600}};
    for (const pad &p : pads) {
        BITMAP *b = bmp(p.entry);
        int lit = 0, near_rim = 0;
        for (int y = 0; y < b->h; y++)
            for (int x = 0; x < b->w; x++) {
                if (!opaque(b, x, y)) continue;
                lit++;
                double d = from_corner_rim(p.cx, p.cy, p.x + x + 0.5, p.y + y + 0.5);
                EXPECT_LT(d, 40) << "entry " << p.entry << " pixel " << x << "," << y;
                near_rim += d < 3;
            }
        EXPECT_GT(lit, 500) << "entry " << p.entry;
        EXPECT_GT(near_rim, 150) << "entry " << p.entry;
        // Brighter than the field's own edge there: it is a flash.
        double a = std::atan2(300.0 - p.cy, 400.0 - p.cx);
        int rx = (int)(p.cx + std::cos(a) * 150) - p.x, ry = (int)(p.cy + std::sin(a) * 150) - p.y;
        ASSERT_TRUE(opaque(b, rx, ry)) << "entry " << p.entry;
        EXPECT_GT(luminance(getpixel(b, rx, ry)),
                  luminance(getpixel(bmp(DAT_BACKGROUND), p.x + rx, p.y + ry)));
        // A player sees it: 12 pixels into the pad the flash is far brighter than the pad.
        int px = (int)(p.cx + std::cos(a) * 138) - p.x, py = (int)(p.cy + std::sin(a) * 138) - p.y;
        ASSERT_TRUE(opaque(b, px, py)) << "entry " << p.entry;
        EXPECT_GT(luminance(getpixel(b, px, py)),
                  luminance(getpixel(bmp(DAT_BACKGROUND), p.x + px, p.y + py)) + 60)
            << "entry " << p.entry;
    }
}

// ---- backdrops ----

TEST_F(GameData, FieldEdgesAreDrawnOnTheCollisionGeometry)
{
    BITMAP *b = bmp(DAT_BACKGROUND);
    // Points on each edge: side lines, the innermost points of the two arcs, and the middle
    // of each corner arc. Each is bright, and clearly brighter than 14 pixels inside.
    struct probe {
        int x, y, ix, iy;
    };
    const double c = 150 / std::sqrt(2.0);
    const probe probes[] = {
        {28, 300, 42, 300},
        {772, 300, 758, 300},
        {400, 45, 400, 59},
        {400, 557, 400, 543},
        {(int)c, (int)c, (int)c + 10, (int)c + 10},
        {800 - (int)c - 1, (int)c, 800 - (int)c - 11, (int)c + 10},
        {(int)c, 600 - (int)c - 1, (int)c + 10, 600 - (int)c - 11},
        {800 - (int)c - 1, 600 - (int)c - 1, 800 - (int)c - 11, 600 - (int)c - 11},
    };
    for (const probe &p : probes) {
        int edge = 0;
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                edge = std::max(edge, luminance(getpixel(b, p.x + dx, p.y + dy)));
        int inside = luminance(getpixel(b, p.ix, p.iy));
        EXPECT_GT(edge, 120) << "edge at " << p.x << "," << p.y;
        EXPECT_GT(edge, inside + 60) << "edge at " << p.x << "," << p.y;
    }
    // The field itself is dark, so balls and bumpers stand out.
    EXPECT_LT(measure(b, 200, 100, 600, 500).mean, 60);
}

TEST_F(GameData, ScoreBarAndCountLieOnDarkGround)
{
    BITMAP *b = bmp(DAT_BACKGROUND);
    struct area {
        int x0, y0, x1, y1;
    };
    // Side labels and scores, best score, balls-left bars and icons, the count line.
    for (area a : {area{10, 1, 120, 55}, area{690, 1, 790, 55}, area{280, 5, 520, 29},
                   area{10, 70, 112, 80}, area{685, 70, 787, 80}, area{300, 568, 520, 590}}) {
        light l = measure(b, a.x0, a.y0, a.x1, a.y1);
        EXPECT_LT(l.mean, 40) << a.x0 << "," << a.y0;
        EXPECT_LT(l.max, 110) << a.x0 << "," << a.y0;
    }
}

TEST_F(GameData, HighScoreTableAreaStaysDarkForTheShadowEffect)
{
    BITMAP *b = bmp(DAT_HISCORE_TABLE);
    int black = 0, lightened = 0;
    for (int y = 100; y <= 454; y++)
        for (int x = 100; x <= 699; x++) {
            int c = getpixel(b, x, y);
            black += c == 0;
            lightened += getr(c) > 100 && getg(c) > 100;
        }
    EXPECT_EQ(lightened, 0);
    // Black pixels are where the shadow shows: nearly the whole area.
    EXPECT_GT(black, 600 * 355 * 95 / 100);
}

TEST_F(GameData, TextAreasOfTheTitleAndHelpScreensAreCalm)
{
    // Intro and credits lines over the middle of the title backdrop.
    light mid = measure(bmp(DAT_TITLE), 150, 100, 650, 400);
    EXPECT_LT(mid.mean, 45);
    // The title itself is bright at the top.
    EXPECT_GT(measure(bmp(DAT_TITLE), 150, 10, 650, 80).max, 200);
    // The corner of the help page where the exit ball spins carries no text.
    light corner = measure(bmp(DAT_HELP), 640, 440, 780, 580);
    EXPECT_LT(corner.mean, 45);
}

TEST_F(GameData, NameEntryPanelIsLightWithADarkBandForTheYellowLines)
{
    BITMAP *b = bmp(DAT_ENTERNAME);
    // Panel coordinates: the game draws the area from (5, 5) at (5, 460).
    EXPECT_GT(measure(b, 20, 20, 330, 80).mean, 150); // heading and score
    light band = measure(b, 15, 90, 200, 120);        // "Please use the keyboard" ...
    EXPECT_LT(band.mean, 70);
}

// ---- fonts ----

TEST_F(GameData, FontsCoverPrintableAsciiAndTakeTheGamesColours)
{
    for (int e : FONT_ENTRIES) {
        FONT *f = fnt(e);
        EXPECT_LE(get_font_range_begin(f, -1), 32) << "entry " << e;
        EXPECT_GE(get_font_range_end(f, -1), 126) << "entry " << e;
        ink k = print_and_measure(f, "GET READY 0123456789 abc ~", 255, 64, 64);
        EXPECT_TRUE(k.one_colour) << "entry " << e << " must print in the colour asked for";
        EXPECT_GT(k.x1, k.x0) << "entry " << e;
    }
}

TEST_F(GameData, FontSizesFitTheirRoles)
{
    // Large: "GET READY" at (260, 100) and "GAME OVER" at (250, 100), centred on the screen.
    FONT *large = fnt(DAT_FONT_LARGE);
    int ready = text_length(large, "GET READY"), over = text_length(large, "GAME OVER");
    EXPECT_GE(ready, 250);
    EXPECT_LE(ready, 320);
    EXPECT_LE(250 + over, 800);
    EXPECT_GE(text_height(large), 40);
    EXPECT_LE(text_height(large), 50);
    // Score bar and table: rows 29-30 pixels apart.
    FONT *score = fnt(DAT_FONT_SCORE);
    EXPECT_GE(text_height(score), 20);
    EXPECT_LE(text_height(score), 27);
    EXPECT_LE(280 + text_length(score, "HI SCORE 99999"), 690);
    EXPECT_LE(690 + text_length(score, "99999"), 800);
    // Body text: lines 15-20 pixels apart, the widest line fits the screen.
    FONT *text = fnt(DAT_FONT_TEXT);
    EXPECT_GE(text_height(text), 12);
    EXPECT_LE(text_height(text), 17);
    EXPECT_LE(text_length(text, "Created using the ALLEGRO game programming library"), 780);
    EXPECT_LE(20 + text_length(text, "Player 1-A new hi-score"), 365); // left of the name box
    // Typed name: eight of the widest letters inside the 200-pixel box from offset 10.
    FONT *name = fnt(DAT_FONT_NAME);
    EXPECT_GE(text_height(name), 22);
    EXPECT_LE(text_height(name), 30);
    EXPECT_LE(10 + text_length(name, "WWWWWWWW"), 199);
}

TEST_F(GameData, LargeCaptionInksWhereTheGameExpectsIt)
{
    ink k = print_and_measure(fnt(DAT_FONT_LARGE), "GET READY", 255, 255, 255);
    int w = k.x1 - k.x0 + 1, h = k.y1 - k.y0 + 1;
    EXPECT_GE(w, 250);
    EXPECT_LE(w, 320);
    EXPECT_GE(h, 28); // capitals of a 40-50 pixel line
    EXPECT_LE(h, 50);
}

// ---- samples ----

TEST_F(GameData, EverySampleIsAudibleAndUnclipped)
{
    for (int e : SAMPLE_ENTRIES) {
        SAMPLE *s = smp(e);
        ASSERT_GT(s->len, 0UL) << "entry " << e;
        ASSERT_EQ(s->bits, 16) << "entry " << e;
        ASSERT_EQ(s->stereo, 0) << "entry " << e;
        // Allegro holds 16-bit samples unsigned, silence at 0x8000.
        const unsigned short *v = static_cast<const unsigned short *>(s->data);
        int peak = 0;
        long pegged = 0;
        double energy = 0;
        for (unsigned long i = 0; i < s->len; i++) {
            int a = std::abs((int)v[i] - 0x8000);
            peak = std::max(peak, a);
            pegged += a >= 32767;
            energy += double(a) * a;
        }
        double rms = std::sqrt(energy / s->len);
        EXPECT_GT(peak, 12000) << "entry " << e;
        EXPECT_EQ(pegged, 0) << "entry " << e << " clips";
        EXPECT_GT(rms, 600) << "entry " << e;
        if (e != DAT_TITLE_MUSIC) {
            EXPECT_LT(s->len / (double)s->freq, 12.0) << "entry " << e;
        }
    }
    // Short effects stay short so rapid launches and clicks do not pile up.
    for (int e : {DAT_LAUNCH_SOUND_P1, DAT_LAUNCH_SOUND_P2, DAT_KEY_CLICK})
        EXPECT_LT(smp(e)->len / (double)smp(e)->freq, 0.5) << "entry " << e;
}

TEST_F(GameData, TitleMusicLastsAtLeastTwentySeconds)
{
    SAMPLE *s = smp(DAT_TITLE_MUSIC);
    EXPECT_GE(s->len / (double)s->freq, 20.0);
}

TEST_F(GameData, CountTonesAreAllDifferent)
{
    const int counts[] = {DAT_COUNT5_SOUND, DAT_COUNT4_SOUND, DAT_COUNT3_SOUND, DAT_COUNT2_SOUND,
                          DAT_COUNT1_SOUND};
    for (int i = 0; i < 5; i++)
        for (int j = i + 1; j < 5; j++) {
            SAMPLE *a = smp(counts[i]), *b = smp(counts[j]);
            bool same = a->len == b->len && memcmp(a->data, b->data, a->len * 2) == 0;
            EXPECT_FALSE(same) << counts[i] << " and " << counts[j];
        }
}

// ---- icons for the desktop ----

TEST_F(GameData, DesktopIconsAreWrittenAtThreeSizes)
{
    // The icons are written beside the data file, under icons/.
    std::string dir = gamedata_path();
    dir = dir.substr(0, dir.rfind('/'));
    for (int size : {64, 128, 256}) {
        std::string path = dir + "/icons/brumzel-ball-" + std::to_string(size) + ".png";
        FILE *f = fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        unsigned char head[24];
        ASSERT_EQ(fread(head, 1, 24, f), 24u);
        fclose(f);
        EXPECT_EQ(memcmp(head + 1, "PNG", 3), 0);
        int w = head[16] << 24 | head[17] << 16 | head[18] << 8 | head[19];
        int h = head[20] << 24 | head[21] << 16 | head[22] << 8 | head[23];
        EXPECT_EQ(w, size);
        EXPECT_EQ(h, size);
    }
}
