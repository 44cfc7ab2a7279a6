// test_hiscore -- the score table, its file, placing new scores and the name editor
#include "hiscore.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "gamedata.h"
#include "headless.h"
#include "init.h"

using bytes = std::vector<unsigned char>;

static const char *const default_names[SCORE_ENTRIES] = {
    "Elephant", "Hippo",   "Giraffe", "Zebra",  "Lion",      "Wombat",
    "Kangaroo", "Echidna", "Emu",     "Possum", "enter name"};
static const int default_scores[SCORE_ENTRIES] = {90, 80, 70, 60, 50, 40, 40, 40, 40, 40, 0};

// One 40-byte record as another writer might lay it out: little-endian score, the name and its
// NUL, then filler in every byte that carries no meaning.
static bytes record_bytes(uint32_t score, const char *name, unsigned char filler)
{
    bytes r(SCORE_RECORD_SIZE, filler);
    for (int i = 0; i < 4; i++)
        r[i] = (score >> (8 * i)) & 0xff;
    size_t n = strlen(name);
    memcpy(&r[4], name, n);
    if (n < static_cast<size_t>(NAME_FIELD)) r[4 + n] = 0;
    return r;
}

// Ten records with distinct scores 1000, 900, ... 100 and names "P0".."P9".
static bytes ten_records(unsigned char filler)
{
    bytes all;
    for (int a = 0; a < SCORE_PLACES; a++) {
        std::string name = "P" + std::to_string(a);
        bytes r = record_bytes(1000 - 100 * a, name.c_str(), filler + a);
        all.insert(all.end(), r.begin(), r.end());
    }
    return all;
}

static void write_file(const char *path, const bytes &b)
{
    FILE *f = fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    // An empty vector may have no storage at all, and fwrite must not be handed a null pointer.
    if (!b.empty()) {
        ASSERT_EQ(fwrite(b.data(), 1, b.size(), f), b.size());
    }
    fclose(f);
}

static bytes read_file(const char *path)
{
    bytes b;
    FILE *f = fopen(path, "rb");
    if (!f) return b;
    int c;
    while ((c = fgetc(f)) != EOF)
        b.push_back(static_cast<unsigned char>(c));
    fclose(f);
    return b;
}

static bool file_exists(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

static void expect_defaults()
{
    for (int a = 0; a < SCORE_ENTRIES; a++) {
        EXPECT_STREQ(score_table[a].player_name, default_names[a]) << "entry " << a;
        EXPECT_EQ(score_table[a].player_score, default_scores[a]) << "entry " << a;
    }
}

// Every file test runs in a fresh empty folder with the table as it is at program start.
class ScoreFile : public ::testing::Test {
  protected:
    char old_cwd[4096];
    std::string dir;
    void SetUp() override
    {
        ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
        dir = make_temp_dir("hiscore");
        ASSERT_FALSE(dir.empty());
        ASSERT_EQ(chdir(dir.c_str()), 0);
        memset(score_table, 0, sizeof score_table);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(old_cwd), 0);
    }
};

// ---- defaults ----

TEST_F(ScoreFile, MissingFileGivesTheDefaultsAndCreatesNothing)
{
    EXPECT_FALSE(load_scores());
    expect_defaults();
    EXPECT_FALSE(file_exists(SCORE_FILE));
}

TEST_F(ScoreFile, DefaultsSavedFromAFreshTableHaveZeroBehindTheNames)
{
    set_default_scores();
    ASSERT_TRUE(save_scores());
    bytes b = read_file(SCORE_FILE);
    ASSERT_EQ(b.size(), 400u);
    bytes expected;
    for (int a = 0; a < SCORE_PLACES; a++) {
        bytes r = record_bytes(default_scores[a], default_names[a], 0);
        expected.insert(expected.end(), r.begin(), r.end());
    }
    EXPECT_EQ(b, expected);
}

TEST_F(ScoreFile, DefaultsOnlyRewriteTheNamesUpToTheirTerminator)
{
    memset(score_table[3].player_name, 'x', NAME_FIELD);
    set_default_scores();
    EXPECT_STREQ(score_table[3].player_name, "Zebra");
    EXPECT_EQ(score_table[3].player_name[6], 'x');
}

// ---- file sizes ----

