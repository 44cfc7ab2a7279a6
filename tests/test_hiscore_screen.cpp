// test_hiscore_screen -- the high-score table screen and name entry, drawn headless
#include "hiscore.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "display.h"
#include "fade.h"
#include "gamedata.h"
#include "headless.h"
#include "init.h"

// ---- keyboard fed through the library's keyboard hooks ----
// Keys queued as "early" are in the buffer before the table is drawn; the first time the buffer
// is found empty the "late" keys start to arrive, and when they are used up Enter goes down.
static std::vector<int> early_keys, late_keys;
static size_t early_at, late_at;
static bool late_open;

static int hook_keypressed()
{
    if (!late_open) {
        if (early_at < early_keys.size()) return 1;
        late_open = true;
        return 0;
    }
    if (late_at < late_keys.size()) return 1;
    key[KEY_ENTER] = 1;
    return 0;
}

static int hook_readkey()
{
    return late_open ? late_keys[late_at++] : early_keys[early_at++];
}

static std::vector<int> typed(const char *text)
{
    std::vector<int> keys;
    for (; *text; text++)
        keys.push_back(((KEY_A + (*text - 'A')) << 8) | *text);
    return keys;
}

static void queue_keys(std::vector<int> early, std::vector<int> late)
{
    early_keys = early, late_keys = late;
    early_at = late_at = 0;
    late_open = false;
    key[KEY_ENTER] = 0;
}

// ---- pictures ----

// Draws text as the table does, for a reference picture.
static void put_text(BITMAP *bmp, int font_entry, int x, int y, int colour, const char *text)
{
    textprintf_ex(bmp, data_font(font_entry), x, y, colour, -1, "%s", text);
}

// Counts the pixels of text drawn at (x, y) that bmp does not show in the text's colour.
// checked receives how many pixels the text has, so a test can tell it saw something.
static int text_misses(BITMAP *bmp, int font_entry, int x, int y, int colour, const char *text,
                       int *checked)
{
    FONT *f = data_font(font_entry);
    int w = text_length(f, text), h = text_height(f);
    BITMAP *glyphs = create_bitmap(w + 1, h + 1);
    clear_to_color(glyphs, 0);
    textprintf_ex(glyphs, f, 0, 0, colour, -1, "%s", text);
    int misses = 0;
    *checked = 0;
    for (int gy = 0; gy <= h; gy++)
        for (int gx = 0; gx <= w; gx++) {
            int c = getpixel(glyphs, gx, gy);
            if (c == 0) continue;
            (*checked)++;
            if (getpixel(bmp, x + gx, y + gy) != c) misses++;
        }
    destroy_bitmap(glyphs);
    return misses;
}

static void expect_text(BITMAP *bmp, int font_entry, int x, int y, int colour, const char *text)
{
    int checked;
    int misses = text_misses(bmp, font_entry, x, y, colour, text, &checked);
    EXPECT_GT(checked, 0) << text;
    EXPECT_EQ(misses, 0) << "\"" << text << "\" at " << x << "," << y;
}

static void save_shot(BITMAP *bmp, const char *name)
{
    const char *dir = getenv("HISCORE_SHOTS");
    if (!dir) return;
    std::string path = std::string(dir) + "/" + name;
    save_bitmap(path.c_str(), bmp, nullptr);
}

class TableScreen : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
        install_keyboard_hooks(hook_keypressed, hook_readkey);
    }
    char old_cwd[4096];
    void SetUp() override
    {
        // Any table file a test touches lies in a folder of its own.
        ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
        ASSERT_EQ(chdir(make_temp_dir("hiscore-screen")), 0);
        memset(score_table, 0, sizeof score_table);
        set_default_scores();
        queue_keys({}, {});
        mouse_x = 10, mouse_y = 10, mouse_b = 0;
        p1_score = p2_score = 0;
        Menu_Option = 1;
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(old_cwd), 0);
    }
    // Runs the table screen on a black backdrop, so every pixel of it can be foretold.
    void display_on_black(int wait)
    {
        BITMAP *real = hiscore_table1;
        BITMAP *black = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        clear_to_color(black, 0);
        hiscore_table1 = black;
        hiscore_display(wait);
        hiscore_table1 = real;
        destroy_bitmap(black);
    }
};

// ---- the table ----

