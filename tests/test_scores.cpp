// test_scores -- the score file and its safe save, the name editor, the table and name entry
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fade.h"
#include "fixture.h"
#include "hiscore.h"
#include "title_screen.h"

static const std::string defaults = "90 Elephant;80 Hippo;70 Giraffe;60 Zebra;50 Lion;40 Wombat;"
                                    "40 Kangaroo;40 Echidna;40 Emu;40 Possum;0 enter name;";

// One 40-byte record: little-endian score, the name and its NUL, filler in every other byte.
static std::string record(uint32_t score, const std::string &name, char filler)
{
    std::string r(SCORE_RECORD_SIZE, filler);
    for (int i = 0; i < 4; i++)
        r[i] = char(score >> (8 * i));
    r.replace(4, name.size(), name);
    if (name.size() < size_t(NAME_FIELD)) r[4 + name.size()] = 0;
    return r;
}

// Ten records 1000, 900, ... 100 named P0 to P9, each with filler of its own.
static std::string ten_records(char filler)
{
    std::string all;
    for (int a = 0; a < SCORE_PLACES; a++)
        all += record(1000 - 100 * a, "P" + std::to_string(a), char(filler + a));
    return all;
}

// The whole table as one string of scores and names, to compare in one go.
static std::string table()
{
    std::string t;
    for (const Score &s : score_table)
        t += std::to_string(s.player_score) + " " + s.player_name + ";";
    return t;
}

// Keys as readkey() gives them; "<" Left, ">" Right, "B" Backspace, "D" Delete, "I" Insert.
static int key_code(char c)
{
    const char *special = "<>BDI";
    const int codes[] = {KEY_LEFT << 8, KEY_RIGHT << 8, KEY_BACKSPACE << 8 | 8, KEY_DEL << 8 | 127,
                         KEY_INSERT << 8};
    if (const char *at = strchr(special, c)) return codes[at - special];
    return ((c >= 'a' ? KEY_A + c - 'a' : KEY_SPACE) << 8) | c;
}

// Keys through the library's keyboard hooks: the `early` ones wait from before the table is
// drawn, the `late` ones come once its first frame is up, then Enter goes down.
static std::string early, late;

static int hook_keypressed()
{
    if (!early.empty() || (hiscore_frames > 0 && !late.empty())) return 1;
    if (hiscore_frames > 0) key[KEY_ENTER] = 1;
    return 0;
}

static int hook_readkey()
{
    std::string &from = early.empty() ? late : early;
    int k = key_code(from[0]);
    from.erase(0, 1);
    return k;
}

static void queue(const char *before, const char *typed)
{
    early = before, late = typed;
    key[KEY_ENTER] = 0;
}

// Every case starts in an empty folder with the built-in table and no key queued.
class Scores : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        enter_temp_dir();
        install_keyboard_hooks(hook_keypressed, hook_readkey);
        set_default_scores();
        queue("", "");
    }
};

// No file, an empty one, nine whole records: the built-in table, and the file is left alone.
TEST_F(Scores, FilesWithoutTenWholeRecordsGiveTheBuiltInTableAndStay)
{
    for (std::string bytes : {std::string("-"), std::string(), ten_records(1).substr(0, 399)}) {
        if (bytes != "-") write_file(SCORE_FILE, bytes);
        memset(score_table, 0, sizeof score_table);
        EXPECT_FALSE(load_scores()) << bytes.size();
        EXPECT_EQ(table() + file_bytes(SCORE_FILE), defaults + (bytes == "-" ? "" : bytes));
    }
}

// Records out of order, a name filling all 33 bytes (cut at 32) and a 401st byte are loaded
// and saved byte for byte; a candidate then sorts into its place, the extremes compared without
// overflow, and the one left in entry 11 is not saved.
TEST_F(Scores, FileRecordsAreKeptByteForByteAndTheEleventhDropsOut)
{
    std::string b = ten_records(char(0xC3));
    b.replace(0, 40, record(0x7F020304, "Big", 0));
    b.replace(40, 40, std::string(4, 0) + std::string(36, 'N'));
    b.replace(80, 40, record(5, "Low", 0));
    b.replace(360, 40, record(0x80000000u, "Min", 0));
    write_file(SCORE_FILE, b + "Z");
    score_table[CANDIDATE_ENTRY].player_score = 777;
    ASSERT_TRUE(load_scores());
    const std::string n32 = std::string(32, 'N');
    EXPECT_EQ(table(), "2130838276 Big;0 " + n32 +
                           ";5 Low;700 P3;600 P4;500 P5;400 P6;300 P7;200 P8;-2147483648 Min;"
                           "0 enter name;");
    ASSERT_TRUE(save_scores());
    b[40 + 36] = 0; // the 33rd N became the terminator
    EXPECT_EQ(file_bytes(SCORE_FILE), b);
    score_table[CANDIDATE_ENTRY].player_score = 450;
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "New");
    sort_scores();
    ASSERT_TRUE(save_scores() && load_scores());
    EXPECT_EQ(table(), "2130838276 Big;700 P3;600 P4;500 P5;450 New;400 P6;300 P7;200 P8;5 Low;0 " +
                           n32 + ";0 enter name;");
}

