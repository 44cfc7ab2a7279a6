// test_scores -- the high-score file and table, qualifying, the safe save, the name editor, and
// the table and name-entry screens
#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "fade.h"
#include "fixture.h"
#include "hiscore.h"
#include "title_screen.h"

static const char *const default_names[SCORE_ENTRIES] = {
    "Elephant", "Hippo",   "Giraffe", "Zebra",  "Lion",      "Wombat",
    "Kangaroo", "Echidna", "Emu",     "Possum", "enter name"};
static const int default_scores[SCORE_ENTRIES] = {90, 80, 70, 60, 50, 40, 40, 40, 40, 40, 0};

// One 40-byte record as another writer might lay it out: little-endian score, the name and its
// NUL, filler in every byte that carries no meaning.
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

static std::string defaults()
{
    std::string t;
    for (int a = 0; a < SCORE_ENTRIES; a++)
        t += std::to_string(default_scores[a]) + " " + default_names[a] + ";";
    return t;
}

class Scores : public Headless {
  protected:
    void SetUp() override
    {
        Headless::SetUp();
        enter_temp_dir();
        memset(score_table, 0, sizeof score_table);
    }
};

// ---- the file ----

TEST_F(Scores, FilesWithoutTenWholeRecordsGiveTheBuiltInTableAndStay)
{
    EXPECT_FALSE(load_scores()); // no file
    EXPECT_EQ(table(), defaults());
    EXPECT_NE(access(SCORE_FILE, F_OK), 0);
    for (std::string bytes : {std::string(), ten_records(0x11).substr(0, 399)}) {
        write_file(SCORE_FILE, bytes);
        memset(score_table, 0, sizeof score_table);
        EXPECT_FALSE(load_scores()) << bytes.size();
        EXPECT_EQ(table(), defaults()); // nothing of nine whole records survives
        EXPECT_EQ(file_bytes(SCORE_FILE), bytes);
    }
    ASSERT_EQ(remove(SCORE_FILE) + mkdir(SCORE_FILE, 0755), 0); // a folder in its place
    memset(score_table, 0, sizeof score_table);
    EXPECT_FALSE(load_scores());
    EXPECT_EQ(table(), defaults());
    memset(score_table[3].player_name, 'x', NAME_FIELD); // only up to the terminators
    set_default_scores();
    EXPECT_EQ(score_table[3].player_name[6], 'x');
}

TEST_F(Scores, FileRecordsAreTakenAsTheyStandAndWrittenBackByteForByte)
{
    // Out of order, a score 0x01020304, a negative one, a name filling all 33 bytes (cut at 32),
    // and a 401st byte, which a save leaves out.
    std::string b = ten_records(char(0xC3));
    b.replace(0, 40, record(0x01020304, "Big", 0));
    b.replace(40, 40, std::string(4, 0) + std::string(36, 'N'));
    b.replace(80, 40, record(5, "Low", 0));
    b.replace(360, 40, record(uint32_t(-2), "Neg", 0));
    write_file(SCORE_FILE, b + "Z");
    score_table[CANDIDATE_ENTRY].player_score = 777;
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(table(), "16909060 Big;0 " + std::string(32, 'N') +
                           ";5 Low;700 P3;600 P4;500 P5;400 P6;300 P7;200 P8;-2 Neg;0 enter name;");
    ASSERT_TRUE(save_scores());
    b[40 + 36] = 0; // the 33rd N became the terminator
    EXPECT_EQ(file_bytes(SCORE_FILE), b);
    EXPECT_NE(access(SCORE_TEMP_FILE, F_OK), 0);
}