TEST_F(ScoreFile, FourHundredByteFileGivesItsTenRecords)
{
    bytes b = ten_records(0xA0);
    // Scores the little-endian way, negative ones in two's complement.
    bytes r0 = record_bytes(0x01020304, "Big", 0);
    bytes r9 = record_bytes(static_cast<uint32_t>(-2), "Neg", 0);
    std::copy(r0.begin(), r0.end(), b.begin());
    std::copy(r9.begin(), r9.end(), b.begin() + 360);
    write_file(SCORE_FILE, b);
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "stale");
    score_table[CANDIDATE_ENTRY].player_score = 777;

    EXPECT_TRUE(load_scores());
    EXPECT_EQ(score_table[0].player_score, 0x01020304);
    EXPECT_STREQ(score_table[0].player_name, "Big");
    for (int a = 1; a < 9; a++) {
        EXPECT_EQ(score_table[a].player_score, 1000 - 100 * a);
        EXPECT_EQ(std::string(score_table[a].player_name), "P" + std::to_string(a));
    }
    EXPECT_EQ(score_table[9].player_score, -2);
    EXPECT_STREQ(score_table[9].player_name, "Neg");
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "enter name");
    EXPECT_EQ(score_table[CANDIDATE_ENTRY].player_score, 0);
}

TEST_F(ScoreFile, ContentsAreTakenAsTheyStand)
{
    bytes b = ten_records(0);
    bytes low = record_bytes(5, "Low", 0);
    std::copy(low.begin(), low.end(), b.begin()); // out of order in the first place
    write_file(SCORE_FILE, b);
    EXPECT_TRUE(load_scores());
    EXPECT_EQ(score_table[0].player_score, 5);
    EXPECT_EQ(score_table[1].player_score, 900);
}

TEST_F(ScoreFile, ThreeHundredNinetyNineByteFileGivesTheDefaultsAndStays)
{
    bytes b = ten_records(0x11);
    b.resize(399);
    write_file(SCORE_FILE, b);
    EXPECT_FALSE(load_scores());
    expect_defaults(); // nothing of the nine whole records read survives
    EXPECT_EQ(read_file(SCORE_FILE), b);
}

TEST_F(ScoreFile, FourHundredAndOneByteFileGivesTenRecordsAndIsCutBackBySave)
{
    bytes b = ten_records(0x22);
    b.push_back(0x5A);
    write_file(SCORE_FILE, b);
    EXPECT_TRUE(load_scores());
    EXPECT_EQ(score_table[9].player_score, 100);
    ASSERT_TRUE(save_scores());
    bytes saved = read_file(SCORE_FILE);
    EXPECT_EQ(saved, bytes(b.begin(), b.begin() + 400));
}

TEST_F(ScoreFile, EmptyFileAndFolderNamedLikeTheFileGiveTheDefaults)
{
    write_file(SCORE_FILE, bytes());
    EXPECT_FALSE(load_scores());
    expect_defaults();
    ASSERT_EQ(remove(SCORE_FILE), 0);
    ASSERT_EQ(mkdir(SCORE_FILE, 0755), 0);
    memset(score_table, 0, sizeof score_table);
    EXPECT_FALSE(load_scores());
    expect_defaults();
}

// ---- byte for byte ----

TEST_F(ScoreFile, ReadThenWriteReproducesAFileByteForByte)
{
    // Filler behind every terminator and in the padding, different in each record.
    bytes b = ten_records(0xC3);
    write_file(SCORE_FILE, b);
    ASSERT_TRUE(load_scores());
    ASSERT_TRUE(save_scores());
    EXPECT_EQ(read_file(SCORE_FILE), b);
}

TEST_F(ScoreFile, SaveThenLoadGivesTheSameRecordsBehindTheTerminatorsToo)
{
    set_default_scores();
    // A long name overwritten by a shorter one leaves its tail behind the terminator.
    strcpy(score_table[2].player_name, "Rhinoceros");
    strcpy(score_table[2].player_name, "Ox");
    score_table[2].player_score = -123456;
    memcpy(score_table[4].padding, "\x01\x02\x03", 3);
    ASSERT_TRUE(save_scores());

    bytes b = read_file(SCORE_FILE);
    ASSERT_EQ(b.size(), 400u);
    // Record 2: score -123456 = 0xFFFE1DC0 little-endian, then "Ox", NUL, "noceros", NUL.
    const unsigned char rec2[] = {0xC0, 0x1D, 0xFE, 0xFF, 'O', 'x', 0, 'n',
                                  'o',  'c',  'e',  'r',  'o', 's', 0};
    EXPECT_EQ(0, memcmp(&b[80], rec2, sizeof rec2));
    EXPECT_EQ(b[160 + 37], 1);
    EXPECT_EQ(b[160 + 39], 3);

    Score saved[SCORE_PLACES];
    memcpy(saved, score_table, sizeof saved);
    memset(score_table, 0, sizeof score_table);
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(0, memcmp(saved, score_table, sizeof saved));
}