// A save that fails returns false and leaves the old file as it was, with no temporary file
// left over; a stale temporary file is no obstacle.
TEST_F(Scores, FailedSaveLeavesTheOldFile)
{
    const std::string old = ten_records(0x33);
    write_file(SCORE_FILE, old);
    ASSERT_EQ(mkdir(SCORE_TEMP_FILE, 0755), 0); // no one can open a folder for writing
    EXPECT_FALSE(save_scores());
    ASSERT_EQ(rmdir(SCORE_TEMP_FILE), 0);
    EXPECT_EQ(file_bytes(SCORE_FILE), old);
    struct rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    // A write cut short, as on a full disk, even for root.
    struct rlimit small = {100, limit.rlim_max};
    auto old_handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = save_scores();
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, old_handler);
    EXPECT_EQ(N(saved, file_bytes(SCORE_FILE) == old, access(SCORE_TEMP_FILE, F_OK)), N(0, 1, -1));
    write_file(SCORE_TEMP_FILE, std::string(1000, 'E'));
    EXPECT_TRUE(save_scores() && load_scores());
    EXPECT_EQ(N(table() == defaults, access(SCORE_TEMP_FILE, F_OK)), N(1, -1));
}

// Up to eight characters; text, caret and insert (i) or overwrite (o) after the keys.
TEST_F(Headless, NameEditorTypesUpToEightCharactersAndEdits)
{
    const char *rows[][2] = {
        {"abcdefgh<<<<Ix", "abcdxfgh 5o"},     // overwrite in a full name
        {"abcdefgh<<<<xy", "abcdefgh 4i"},     // insert into a full name is refused
        {"acd<<b", "abcd 2i"},                 // insert shifts the rest
        {"Iabcdefghij", "abcdefgh 8o"},        // overwrite at the end appends up to 8
        {"abD<<B<>>>", "ab 2i"},               // nothing beyond either end
        {"abcde<<BD", "abe 2i"},               // Backspace and Delete inside
        {"a\x01\r\x1f\x7f\x80\xff!", "a! 2i"}, // no control or high character
    };
    for (const auto &r : rows) {
        name_editor ed;
        name_editor_reset(&ed);
        for (const char *k = r[0]; *k; k++)
            name_editor_key(&ed, key_code(*k));
        EXPECT_EQ(ed.text + (" " + std::to_string(ed.caret)) + (ed.insert ? "i" : "o"), r[1]);
    }
}