TEST_F(Scores, SaveWritesTheTableAsItStandsInMemory)
{
    set_default_scores();
    ASSERT_TRUE(save_scores()); // from a zeroed table: zeros behind every name
    std::string want;
    for (int a = 0; a < SCORE_PLACES; a++)
        want += record(default_scores[a], default_names[a], 0);
    EXPECT_EQ(file_bytes(SCORE_FILE), want);
    strcpy(score_table[2].player_name, "Rhinoceros"); // a shorter name leaves the tail behind
    strcpy(score_table[2].player_name, "Ox");
    score_table[2].player_score = -123456; // 0xFFFE1DC0
    memcpy(score_table[4].padding, "\x01\x02\x03", 3);
    score_table[0].player_name[0] = 0;
    ASSERT_TRUE(save_scores());
    std::string b = file_bytes(SCORE_FILE);
    EXPECT_EQ(b.substr(80, 15), std::string("\xC0\x1D\xFE\xFFOx\0noceros\0", 15));
    EXPECT_EQ(b.substr(160 + 37, 3) + b[4], std::string("\x01\x02\x03\0", 4));
    Score saved[SCORE_PLACES];
    memcpy(saved, score_table, sizeof saved);
    memset(score_table, 0, sizeof score_table);
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(memcmp(saved, score_table, sizeof saved), 0);
}

// A save that fails at any step returns false and leaves the old file as it was, with no
// temporary file left over; a stale temporary file is no obstacle.
TEST_F(Scores, FailedSaveLeavesTheOldFile)
{
    const std::string old = ten_records(0x33);
    auto intact = [&](const char *how) {
        EXPECT_EQ(file_bytes(SCORE_FILE), old) << how;
        EXPECT_NE(access(SCORE_TEMP_FILE, F_OK), 0) << how;
    };
    write_file(SCORE_FILE, old);
    set_default_scores();
    ASSERT_EQ(mkdir(SCORE_TEMP_FILE, 0755), 0); // no one can open a folder for writing
    EXPECT_FALSE(save_scores());
    ASSERT_EQ(rmdir(SCORE_TEMP_FILE), 0);
    intact("temporary file blocked");
    struct rlimit limit, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    small = limit;
    small.rlim_cur = 100; // a write cut short, as on a full disk, even for root
    auto old_handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = save_scores();
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(saved);
    intact("cut short");
    ASSERT_EQ(mkdir("gone", 0755) + chdir("gone") + rmdir("../gone"), 0); // a removed folder
    EXPECT_FALSE(save_scores());
    ASSERT_EQ(chdir(".."), 0);
    intact("removed folder");
    ASSERT_EQ(remove(SCORE_FILE) + mkdir(SCORE_FILE, 0755), 0); // a folder where the file goes
    EXPECT_FALSE(save_scores());
    EXPECT_NE(access(SCORE_TEMP_FILE, F_OK), 0);
    ASSERT_EQ(rmdir(SCORE_FILE), 0);
    write_file(SCORE_TEMP_FILE, std::string(1000, 'E'));
    EXPECT_TRUE(save_scores());
    EXPECT_NE(access(SCORE_TEMP_FILE, F_OK), 0);
    ASSERT_TRUE(load_scores());
    EXPECT_EQ(table(), defaults());
}

// ---- placing a new score, and the name editor ----

// What the game does for a player whose name has been typed: beat the tenth place, sort, save.
static bool place_score(int score, const char *name)
{
    if (score <= score_table[SCORE_PLACES - 1].player_score) return false;
    score_table[CANDIDATE_ENTRY].player_score = score;
    strcpy(score_table[CANDIDATE_ENTRY].player_name, name);
    sort_scores();
    return save_scores();
}

TEST_F(Scores, NewScoreTakesItsPlaceTheTenthDropsOutAndExtremesSort)
{
    load_scores();
    EXPECT_FALSE(place_score(40, "Tie"));
    ASSERT_TRUE(place_score(41, "Newcomer") && place_score(95, "Champ"));
    std::string dropped = score_table[CANDIDATE_ENTRY].player_name;
    ASSERT_TRUE(load_scores()); // the one in entry 10 is gone from the file
    std::string top = "95 Champ;90 Elephant;80 Hippo;70 Giraffe;60 Zebra;50 Lion;41 Newcomer;40 ";
    EXPECT_EQ(table().substr(0, top.size()), top);
    EXPECT_EQ(table().find(dropped), std::string::npos);
    std::string b = ten_records(0);
    b.replace(0, 40, record(0x80000000u, "Min", 0));
    b.replace(360, 40, record(INT32_MAX, "Max", 0));
    write_file(SCORE_FILE, b);
    ASSERT_TRUE(load_scores());
    sort_scores(); // compared, not subtracted: no overflow
    EXPECT_EQ(table(), "2147483647 Max;900 P1;800 P2;700 P3;600 P4;500 P5;400 P6;300 P7;200 P8;"
                       "0 enter name;-2147483648 Min;");
}