TEST_F(ScoreFile, EmptyNameIsSavedAsZeroLengthString)
{
    set_default_scores();
    score_table[0].player_name[0] = '\0';
    ASSERT_TRUE(save_scores());
    EXPECT_EQ(read_file(SCORE_FILE)[4], 0);
    ASSERT_TRUE(load_scores());
    EXPECT_STREQ(score_table[0].player_name, "");
}

TEST_F(ScoreFile, NameWithoutTerminatorIsCutAtThirtyTwoCharacters)
{
    bytes b = ten_records(0);
    bytes full(SCORE_RECORD_SIZE, 'N');
    full[0] = 7, full[1] = full[2] = full[3] = 0;
    std::copy(full.begin(), full.end(), b.begin() + 40);
    write_file(SCORE_FILE, b);
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(strlen(score_table[1].player_name), 32u);
    EXPECT_EQ(std::string(score_table[1].player_name), std::string(32, 'N'));
    EXPECT_EQ(score_table[1].player_score, 7);
    EXPECT_STREQ(score_table[2].player_name, "P2");
}

// ---- failing saves ----

class FailingSave : public ScoreFile {
  protected:
    bytes old_file;
    void SetUp() override
    {
        ScoreFile::SetUp();
        old_file = ten_records(0x33);
        write_file(SCORE_FILE, old_file);
        set_default_scores(); // a table that differs from the file
    }
    void expect_old_file_intact()
    {
        EXPECT_EQ(read_file(SCORE_FILE), old_file);
    }
};

TEST_F(FailingSave, TemporaryFileThatCannotBeMadeLeavesTheOldFile)
{
    // A folder in the way of the temporary file: no one, root included, can open it for writing.
    ASSERT_EQ(mkdir(SCORE_TEMP_FILE, 0755), 0);
    EXPECT_FALSE(save_scores());
    expect_old_file_intact();
}

TEST_F(FailingSave, RemovedWorkingFolderFails)
{
    // Run where the working directory has been removed: nothing can be created in it.
    std::string gone = dir + "/gone";
    ASSERT_EQ(mkdir(gone.c_str(), 0755), 0);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    EXPECT_FALSE(save_scores());
    ASSERT_EQ(chdir(dir.c_str()), 0);
    expect_old_file_intact();
}

TEST_F(FailingSave, WriteCutShortLikeAFullDiskLeavesTheOldFile)
{
    // A file-size limit of 100 bytes stops the write part-way, even for root.
    struct rlimit old_limit, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    small = old_limit;
    small.rlim_cur = 100;
    auto old_handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = save_scores();
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved);
    expect_old_file_intact();
    EXPECT_FALSE(file_exists(SCORE_TEMP_FILE)); // the half-written copy is cleared away
}

TEST_F(FailingSave, RenameOverAFolderFailsAndClearsTheTemporaryFile)
{
    ASSERT_EQ(remove(SCORE_FILE), 0);
    ASSERT_EQ(mkdir(SCORE_FILE, 0755), 0);
    std::string inside = std::string(SCORE_FILE) + "/keep";
    write_file(inside.c_str(), bytes{1, 2, 3});
    EXPECT_FALSE(save_scores());
    EXPECT_EQ(read_file(inside.c_str()), (bytes{1, 2, 3}));
    EXPECT_FALSE(file_exists(SCORE_TEMP_FILE));
}

TEST_F(FailingSave, StaleTemporaryFileIsNoObstacle)
{
    write_file(SCORE_TEMP_FILE, bytes(1000, 0xEE));
    EXPECT_TRUE(save_scores());
    EXPECT_FALSE(file_exists(SCORE_TEMP_FILE));
    ASSERT_TRUE(load_scores());
    expect_defaults();
}

// ---- placing new scores ----

// What the game does at the end of a game for one player whose name has been typed.
static bool place_score(int score, const char *name)
{
    if (score <= score_table[SCORE_PLACES - 1].player_score) return false;
    score_table[CANDIDATE_ENTRY].player_score = score;
    strcpy(score_table[CANDIDATE_ENTRY].player_name, name);
    sort_scores();
    return save_scores();
}

static bool is_forty_point_default(const char *name)
{
    for (int a = 5; a < 10; a++)
        if (strcmp(name, default_names[a]) == 0) return true;
    return false;
}

TEST_F(ScoreFile, FortyDoesNotQualifyAgainstTheDefaults)
{
    load_scores();
    EXPECT_FALSE(place_score(40, "Tie"));
    expect_defaults();
    EXPECT_FALSE(file_exists(SCORE_FILE));
}