// Over a backdrop every pixel can be foretold: the rows' text, '^' for name bytes outside
// printable ASCII; in 100-699 x 100-454 pixels with red and green over 100 darkened by 100 in
// both, and 100-699 x 100-449 undarkened laid over it 2 right and 2 down, black and the mask
// colour left out. Clipped, it takes the pixel-by-pixel way.
TEST_F(Scores, TableIsDrawnInItsPlacesWithADarkEdgeUpAndLeft)
{
    strcpy(score_table[3].player_name, "Q\x01\x7f\x80\xff!");
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "Hidden");
    BITMAP *real = hiscore_table1, *want = create_bitmap(800, 600);
    BITMAP *backdrop = hiscore_table1 = create_bitmap(800, 600);
    FONT *f = data_font(DAT_FONT_SCORE);
    int mask = bitmap_mask_color(stretch), white = makecol(255, 255, 255);
    clear_to_color(backdrop, 0);
    unsigned v = 1;
    for (int y = 100; y <= 454; y++)
        for (int x = 100; x <= 189; x++, v = v * 1103515245u + 12345u)
            putpixel(backdrop, x, y, v % 11 == 0 ? 0 : v % 97 == 0 ? mask : (v >> 12) & 0xffff);
    blit(backdrop, want, 0, 0, 0, 0, 800, 600);
    textout_ex(want, f, "PSN", 200, 110, white, -1);
    textout_ex(want, f, "NAME", 280, 110, white, -1);
    textout_ex(want, f, "SCORE", 460, 110, white, -1);
    for (int a = 0, yellow = makecol(255, 255, 0); a < 10; a++) {
        int y = 160 + 30 * a;
        textprintf_ex(want, f, 200, y, yellow, -1, "%02d", a + 1);
        textout_ex(want, f, a == 3 ? "Q^^^^!" : score_table[a].player_name, 280, y, yellow, -1);
        textprintf_ex(want, f, 460, y, yellow, -1, "%05d", score_table[a].player_score);
    }
    for (int left : {0, 101}) {
        fade_pictures = -1;
        blit(backdrop, buffer, 0, 0, 0, 0, 800, 600); // what the clip keeps out: the backdrop
        set_clip_rect(buffer, left, 0, 799, 599);
        hiscore_display(0);
        set_clip_rect(buffer, 0, 0, 799, 599);
        int wrong = 0;
        for (int y = 0; y < 600; y++)
            for (int x = left; x < 800; x++) {
                if (x >= 620 && y >= 420) continue; // the quit ball
                int here = getpixel(want, x, y), copy = getpixel(want, x - 2, y - 2), c = here;
                bool area = x >= 100 && x <= 699 && y >= 100 && y <= 454;
                if (area && here != 0 && getr(here) > 100 && getg(here) > 100)
                    c = makecol(getr(here) - 100, getg(here) - 100, getb(here));
                bool under_copy = x >= 102 && x <= 701 && y >= 102 && y <= 451;
                if (under_copy && copy != 0 && copy != mask) c = copy;
                wrong += getpixel(buffer, x, y) != c;
            }
        // One frame, no fade when not waiting; the screen shows the buffer.
        EXPECT_EQ(
            N(wrong, hiscore_frames, fade_pictures, pixels(screen, 0, 0, 799, 599, -1, buffer)),
            N(0, 1, -1, 0))
            << left;
    }
    EXPECT_STREQ(score_table[3].player_name, "Q\x01\x7f\x80\xff!");
    hiscore_table1 = real;
    destroy_bitmap(backdrop);
    destroy_bitmap(want);
}

// The typed name goes into the candidate entry, keys from before the table thrown away, shown
// white-framed on black; a score only tying the tenth place draws and stores nothing.
TEST_F(Scores, TypedNameGoesIntoTheCandidateEntryWhenTheScoreQualifies)
{
    p1_score = 41;
    queue("qq", "abcdefghij");
    hiscore_enter_name(41);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "abcdefgh");
    BITMAP *under = create_bitmap(800, 600);
    blit(entername1, under, 5, 5, 5, 460, 600, 125);
    EXPECT_TRUE(shows_text(screen, under, DAT_FONT_NAME, 100, 505, makecol(64, 0, 64), "00041", 0));
    clear_to_color(under, 0);
    int white = makecol(255, 255, 255);
    EXPECT_TRUE(shows_text(screen, under, DAT_FONT_NAME, 380, 510, white, "abcdefgh", 0));
    EXPECT_EQ(
        N(pixels(screen, 370, 500, 569, 500, white), pixels(screen, 569, 500, 569, 549, white)),
        N(200, 50)); // the frame's top and right edges
    destroy_bitmap(under);
    clear_to_color(screen, makecol(1, 2, 3));
    queue("", "zz");
    hiscore_enter_name(40);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "abcdefgh");
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, makecol(1, 2, 3)), 800 * 600);
}

// Tied in a two-player game, player 1 enters first, then player 2, each under their own heading;
// a fresh load starts with player 1 again.
TEST_F(Scores, TiedPlayersGetTheirOwnHeadingsInTurn)
{
    load_scores();
    p1_score = 500, p2_score = 300;
    EXPECT_EQ(N(name_entry_player(500), name_entry_player(300), name_entry_player(400)),
              N(1, 2, 0));
    p1_score = p2_score = 300;
    Menu_Option = MENU_TWO_PLAYER;
    BITMAP *panel = create_bitmap(800, 600);
    blit(entername1, panel, 5, 5, 5, 460, 600, 125); // entry 8 from (5, 5) at (5, 460)
    for (const char *heading : {"Player 1-A new hi-score", "Player 2-A new hi-score"}) {
        queue("", "ab");
        hiscore_enter_name(300);
        EXPECT_TRUE(
            shows_text(screen, panel, DAT_FONT_TEXT, 20, 475, makecol(128, 32, 0), heading, 0));
    }
    destroy_bitmap(panel);
    EXPECT_EQ(name_entry_player(300), 2);
    load_scores();
    EXPECT_EQ(name_entry_player(300), 1);
}