// Keys as readkey() gives them: letters and spaces are themselves; "<" Left, ">" Right,
// "B" Backspace, "D" Delete, "I" Insert, "H" Home, "E" End, "U" Up, "W" Down, "^" Enter.
static int key_code(char c)
{
    const char *special = "<>BDIHEUW^";
    const int codes[] = {KEY_LEFT << 8,      KEY_RIGHT << 8,  KEY_BACKSPACE << 8 | 8,
                         KEY_DEL << 8 | 127, KEY_INSERT << 8, KEY_HOME << 8,
                         KEY_END << 8,       KEY_UP << 8,     KEY_DOWN << 8,
                         KEY_ENTER << 8 | 13};
    if (const char *at = strchr(special, c)) return codes[at - special];
    return ((c >= 'a' ? KEY_A + c - 'a' : KEY_SPACE) << 8) | c;
}

TEST_F(Headless, NameEditorTypesUpToEightCharactersAndEdits)
{
    const struct {
        const char *keys, *text;
        int caret;
        bool insert;
    } rows[] = {
        {"abcdefghij", "abcdefgh", 8, true},      // the ninth and tenth are taken back
        {"abcdefgh<<<<Ix", "abcdxfgh", 5, false}, // overwrite in a full name
        {"abcdefgh<<<<xy", "abcdefgh", 4, true},  // insert into a full name is refused
        {"acd<<b", "abcd", 2, true},              // insert shifts the rest
        {"Iabcdefghij", "abcdefgh", 8, false},    // overwrite at the end appends up to 8
        {"abD<<B<>>>", "ab", 2, true},            // nothing beyond either end
        {"abcde<<BD", "abe", 2, true},            // Backspace and Delete inside
        {"abc<HEUW^x", "abxc", 3, true},          // Home, End, Up, Down and Enter do nothing
        {"II a", " a", 2, true},                  // Insert twice is insert again
    };
    for (const auto &r : rows) {
        name_editor ed;
        name_editor_reset(&ed);
        for (const char *k = r.keys; *k; k++)
            name_editor_key(&ed, key_code(*k));
        EXPECT_EQ(ed.text + std::to_string(ed.caret) + (ed.insert ? "i" : "o"),
                  r.text + std::to_string(r.caret) + (r.insert ? "i" : "o"))
            << r.keys;
    }
    name_editor ed;
    name_editor_reset(&ed);
    // Any printable character, whatever its key, even one on an editing key; no control or
    // high character.
    for (int k : {KEY_1 << 8 | '!', KEY_TILDE << 8 | '~', KEY_BACKSPACE << 8 | 'z', 1, 8, 13, 27,
                  31, 127, 128, 0xE9, 255})
        name_editor_key(&ed, k);
    EXPECT_STREQ(ed.text, "!~z");
}

// ---- the table screen ----

// Keys fed through the library's keyboard hooks. Keys queued "early" are waiting before the
// table is drawn; once the buffer is found empty the "late" ones arrive, then Enter goes down.
static std::string early_keys, late_keys;
static size_t early_at, late_at;
static bool late_open;

static int hook_keypressed()
{
    if (!late_open) {
        late_open = early_at == early_keys.size();
        return !late_open;
    }
    if (late_at < late_keys.size()) return 1;
    key[KEY_ENTER] = 1;
    return 0;
}

static int hook_readkey()
{
    return key_code(late_open ? late_keys[late_at++] : early_keys[early_at++]);
}