TEST_F(TableScreen, TableIsDrawnInItsPlacesWithADarkEdgeUpAndLeft)
{
    strcpy(score_table[3].player_name, ""); // an empty name prints as nothing
    score_table[9].player_score = 7;
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "Hidden");
    score_table[CANDIDATE_ENTRY].player_score = 12345;
    display_on_black(0);

    // The table text alone, where the rules put it.
    static const char *const places[] = {"01", "02", "03", "04", "05",
                                         "06", "07", "08", "09", "10"};
    static const char *const names[] = {"Elephant", "Hippo",    "Giraffe", "",    "Lion",
                                        "Wombat",   "Kangaroo", "Echidna", "Emu", "Possum"};
    static const char *const scores[] = {"00090", "00080", "00070", "00060", "00050",
                                         "00040", "00040", "00040", "00040", "00007"};
    BITMAP *text = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_to_color(text, 0);
    int white = makecol(255, 255, 255), yellow = makecol(255, 255, 0);
    put_text(text, DAT_FONT_SCORE, 200, 110, white, "PSN");
    put_text(text, DAT_FONT_SCORE, 280, 110, white, "NAME");
    put_text(text, DAT_FONT_SCORE, 460, 110, white, "SCORE");
    for (int a = 0; a < 10; a++) {
        put_text(text, DAT_FONT_SCORE, 200, 160 + 30 * a, yellow, places[a]);
        put_text(text, DAT_FONT_SCORE, 280, 160 + 30 * a, yellow, names[a]);
        put_text(text, DAT_FONT_SCORE, 460, 160 + 30 * a, yellow, scores[a]);
    }

    // Inside the table area a bright pixel is laid 2 right and 2 down over the darkened text:
    // what stays visible of the text's own place is 100 less red and green.
    int wrong = 0, bright = 0, shadow = 0;
    for (int y = 0; y < SCREEN_HEIGHT; y++)
        for (int x = 0; x < SCREEN_WIDTH; x++) {
            if (x >= 620 && y >= 420) continue; // the quit ball
            int expected = getpixel(text, x, y);
            bool in_area = x >= 100 && x <= 699 && y >= 100 && y <= 454;
            if (in_area && expected != 0)
                expected = makecol(getr(expected) - 100, getg(expected) - 100, getb(expected));
            bool under_copy = x >= 102 && x <= 701 && y >= 102 && y <= 451;
            if (under_copy && getpixel(text, x - 2, y - 2) != 0)
                expected = getpixel(text, x - 2, y - 2);
            int got = getpixel(buffer, x, y);
            if (got != expected) wrong++;
            if (got == yellow) bright++;
            if (got == makecol(155, 155, 0)) shadow++;
        }
    destroy_bitmap(text);
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(bright, 500);
    EXPECT_GT(shadow, 100);
    // The picture on the screen is the one in the buffer.
    for (int y = 0; y < SCREEN_HEIGHT; y += 7)
        for (int x = 0; x < SCREEN_WIDTH; x += 7)
            ASSERT_EQ(getpixel(screen, x, y), getpixel(buffer, x, y));
}

// Not only the table's white and yellow: a strip of the backdrop left of the text, in colours
// of every sort (black and the mask colour among them), is darkened and overlaid by the rule.
TEST_F(TableScreen, ShadowTreatsEveryColourOfTheBackdropByTheRule)
{
    const int left = 100, right = 189, top = 100, bottom = 454; // the text starts at x = 200
    BITMAP *real = hiscore_table1;
    BITMAP *backdrop = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_to_color(backdrop, 0);
    int mask = bitmap_mask_color(stretch);
    unsigned v = 1;
    for (int y = top; y <= bottom; y++)
        for (int x = left; x <= right; x++) {
            v = v * 1103515245u + 12345u;
            int c = (v >> 12) & 0xffff;
            if (v % 11 == 0) c = 0;
            if (v % 97 == 0) c = mask;
            putpixel(backdrop, x, y, c);
        }
    hiscore_table1 = backdrop;
    hiscore_display(0);
    hiscore_table1 = real;

    int wrong = 0, darkened = 0;
    for (int y = top + 2; y <= bottom - 4; y++)
        for (int x = left + 2; x <= right; x++) {
            int here = getpixel(backdrop, x, y), copy = getpixel(backdrop, x - 2, y - 2);
            int expected = here;
            if (here != 0 && getr(here) > 100 && getg(here) > 100) {
                expected = makecol(getr(here) - 100, getg(here) - 100, getb(here));
                darkened++;
            }
            if (copy != 0 && copy != mask) expected = copy; // black and mask colour show through
            wrong += getpixel(buffer, x, y) != expected;
        }
    destroy_bitmap(backdrop);
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(darkened, 5000);
}