TEST_F(ScoreFile, FortyOneTakesSixthPlaceAndOneFortyDropsOut)
{
    load_scores();
    ASSERT_TRUE(place_score(41, "Newcomer"));
    for (int a = 0; a < 5; a++)
        EXPECT_STREQ(score_table[a].player_name, default_names[a]);
    EXPECT_STREQ(score_table[5].player_name, "Newcomer");
    EXPECT_EQ(score_table[5].player_score, 41);
    for (int a = 6; a < SCORE_ENTRIES; a++) {
        EXPECT_EQ(score_table[a].player_score, 40);
        EXPECT_TRUE(is_forty_point_default(score_table[a].player_name));
    }
    // The one in entry 10 is left out of the file and gone after the next load.
    std::string dropped = score_table[CANDIDATE_ENTRY].player_name;
    ASSERT_TRUE(load_scores());
    for (int a = 0; a < SCORE_PLACES; a++)
        EXPECT_NE(dropped, score_table[a].player_name);
    EXPECT_STREQ(score_table[5].player_name, "Newcomer");
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "enter name");
}

TEST_F(ScoreFile, ScoreAboveNinetyTakesFirstPlace)
{
    load_scores();
    ASSERT_TRUE(place_score(95, "Champ"));
    EXPECT_STREQ(score_table[0].player_name, "Champ");
    for (int a = 1; a <= 5; a++)
        EXPECT_STREQ(score_table[a].player_name, default_names[a - 1]);
    for (int a = 6; a < SCORE_ENTRIES; a++)
        EXPECT_EQ(score_table[a].player_score, 40);
}

TEST_F(ScoreFile, SecondPlayerIsMeasuredAgainstTheNewTenthPlace)
{
    write_file(SCORE_FILE, ten_records(0)); // places 1000 down to 100
    ASSERT_TRUE(load_scores());
    ASSERT_TRUE(place_score(150, "One")); // enters tenth place, above the old 100
    EXPECT_EQ(score_table[9].player_score, 150);
    EXPECT_FALSE(place_score(150, "Two")); // would have beaten the old tenth, not the new
    EXPECT_FALSE(place_score(120, "Two"));
    // One point more enters tenth place and pushes player 1's entry out again.
    ASSERT_TRUE(place_score(151, "Two"));
    EXPECT_STREQ(score_table[8].player_name, "P8");
    EXPECT_STREQ(score_table[9].player_name, "Two");
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "One");
    ASSERT_TRUE(load_scores());
    EXPECT_STREQ(score_table[9].player_name, "Two");
}

TEST_F(ScoreFile, ExtremeScoresFromAFileStillSortHighestFirst)
{
    bytes b = ten_records(0);
    bytes top = record_bytes(INT32_MAX, "Max", 0), bottom = record_bytes(0x80000000u, "Min", 0);
    std::copy(bottom.begin(), bottom.end(), b.begin());
    std::copy(top.begin(), top.end(), b.begin() + 360);
    write_file(SCORE_FILE, b);
    ASSERT_TRUE(load_scores());
    sort_scores();
    EXPECT_STREQ(score_table[0].player_name, "Max");
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "Min");
    for (int a = 1; a < SCORE_ENTRIES; a++)
        EXPECT_GE(score_table[a - 1].player_score, score_table[a].player_score);
}

// ---- name editor ----

static int letter_key(char c)
{
    return ((KEY_A + (c - 'A')) << 8) | c;
}

static int special_key(int scancode, int ascii = 0)
{
    return (scancode << 8) | ascii;
}

static void type_text(name_editor *ed, const char *text)
{
    for (; *text; text++)
        name_editor_key(ed, letter_key(*text));
}

class NameEditor : public ::testing::Test {
  protected:
    name_editor ed;
    void SetUp() override
    {
        name_editor_reset(&ed);
    }
    void press(int scancode, int ascii = 0, int times = 1)
    {
        while (times--)
            name_editor_key(&ed, special_key(scancode, ascii));
    }
};

TEST_F(NameEditor, TenLettersGiveTheFirstEight)
{
    type_text(&ed, "ABCDEFGHIJ");
    EXPECT_STREQ(ed.text, "ABCDEFGH");
    EXPECT_EQ(ed.caret, 8);
}

TEST_F(NameEditor, OverwriteReplacesEByXInAFullName)
{
    type_text(&ed, "ABCDEFGH");
    press(KEY_LEFT, 0, 4);
    press(KEY_INSERT);
    EXPECT_FALSE(ed.insert);
    type_text(&ed, "X");
    EXPECT_STREQ(ed.text, "ABCDXFGH");
    EXPECT_EQ(ed.caret, 5);
}