class TableScreen : public Scores {
  protected:
    void SetUp() override
    {
        Scores::SetUp();
        install_keyboard_hooks(hook_keypressed, hook_readkey);
        set_default_scores();
        queue("", "");
        mouse_x = mouse_y = 10;
        Menu_Option = MENU_ONE_PLAYER;
    }
    static void queue(const char *early, const char *late)
    {
        early_keys = early, late_keys = late;
        early_at = late_at = 0;
        late_open = false;
        key[KEY_ENTER] = 0;
    }
};

// Over a backdrop, every pixel can be foretold: the table's text where its rows go; inside the
// area 100-699 x 100-454 each lit pixel darkened by 100 red and green if both are over 100,
// and the undarkened picture of 100-699 x 100-449 laid over it 2 right and 2 down, black and
// the mask colour left out. First on black; then with a strip of every colour left of the text.
TEST_F(TableScreen, TableIsDrawnInItsPlacesWithADarkEdgeUpAndLeft)
{
    strcpy(score_table[3].player_name, "");
    score_table[9].player_score = 7;
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "Hidden");
    BITMAP *backdrop = create_bitmap(800, 600), *real = hiscore_table1;
    hiscore_table1 = backdrop;
    FONT *f = data_font(DAT_FONT_SCORE);
    int mask = bitmap_mask_color(stretch);
    unsigned v = 1;
    for (int pass = 0; pass < 3; pass++) { // the third clipped, which takes the pixel-by-pixel way
        clear_to_color(backdrop, 0);
        v = 1;
        for (int y = 100; y <= 454 && pass > 0; y++)
            for (int x = 100; x <= 189; x++, v = v * 1103515245u + 12345u)
                putpixel(backdrop, x, y, v % 11 == 0 ? 0 : v % 97 == 0 ? mask : (v >> 12) & 0xffff);
        BITMAP *want = create_bitmap(800, 600);
        blit(backdrop, want, 0, 0, 0, 0, 800, 600);
        int white = makecol(255, 255, 255), yellow = makecol(255, 255, 0);
        textout_ex(want, f, "PSN", 200, 110, white, -1);
        textout_ex(want, f, "NAME", 280, 110, white, -1);
        textout_ex(want, f, "SCORE", 460, 110, white, -1);
        for (int a = 0; a < 10; a++) {
            char place[8], score[16];
            snprintf(place, sizeof place, "%02d", a + 1);
            snprintf(score, sizeof score, "%05d", a == 9 ? 7 : default_scores[a]);
            textout_ex(want, f, place, 200, 160 + 30 * a, yellow, -1);
            textout_ex(want, f, a == 3 ? "" : default_names[a], 280, 160 + 30 * a, yellow, -1);
            textout_ex(want, f, score, 460, 160 + 30 * a, yellow, -1);
        }
        mouse_x = 300, mouse_y = 200;
        fade_pictures = -1;
        blit(backdrop, buffer, 0, 0, 0, 0, 800, 600); // what the clip keeps out: the backdrop
        set_clip_rect(buffer, pass == 2 ? 101 : 0, 0, 799, 599);
        hiscore_display(0);
        set_clip_rect(buffer, 0, 0, 799, 599);
        int wrong = 0;
        for (int y = 0; y < 600; y++)
            for (int x = 0; x < 800; x++) {
                if ((x >= 620 && y >= 420) || (pass == 2 && x <= 100)) continue; // ball, clip
                int here = getpixel(want, x, y), copy = getpixel(want, x - 2, y - 2), c = here;
                bool area = x >= 100 && x <= 699 && y >= 100 && y <= 454;
                if (area && here != 0 && getr(here) > 100 && getg(here) > 100)
                    c = makecol(getr(here) - 100, getg(here) - 100, getb(here));
                bool under_copy = x >= 102 && x <= 701 && y >= 102 && y <= 451;
                if (under_copy && copy != 0 && copy != mask) c = copy;
                wrong += getpixel(buffer, x, y) != c;
            }
        destroy_bitmap(want);
        // One frame, no pointer, no fade when not waiting; the screen shows the buffer.
        EXPECT_EQ(
            N(wrong, hiscore_frames, fade_pictures, pixels(screen, 0, 0, 799, 599, -1, buffer)),
            N(0, 1, -1, 0))
            << pass;
    }
    EXPECT_GT(pixels(buffer, 0, 0, 799, 599, makecol(155, 155, 0)), 100);
    hiscore_table1 = real;
    destroy_bitmap(backdrop);
}