TEST_F(TableScreen, OneFrameWithoutPointerOrFadeWhenNotWaiting)
{
    fade_pictures = -1;
    mouse_x = 300, mouse_y = 200;
    display_on_black(0);
    EXPECT_EQ(hiscore_frames, 1);
    EXPECT_EQ(fade_pictures, -1);
    BITMAP *first = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(buffer, first, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    mouse_x = 250, mouse_y = 300;
    display_on_black(0);
    int differ = 0;
    for (int y = 0; y < SCREEN_HEIGHT; y++)
        for (int x = 0; x < SCREEN_WIDTH; x++)
            if (getpixel(first, x, y) != getpixel(buffer, x, y)) differ++;
    destroy_bitmap(first);
    EXPECT_EQ(differ, 0); // no pointer drawn at either place
}

TEST_F(TableScreen, NameBytesOutsidePrintableAsciiShowAsCarets)
{
    // Names from a file as the fuzzer found them: bytes that are no valid UTF-8 made the library
    // read past the names' ends, and this table never finished drawing.
    static const char *const raw[] = {"ZZZZZZZZZZ\xff\xff\xff\x05", "\xff", "Ab\x80\xc3z",
                                      "Q\x01\x1f\x7f!"};
    static const char *const shown[] = {"ZZZZZZZZZZ^^^^", "^", "Ab^^z", "Q^^^!"};
    for (int a = 0; a < 4; a++)
        strcpy(score_table[a].player_name, raw[a]);
    std::atomic<bool> done{false};
    std::thread t([&] {
        hiscore_display(0);
        done = true;
    });
    for (int i = 0; i < 60000 && !done; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!done) {
        ADD_FAILURE() << "the table with those names did not finish drawing within a minute";
        fflush(stdout);
        std::_Exit(1); // the drawing thread cannot be stopped
    }
    t.join();
    EXPECT_STREQ(score_table[0].player_name, raw[0]); // the table keeps the bytes as they are
    BITMAP *got = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(buffer, got, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    // The same picture as the table of the names with carets in place of those bytes.
    for (int a = 0; a < 4; a++)
        strcpy(score_table[a].player_name, shown[a]);
    hiscore_display(0);
    int differ = 0;
    for (int y = 0; y < SCREEN_HEIGHT; y++)
        for (int x = 0; x < 620; x++) // left of the spinning quit ball
            if (getpixel(got, x, y) != getpixel(buffer, x, y)) differ++;
    destroy_bitmap(got);
    EXPECT_EQ(differ, 0);
}

// ---- the quit ball ----

// Runs the waiting table screen on a thread of its own.
struct screen_thread {
    std::atomic<bool> done{false};
    std::thread t;
    screen_thread()
        : t([this] {
              hiscore_display(1);
              done = true;
          })
    {
    }
    // Waits until the screen has ended or drawn n frames (or a generous minute has passed).
    void await(int n)
    {
        for (int i = 0; i < 60000 && !done && hiscore_frames < n; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

// Shows the waiting table with the pointer at (x, y) and a button down, and tells whether it
// ended by itself within 20 frames. If not, the pointer is put on the ball's centre to end it.
static bool leaves_with_pointer_at(int x, int y, int button)
{
    mouse_x = x, mouse_y = y, mouse_b = button;
    hiscore_frames = 0;
    screen_thread s;
    s.await(20);
    bool left = s.done;
    mouse_x = 706, mouse_y = 503, mouse_b = 2;
    s.t.join();
    return left;
}

TEST_F(TableScreen, ClickEightyFivePixelsFromTheBallCentreLeaves)
{
    fade_pictures = -1;
    EXPECT_TRUE(leaves_with_pointer_at(706 + 85, 503, 2));
    EXPECT_EQ(hiscore_frames, 1); // the pointer is tested after the first frame
    EXPECT_EQ(fade_pictures, 15);
    EXPECT_EQ(getpixel(screen, 300, 200), makecol(0, 0, 0));
    EXPECT_TRUE(leaves_with_pointer_at(706, 503 - 85, 4));      // any button
    EXPECT_TRUE(leaves_with_pointer_at(706 - 51, 503 + 68, 2)); // 51 and 68 make 85 too
}

TEST_F(TableScreen, ClickEightySixPixelsFromTheBallCentreStays)
{
    EXPECT_FALSE(leaves_with_pointer_at(706 + 86, 503, 2));
    EXPECT_FALSE(leaves_with_pointer_at(706, 503 + 86, 1));
    EXPECT_FALSE(leaves_with_pointer_at(706 - 52, 503 - 68, 1)); // 85.6 pixels away
    EXPECT_FALSE(leaves_with_pointer_at(300, 200, 1));           // elsewhere on the screen
}

TEST_F(TableScreen, HeldLeftButtonDelaysTheFadeUntilReleased)
{
    mouse_x = 706, mouse_y = 503, mouse_b = 1;
    hiscore_frames = 0;
    fade_pictures = -1;
    screen_thread s;
    s.await(1);
    ASSERT_EQ(hiscore_frames, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(hiscore_frames, 1); // the click ended the frames at once
    EXPECT_EQ(fade_pictures, -1);
    EXPECT_FALSE(s.done);
    mouse_b = 0;
    s.t.join();
    EXPECT_EQ(fade_pictures, 15);
}

// ---- name entry ----

TEST_F(TableScreen, TypedNameGoesIntoTheCandidateEntry)
{
    p1_score = 41;
    score_table[CANDIDATE_ENTRY].player_score = 41;
    // Keys pressed before the table appears are thrown away.
    queue_keys(typed("QQ"), typed("ABCDEFGHIJ"));
    hiscore_enter_name(41);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "ABCDEFGH");
    expect_text(screen, DAT_FONT_NAME, 380, 510, makecol(255, 255, 255), "ABCDEFGH");
    expect_text(screen, DAT_FONT_TEXT, 20, 475, makecol(128, 32, 0), "Player 1-A new hi-score");
    expect_text(screen, DAT_FONT_NAME, 100, 505, makecol(64, 0, 64), "00041");
    expect_text(screen, DAT_FONT_TEXT, 15, 545, makecol(255, 255, 0), "Please use the keyboard");
    expect_text(screen, DAT_FONT_TEXT, 20, 560, makecol(255, 255, 0), "to enter your name");
    save_shot(screen, "name-entry.pcx");
}

TEST_F(TableScreen, EditingKeysWorkInNameEntry)
{
    p2_score = 500;
    std::vector<int> keys = typed("ABCDEFGH");
    for (int i = 0; i < 4; i++)
        keys.push_back(KEY_LEFT << 8);
    keys.push_back(KEY_INSERT << 8);
    keys.push_back((KEY_X << 8) | 'X');
    keys.push_back((KEY_DEL << 8) | 127);
    keys.push_back((KEY_E << 8) | 0xE9); // a character above 127 types nothing
    queue_keys({}, keys);
    hiscore_enter_name(500);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "ABCDXGH");
    expect_text(screen, DAT_FONT_TEXT, 20, 475, makecol(128, 32, 0), "Player 2-A new hi-score");
}

TEST_F(TableScreen, EnterAtOnceStoresAnEmptyName)
{
    p1_score = 99;
    queue_keys({}, {});
    hiscore_enter_name(99);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "");
    // Only the terminator was written: the old name's tail is still behind it.
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name + 1, "nter name");
}

TEST_F(TableScreen, ScoreBelowEveryPlaceDrawsNothingAndStoresNothing)
{
    p1_score = 40;
    clear_to_color(screen, makecol(1, 2, 3));
    queue_keys({}, typed("ZZ"));
    hiscore_enter_name(40);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "enter name");
    EXPECT_EQ(getpixel(screen, 400, 300), makecol(1, 2, 3));
    EXPECT_EQ(getpixel(screen, 20, 480), makecol(1, 2, 3));
}

TEST_F(TableScreen, TiedPlayersGetTheirOwnHeadingsInTurn)
{
    // Both players made 300 in a two-player game: player 1 enters first, then player 2.
    load_scores();
    p1_score = p2_score = 300;
    Menu_Option = 1;
    queue_keys({}, typed("ONE"));
    hiscore_enter_name(300);
    expect_text(screen, DAT_FONT_TEXT, 20, 475, makecol(128, 32, 0), "Player 1-A new hi-score");
    sort_scores();
    score_table[CANDIDATE_ENTRY].player_score = 300;
    queue_keys({}, typed("TWO"));
    hiscore_enter_name(300);
    expect_text(screen, DAT_FONT_TEXT, 20, 475, makecol(128, 32, 0), "Player 2-A new hi-score");
    // The next game starts from a fresh load: player 1 again.
    load_scores();
    EXPECT_EQ(name_entry_player(300), 1);
}

TEST_F(TableScreen, ScreenshotsForReview)
{
    if (!getenv("HISCORE_SHOTS")) GTEST_SKIP() << "set HISCORE_SHOTS to a folder to keep them";
    strcpy(score_table[0].player_name, "Zoe");
    score_table[0].player_score = 12345;
    sort_scores();
    hiscore_display(0);
    save_shot(screen, "table.pcx");
    mouse_x = 700, mouse_y = 500, mouse_b = 0;
    p1_score = 41;
    queue_keys({}, typed("MARGARET"));
    hiscore_enter_name(41);
    save_shot(screen, "name-entry-full.pcx");
}