TEST_F(NameEditor, InsertIntoAFullNameIsRejected)
{
    type_text(&ed, "ABCDEFGH");
    press(KEY_LEFT, 0, 4);
    type_text(&ed, "X");
    EXPECT_STREQ(ed.text, "ABCDEFGH");
    EXPECT_EQ(ed.caret, 4);
    type_text(&ed, "Y"); // the caret stayed where it was
    EXPECT_STREQ(ed.text, "ABCDEFGH");
}

TEST_F(NameEditor, InsertInTheMiddleShiftsTheRest)
{
    type_text(&ed, "ACD");
    press(KEY_LEFT, 0, 2);
    type_text(&ed, "B");
    EXPECT_STREQ(ed.text, "ABCD");
    EXPECT_EQ(ed.caret, 2);
}

TEST_F(NameEditor, OverwriteAtTheEndAppendsUpToTheLimit)
{
    press(KEY_INSERT);
    type_text(&ed, "ABCDEFGHIJ");
    EXPECT_STREQ(ed.text, "ABCDEFGH");
    EXPECT_FALSE(ed.insert);
}

TEST_F(NameEditor, BackspaceAtTheStartAndDeleteAtTheEndChangeNothing)
{
    type_text(&ed, "AB");
    press(KEY_DEL, 127);
    EXPECT_STREQ(ed.text, "AB");
    EXPECT_EQ(ed.caret, 2);
    press(KEY_LEFT, 0, 2);
    press(KEY_BACKSPACE, 8);
    EXPECT_STREQ(ed.text, "AB");
    EXPECT_EQ(ed.caret, 0);
    press(KEY_LEFT); // no further left than the start
    press(KEY_RIGHT, 0, 3);
    EXPECT_EQ(ed.caret, 2); // no further right than the end
}

TEST_F(NameEditor, BackspaceAndDeleteInsideTheText)
{
    type_text(&ed, "ABCDE");
    press(KEY_LEFT, 0, 2); // caret before D
    press(KEY_BACKSPACE, 8);
    EXPECT_STREQ(ed.text, "ABDE");
    EXPECT_EQ(ed.caret, 2);
    press(KEY_DEL, 127);
    EXPECT_STREQ(ed.text, "ABE");
    EXPECT_EQ(ed.caret, 2);
}

TEST_F(NameEditor, PrintableCharactersAreTakenWhateverTheirScancode)
{
    name_editor_key(&ed, special_key(KEY_SPACE, ' '));
    name_editor_key(&ed, special_key(KEY_1, '!'));
    name_editor_key(&ed, special_key(KEY_TILDE, '~'));
    name_editor_key(&ed, special_key(KEY_BACKSPACE, 'z')); // a character wins over its key
    EXPECT_STREQ(ed.text, " !~z");
}

TEST_F(NameEditor, ControlCharactersAndHighCharactersAreIgnored)
{
    type_text(&ed, "AB");
    for (int c = 1; c < 32; c++)
        name_editor_key(&ed, special_key(KEY_Q, c));
    name_editor_key(&ed, special_key(KEY_Q, 127));
    for (int c = 128; c < 256; c++)
        name_editor_key(&ed, special_key(KEY_E, c));
    press(KEY_ENTER, 13);
    press(KEY_ESC, 27);
    EXPECT_STREQ(ed.text, "AB");
    EXPECT_EQ(ed.caret, 2);
}

TEST_F(NameEditor, HomeEndUpAndDownLeaveTheCaret)
{
    type_text(&ed, "ABC");
    press(KEY_LEFT);
    press(KEY_HOME);
    press(KEY_END);
    press(KEY_UP);
    press(KEY_DOWN);
    type_text(&ed, "X");
    EXPECT_STREQ(ed.text, "ABXC");
}

// ---- which player's heading ----

class NameEntryPlayer : public ScoreFile {};

TEST_F(NameEntryPlayer, HeadingFollowsTheScore)
{
    load_scores();
    p1_score = 500, p2_score = 300, Menu_Option = 1;
    EXPECT_EQ(name_entry_player(500), 1);
    EXPECT_EQ(name_entry_player(300), 2);
    EXPECT_EQ(name_entry_player(400), 0);
}

TEST_F(NameEntryPlayer, NoNameEnteredYetMeansPlayerOneOnATie)
{
    load_scores();
    p1_score = p2_score = 300;
    Menu_Option = 1;
    EXPECT_EQ(name_entry_player(300), 1);
    Menu_Option = 0; // the computer's equal score never enters
    EXPECT_EQ(name_entry_player(300), 1);
}