// Bytes outside printable ASCII show as '^' (the library read past the name's end on them);
// the table keeps the bytes as they are.
TEST_F(TableScreen, NameBytesOutsidePrintableAsciiShowAsCarets)
{
    const char *raw[] = {"ZZZZZZZZZZ\xff\xff\xff\x05", "\xff", "Ab\x80\xc3z", "Q\x01\x1f\x7f!"};
    const char *shown[] = {"ZZZZZZZZZZ^^^^", "^", "Ab^^z", "Q^^^!"};
    for (int a = 0; a < 4; a++)
        strcpy(score_table[a].player_name, raw[a]);
    hiscore_display(0);
    EXPECT_STREQ(score_table[0].player_name, raw[0]);
    BITMAP *got = create_bitmap(800, 600);
    blit(buffer, got, 0, 0, 0, 0, 800, 600);
    for (int a = 0; a < 4; a++)
        strcpy(score_table[a].player_name, shown[a]);
    hiscore_display(0);
    EXPECT_EQ(pixels(buffer, 0, 0, 619, 599, -1, got), 0); // left of the spinning ball
    destroy_bitmap(got);
}

// The waiting table screen on a thread of its own, with the pointer at (x, y) and a button
// down: true when it ended by itself within 20 frames. If not, a click on the ball ends it.
static bool leaves_with_pointer_at(int x, int y, int button)
{
    mouse_x = x, mouse_y = y, mouse_b = button;
    hiscore_frames = 0;
    std::atomic<bool> done{false};
    std::thread t([&] {
        hiscore_display(1);
        done = true;
    });
    for (int i = 0; i < 60000 && !done && hiscore_frames < 20; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bool left = done;
    mouse_x = 706, mouse_y = 503, mouse_b = 2;
    t.join();
    return left;
}

// Any button on the quit ball, rim included, leaves with a fade; a held left button ends the
// frames at once but the fade waits for its release.
TEST_F(TableScreen, AnyButtonOnTheQuitBallLeavesWithAFade)
{
    fade_pictures = -1;
    EXPECT_TRUE(leaves_with_pointer_at(706 + 85, 503, 2));
    EXPECT_EQ(N(hiscore_frames, fade_pictures, getpixel(screen, 300, 200)), N(1, 15, 0));
    EXPECT_TRUE(leaves_with_pointer_at(706 - 51, 503 + 68, 4)); // 51 and 68 make 85 too
    EXPECT_FALSE(leaves_with_pointer_at(706 + 86, 503, 2));
    EXPECT_FALSE(leaves_with_pointer_at(706 - 52, 503 - 68, 1)); // 85.6 away
    EXPECT_FALSE(leaves_with_pointer_at(300, 200, 1));
    mouse_x = 706, mouse_y = 503, mouse_b = 1;
    hiscore_frames = 0, fade_pictures = -1;
    std::thread t([] { hiscore_display(1); });
    for (int i = 0; i < 60000 && hiscore_frames < 1; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(N(hiscore_frames, fade_pictures), N(1, -1));
    mouse_b = 0;
    t.join();
    EXPECT_EQ(fade_pictures, 15);
}

// ---- name entry ----

// The screen shows the panel's heading for player 1 or 2 over entry 8, drawn from (5, 5) at
// (5, 460).
static bool shows_heading(int player)
{
    BITMAP *panel = create_bitmap(800, 600);
    blit(entername1, panel, 5, 5, 5, 460, 600, 125);
    const char *text = player == 1 ? "Player 1-A new hi-score" : "Player 2-A new hi-score";
    bool shown = shows_text(screen, panel, DAT_FONT_TEXT, 20, 475, makecol(128, 32, 0), text, 0);
    destroy_bitmap(panel);
    return shown;
}

TEST_F(TableScreen, TypedNameGoesIntoTheCandidateEntryUnderItsHeading)
{
    p1_score = score_table[CANDIDATE_ENTRY].player_score = 41;
    queue("qq", "abcdefghij"); // keys from before the table are thrown away
    hiscore_enter_name(41);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "abcdefgh");
    EXPECT_TRUE(shows_heading(1));
    // The score and the two yellow lines over the panel; the name box, white-framed on black,
    // with the name 10 pixels in; the table screen beside them.
    int yellow = makecol(255, 255, 0), white = makecol(255, 255, 255);
    const struct {
        int font, x, y, colour;
        const char *text;
    } rows[] = {{DAT_FONT_NAME, 100, 505, makecol(64, 0, 64), "00041"},
                {DAT_FONT_TEXT, 15, 545, yellow, "Please use the keyboard"},
                {DAT_FONT_TEXT, 20, 560, yellow, "to enter your name"}};
    BITMAP *under = create_bitmap(800, 600);
    blit(entername1, under, 5, 5, 5, 460, 600, 125);
    for (const auto &r : rows)
        EXPECT_TRUE(shows_text(screen, under, r.font, r.x, r.y, r.colour, r.text, 0)) << r.text;
    clear_to_color(under, 0);
    EXPECT_TRUE(shows_text(screen, under, DAT_FONT_NAME, 380, 510, white, "abcdefgh", 0));
    EXPECT_EQ(N(pixels(screen, 370, 500, 569, 500, white),
                pixels(screen, 569, 500, 569, 549, white), pixels(screen, 550, 530, 565, 545, 0)),
              N(200, 50, 16 * 16));
    blit(screen, under, 0, 0, 0, 0, 800, 600);
    hiscore_display(0);
    EXPECT_EQ(pixels(under, 610, 0, 799, 599, -1, buffer), 0);
    destroy_bitmap(under);
}

TEST_F(TableScreen, NameEntryEditsTakesEnterAtOnceAndWantsAQualifyingScore)
{
    p2_score = 500;
    queue("", "abcdefgh<<<<IxD");
    hiscore_enter_name(500);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "abcdxgh");
    EXPECT_TRUE(shows_heading(2));
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "enter name");
    queue("", "");
    hiscore_enter_name(500); // Enter at once: only the terminator is written
    EXPECT_EQ(std::string(score_table[CANDIDATE_ENTRY].player_name) + "|" +
                  (score_table[CANDIDATE_ENTRY].player_name + 1),
              "|nter name");
    strcpy(score_table[CANDIDATE_ENTRY].player_name, "enter name");
    p1_score = 40; // below every place: nothing drawn, nothing stored
    clear_to_color(screen, makecol(1, 2, 3));
    queue("", "zz");
    hiscore_enter_name(40);
    EXPECT_STREQ(score_table[CANDIDATE_ENTRY].player_name, "enter name");
    EXPECT_EQ(pixels(screen, 0, 0, 799, 599, makecol(1, 2, 3)), 800 * 600);
}

// Both players made 300 in a two-player game: player 1 enters first, then player 2; the next
// game starts from a fresh load, player 1 again. The computer's equal score never enters.
TEST_F(TableScreen, TiedPlayersGetTheirOwnHeadingsInTurn)
{
    load_scores();
    p1_score = 500, p2_score = 300;
    EXPECT_EQ(N(name_entry_player(500), name_entry_player(300), name_entry_player(400)),
              N(1, 2, 0));
    p1_score = p2_score = 300;
    Menu_Option = MENU_TWO_PLAYER;
    for (int player : {1, 2}) {
        score_table[CANDIDATE_ENTRY].player_score = 300;
        queue("", "ab");
        hiscore_enter_name(300);
        sort_scores();
        EXPECT_TRUE(shows_heading(player));
    }
    EXPECT_EQ(name_entry_player(300), 2);
    load_scores();
    EXPECT_EQ(name_entry_player(300), 1);
}
