// test_scores -- the score file and its safe save, the name editor, the table and name entry
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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
    return key_code(std::exchange(from, from.substr(1))[0]);
}

static void queue(const char *before, const char *typed)
{
    early = before, late = typed, key[KEY_ENTER] = 0;
}

// Every case starts in an empty folder with the built-in table and no key queued.
class Scores : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp(), enter_temp_dir();
        install_keyboard_hooks(hook_keypressed, hook_readkey), set_default_scores(), queue("", "");
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
    setrlimit(RLIMIT_FSIZE, &limit), signal(SIGXFSZ, old_handler);
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

// Name bytes outside printable ASCII show as '^' and stay in the table. A clipped buffer takes
// the pixel-by-pixel way of the shadow, which draws what the lines' way draws (whose picture is
// reviewed); what the clip keeps out stays as it was. Keys typed before the table is up are
// thrown away; a score only tying the tenth place draws and stores nothing.
TEST_F(Scores, TableAndNameEntryDrawTheSameEitherWayAndTakeOnlyQualifyingScores)
{
    strcpy(score_table[3].player_name, "Q^^^^!"), hiscore_display(0);
    BITMAP *want = create_bitmap(800, 600);
    blit(buffer, want, 0, 0, 0, 0, 800, 600);
    strcpy(score_table[3].player_name, "Q\x01\x7f\x80\xff!");
    blit(hiscore_table1, buffer, 0, 0, 0, 0, 800, 600), set_clip_rect(buffer, 101, 0, 799, 599);
    fade_pictures = -1, hiscore_display(0), set_clip_rect(buffer, 0, 0, 799, 599);
    EXPECT_EQ(N(pixels(buffer, 101, 0, 799, 599, -1, want), hiscore_frames, fade_pictures),
              N(0, 1, -1)); // one frame, no fade when not waiting
    EXPECT_STREQ(score_table[3].player_name, "Q\x01\x7f\x80\xff!");
    destroy_bitmap(want);
    set_default_scores(), p1_score = 41;
    queue("qq", "abcdefghij"), hiscore_enter_name(41);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "abcdefgh");
    clear_to_color(screen, makecol(1, 2, 3)), queue("", "zz"), hiscore_enter_name(40);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "abcdefgh");
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, makecol(1, 2, 3)), 800 * 600);
}

// Tied in a two-player game, player 1 enters first, then player 2, each under their own heading
// (the panels' pictures are reviewed); the computer never enters; a fresh load starts again.
TEST_F(Scores, TiedPlayersGetTheirOwnHeadingsInTurn)
{
    load_scores();
    p1_score = 500, p2_score = 300;
    EXPECT_EQ(N(name_entry_player(500), name_entry_player(300), name_entry_player(400)),
              N(1, 2, 0));
    p1_score = p2_score = 300;
    for (int player : {1, 2}) {
        EXPECT_EQ(name_entry_player(300), player);
        queue("", "ab"), hiscore_enter_name(300);
    }
    Menu_Option = MENU_ONE_PLAYER;
    EXPECT_EQ(name_entry_player(300), 1);
    Menu_Option = MENU_TWO_PLAYER;
    EXPECT_EQ(name_entry_player(300), 2);
    load_scores();
    EXPECT_EQ(name_entry_player(300), 1);
}
