// test_gamedata -- the generated GAMEDATA.DAT, the start-up's checks of its entries and of its
// structure, and damaged files, which are refused with a message naming the file
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fixture.h"

using GameData = Headless;

static std::string why;

// The loaded entry table, objects shared, with entry e replaced by entry from (-1: the end).
static bool check_with(int e, int from)
{
    std::vector<DATAFILE> d(data, data + DAT_ENTRIES + 1);
    if (e >= 0) d[e] = from < 0 ? data[DAT_ENTRIES] : data[from];
    char text[256] = "";
    bool ok = check_gamedata(d.data(), text, sizeof text);
    why = text;
    return ok;
}

TEST_F(GameData, EntriesOfTheWrongKindOrSizeAreRefusedByNumber)
{
    EXPECT_TRUE(check_with(-1, 0)) << why;
    const struct {
        int entry, from;
        const char *says;
    } rows[] = {
        {DAT_BACKGROUND, DAT_PAD_SOUND, "entry 0 is not a bitmap"},
        {DAT_FONT_SCORE, DAT_TITLE_MUSIC, "entry 25 is not a font"},
        {DAT_FONT_LARGE, DAT_TITLE_BALL, "entry 27 is not a font"},
        {DAT_TITLE_MUSIC, DAT_FONT_TEXT, "entry 37 is not a sample"},
        {DAT_END_OF_TIME_SOUND, -1, "holds 45 entries, the game needs 46"},
        {DAT_HELP, DAT_TITLE_BALL, "entry 14 is a 170x170 bitmap, it must be 800x600"},
        {DAT_TITLE_BALL, DAT_TITLE_QUIT, "entry 33 is a"},
        {DAT_ENTERNAME, DAT_TITLE_BALL, "entry 8 is a 170x170 bitmap, it must be at least 605x130"},
        {DAT_BRUMZEL, DAT_SPRITE1, "entry 42 is a 10x10 bitmap"},
    };
    for (const auto &r : rows) {
        EXPECT_FALSE(check_with(r.entry, r.from)) << r.entry;
        EXPECT_NE(why.find(std::string("GAMEDATA.DAT")), std::string::npos) << why;
        EXPECT_NE(why.find(r.says), std::string::npos) << why;
    }
    EXPECT_TRUE(check_with(DAT_ENTERNAME, DAT_HELP)) << why;     // larger than needed is fine
    EXPECT_TRUE(check_with(DAT_UNUSED_5, DAT_PAD_SOUND)) << why; // unused entries take anything
    char text[256];
    EXPECT_FALSE(check_gamedata(nullptr, text, sizeof text));
    EXPECT_NE(strstr(text, "GAMEDATA.DAT is missing"), nullptr);
}

TEST_F(GameData, LoadPointsTheBitmapsIntoTheFileAndReplacesAnEarlierLoad)
{
    DATAFILE *first = data;
    char text[256];
    ASSERT_TRUE(load_gamedata(gamedata_path(), text, sizeof text)) << text;
    EXPECT_NE(data, first);
    const std::pair<BITMAP *, int> rows[] = {
        {background, 0},       {sprite1, 1},         {sprite2, 2},      {bottom_left1, 3},
        {bottom_right1, 4},    {entername1, 8},      {help1, 14},       {hiscore_table1, 15},
        {launcher_p1, 18},     {launcher_p2, 19},    {mouse_ptr1, 21},  {title1, 30},
        {title_1player1, 31},  {title_2player1, 32}, {title_ball1, 33}, {title_help1, 34},
        {title_hiscores1, 35}, {title_quit1, 36},    {top_left1, 38},   {top_right1, 39},
        {brumzel1, 42}};
    for (auto [bitmap, entry] : rows)
        EXPECT_EQ(bitmap, data[entry].dat) << entry;
    EXPECT_EQ(data_font(DAT_FONT_NAME), data[DAT_FONT_NAME].dat);
    EXPECT_FALSE(load_gamedata("/nonexistent/GAMEDATA.DAT", text, sizeof text));
    EXPECT_NE(strstr(text, "GAMEDATA.DAT is missing"), nullptr) << text;
    EXPECT_EQ(text_buffer->w * 1000 + text_buffer->h, 200050);
    EXPECT_EQ(stretch->w * 1000 + stretch->h, 600350);
    EXPECT_EQ(buffer->w * 1000 + buffer->h, 800600);
}

// ---- damaged files ----

using bytes = std::vector<uint8_t>;

static uint32_t get32(const bytes &b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

static void put(bytes &b, size_t at, uint32_t v, int width)
{
    for (int i = 0; i < width; i++)
        b[at + i] = uint8_t(v >> (8 * (width - 1 - i)));
}

// The generated file unpacked ("slh." and the plain data file), and for each top-level object
// where its first property, its header (kind, stored size, unpacked size) and its contents start.
struct unpacked_file {
    bytes b;
    std::vector<size_t> property, header, contents;
};

static unpacked_file unpack()
{
    unpacked_file u;
    u.b = {'s', 'l', 'h', '.'};
    PACKFILE *f = pack_fopen(gamedata_path(), "rp");
    uint8_t block[65536];
    long got;
    while (f && (got = pack_fread(block, sizeof block, f)) > 0)
        u.b.insert(u.b.end(), block, block + got);
    if (f) pack_fclose(f);
    size_t at = 12; // "slh.", "ALL.", the object count
    for (uint32_t n = 0; n < get32(u.b, 8); n++) {
        u.property.push_back(at);
        while (get32(u.b, at) == uint32_t(DAT_PROPERTY))
            at += 12 + get32(u.b, at + 8);
        u.header.push_back(at);
        u.contents.push_back(at + 12);
        at += 12 + get32(u.b, at + 4);
    }
    return u;
}

// Writes the bytes as a data file and runs the start-up's load on them.
static bool load(const bytes &b, const char *path = "GAMEDATA.DAT")
{
    FILE *f = fopen(path, "wb");
    fwrite(b.data(), 1, b.size(), f);
    fclose(f);
    char text[256] = "";
    bool ok = load_gamedata(path, text, sizeof text);
    why = text;
    return ok;
}

// The damages of a file that the library's loader would trust, crashing or reading past an
// object: each is refused, naming the file, and the game's own file loads again afterwards.
TEST_F(GameData, DamagedObjectsAreRefusedBeforeTheLoaderSeesThem)
{
    enter_temp_dir();
    unpacked_file u = unpack();
    ASSERT_EQ(u.header.size(), size_t(DAT_ENTRIES));
    size_t font = u.contents[DAT_FONT_TEXT];
    // The layout the damages rely on: fonts of one range of mono glyphs from 32 to 126.
    ASSERT_EQ(get32(u.b, u.header[DAT_FONT_TEXT]), uint32_t(DAT_FONT));
    ASSERT_EQ(get32(u.b, font), 1u); // format 0, one range
    ASSERT_EQ(u.b[font + 4], 1);
    ASSERT_EQ(get32(u.b, font + 5) * 1000 + get32(u.b, font + 9), 32126u);
    ASSERT_EQ(get32(u.b, u.property[0]), uint32_t(DAT_PROPERTY));
    EXPECT_TRUE(load(u.b)) << why;
    uint32_t stored = get32(u.b, u.header[0] + 4);
    const size_t bg = u.contents[DAT_BACKGROUND], snd = u.contents[DAT_PAD_SOUND];
    const struct {
        size_t at;
        uint32_t value;
        int width;
        const char *what;
    } rows[] = {
        {4, 0x414c4c2f, 4, "another magic number"},
        {8, 0x7fffffff, 4, "two thousand million objects"},
        {8, uint32_t(-1), 4, "a negative object count"},
        {8, 45, 4, "45 objects"},
        {u.property[0] + 8, 0x100001, 4, "a property of over 64 KiB"},
        {u.header[0] + 8, 0, 4, "unpacked size 0"},
        {u.header[0] + 8, stored - 1, 4, "unpacked size one short"},
        {u.header[0] + 8, stored + 1, 4, "unpacked size one over"},
        {u.header[0] + 8, uint32_t(-int32_t(stored)), 4, "packed on its own"},
        {u.header[0] + 4, 0x7ffffff0, 4, "a stored size past the end"},
        {bg, 7, 2, "a bitmap of 7 bits a pixel"},
        {bg + 2, 0, 2, "a bitmap 0 wide"},
        {bg + 4, 0x7fff, 2, "a bitmap taller than its chunk"},
        {snd, 12, 2, "a sample of 12 bits"},
        {snd + 4, 0x7fffffff, 4, "a sample longer than its chunk"},
        {font + 9, 0x7fffffff, 4, "a range to 2^31"},
        {font + 9, 0, 4, "a range ending before it starts"},
        {font + 5, 0xfffffff0, 4, "a range starting below 0"},
        {u.contents[DAT_FONT_SCORE] + 2, 0xffff, 2, "-1 ranges"},
        {u.contents[DAT_FONT_NAME] + 2, 0x7fff, 2, "32767 ranges"},
        {font, 1, 2, "font format 1"},
        {font + 13, 0xffff, 2, "a glyph -1 wide"},
        {u.contents[DAT_FONT_LARGE] + 15, 0x7fff, 2, "a glyph taller than its font"},
        {font + 4, 8, 1, "mono glyphs read as colour"},
        {u.header[DAT_UNUSED_5], DAT_RLE_SPRITE, 4, "text read as a compressed sprite"},
        {u.header[DAT_UNUSED_5], DAT_C_SPRITE, 4, "text read as a compiled sprite"},
        {u.header[DAT_UNUSED_5], DAT_XC_SPRITE, 4, "text read as a mode-X sprite"},
        {u.header[DAT_UNUSED_5], DAT_BITMAP, 4, "text read as a bitmap"},
        {u.header[DAT_UNUSED_20], DAT_MIDI, 4, "a tune with tracks longer than its chunk"},
        {u.header[DAT_UNUSED_20], DAT_FILE, 4, "a nested file of nonsense"},
        {u.header[DAT_PAD_SOUND], DAT_DATA, 4, "plain bytes where a sample belongs"},
    };
    for (const auto &r : rows) {
        bytes b = u.b;
        put(b, r.at, r.value, r.width);
        EXPECT_FALSE(load(b)) << r.what;
        EXPECT_NE(why.find("GAMEDATA.DAT"), std::string::npos) << r.what << ": " << why;
    }
    // Cut anywhere, the file is refused.
    for (size_t cut : {size_t(0), size_t(3), size_t(4), size_t(9), size_t(100), u.b.size() / 7,
                       u.b.size() / 2, u.b.size() - 100, u.b.size() - 1}) {
        EXPECT_FALSE(load(bytes(u.b.begin(), u.b.begin() + cut))) << "cut at " << cut;
        EXPECT_NE(why.find("GAMEDATA.DAT"), std::string::npos) << why;
    }
    // The whole file nested as the one object of another, four deep and five deep.
    bytes nested = u.b;
    for (int depth = 1; depth <= 5; depth++) {
        bytes outer = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 0, 0, 0, 1, 0, 0, 0, 0};
        put(outer, 12, DAT_FILE, 4);
        bytes sizes(8);
        put(sizes, 0, uint32_t(nested.size() - 8), 4);
        put(sizes, 4, uint32_t(nested.size() - 8), 4);
        outer.insert(outer.end(), sizes.begin(), sizes.end());
        outer.insert(outer.end(), nested.begin() + 8, nested.end());
        nested = outer;
        EXPECT_FALSE(load(nested)) << depth;
        if (depth < 5) {
            EXPECT_NE(why.find("holds 1 entries"), std::string::npos) << why;
        }
    }
    // Whatever a changed byte does, the file is refused or passes every check.
    for (size_t at : {4, 12, 20, 40, 64, 100, 200, 400, 1000, 5000}) {
        bytes b = u.b;
        b[at] ^= 0x5a;
        char text[256];
        if (load(b)) {
            EXPECT_TRUE(check_gamedata(data, text, sizeof text)) << at;
        }
    }
    char text[256];
    ASSERT_TRUE(load_gamedata(gamedata_path(), text, sizeof text)) << text;
}

// ---- what the generator makes ----

TEST_F(GameData, SamplesAreAudibleUnclippedAndShort)
{
    const int counts[] = {DAT_COUNT5_SOUND, DAT_COUNT4_SOUND, DAT_COUNT3_SOUND, DAT_COUNT2_SOUND,
                          DAT_COUNT1_SOUND};
    for (int e = 0; e < DAT_ENTRIES; e++) {
        if (gamedata_kind[e] != DAT_KIND_SAMPLE) continue;
        SAMPLE *s = static_cast<SAMPLE *>(data[e].dat);
        ASSERT_EQ(s->bits, 16) << e;
        ASSERT_EQ(s->stereo, 0) << e;
        const unsigned short *v = static_cast<const unsigned short *>(s->data);
        int peak = 0, pegged = 0; // held unsigned, silence at 0x8000
        double energy = 0;
        for (unsigned long i = 0; i < s->len; i++) {
            int a = abs(int(v[i]) - 0x8000);
            peak = std::max(peak, a);
            pegged += a >= 32767;
            energy += double(a) * a;
        }
        EXPECT_GT(peak, 12000) << e;
        EXPECT_EQ(pegged, 0) << e;
        EXPECT_GT(sqrt(energy / s->len), 600) << e;
        double seconds = s->len / double(s->freq);
        bool quick = e == DAT_LAUNCH_SOUND_P1 || e == DAT_LAUNCH_SOUND_P2 || e == DAT_KEY_CLICK;
        EXPECT_LT(seconds, quick ? 0.5 : e == DAT_TITLE_MUSIC ? 600 : 12) << e;
        if (e == DAT_TITLE_MUSIC) {
            EXPECT_GE(seconds, 20);
        }
    }
    for (int i = 0; i < 5; i++) // each count has a tone of its own
        for (int j = i + 1; j < 5; j++) {
            SAMPLE *a = static_cast<SAMPLE *>(data[counts[i]].dat);
            SAMPLE *b = static_cast<SAMPLE *>(data[counts[j]].dat);
            EXPECT_FALSE(a->len == b->len && !memcmp(a->data, b->data, 2 * a->len)) << i << j;
        }
}

// Every font covers printable ASCII in the one colour asked for, and fits its place: the large
// one "GET READY" at (260, 100), the score bar's five digits at 690, eight of the widest letters
// in the name box from 10 in, the longest body line on the screen.
TEST_F(GameData, FontsCoverAsciiInTheGamesColoursAndFitTheirPlaces)
{
    for (int e : {DAT_FONT_TEXT, DAT_FONT_SCORE, DAT_FONT_NAME, DAT_FONT_LARGE}) {
        FONT *f = data_font(e);
        EXPECT_LE(get_font_range_begin(f, -1), 32) << e;
        EXPECT_GE(get_font_range_end(f, -1), 126) << e;
        clear_bitmap(buffer);
        int colour = makecol(255, 64, 64);
        textout_ex(buffer, f, "GET READY 0123456789 abc ~", 10, 10, colour, -1);
        EXPECT_EQ(pixels(buffer, 0, 0, 799, 99, 0) + pixels(buffer, 0, 0, 799, 99, colour),
                  800 * 100)
            << e;
        EXPECT_GT(pixels(buffer, 0, 0, 799, 99, colour), 100) << e;
    }
    const struct {
        int font;
        const char *text;
        int max_w, min_h, max_h;
    } rows[] = {{DAT_FONT_LARGE, "GET READY", 320, 40, 50},
                {DAT_FONT_SCORE, "HI SCORE 99999", 410, 20, 27},
                {DAT_FONT_SCORE, "99999", 110, 20, 27},
                {DAT_FONT_TEXT, "Created using the ALLEGRO game programming library", 780, 12, 17},
                {DAT_FONT_TEXT, "Player 1-A new hi-score", 345, 12, 17},
                {DAT_FONT_NAME, "WWWWWWWW", 189, 22, 30}};
    for (const auto &r : rows) {
        FONT *f = data_font(r.font);
        EXPECT_LE(text_length(f, r.text), r.max_w) << r.text;
        EXPECT_GE(text_height(f), r.min_h) << r.text;
        EXPECT_LE(text_height(f), r.max_h) << r.text;
    }
}

// Pictures the rules rely on: round green and blue balls in 10x10, a logo that fills the
// burst's table, and the field's bright edges where its collision circles and side lines lie.
TEST_F(GameData, PicturesMatchTheShapesOfPlay)
{
    int g = getpixel(sprite1, 5, 5), b = getpixel(sprite2, 5, 5);
    EXPECT_GT(getg(g), std::max(getr(g), getb(g)));
    EXPECT_GT(getb(b), std::max(getr(b), getg(b)));
    EXPECT_EQ(getpixel(sprite1, 0, 0), bitmap_mask_color(sprite1));
    EXPECT_EQ(getpixel(sprite2, 9, 9), bitmap_mask_color(sprite2));
    // With the black row and column the logo's pixels leave room in the 3700 entries.
    int logo = 3600 - pixels(brumzel1, 0, 0, 59, 59, bitmap_mask_color(brumzel1));
    EXPECT_GT(logo, 2000);
    EXPECT_LE(logo + 121, 3700);
    const double c = 150 / sqrt(2.0);
    const int edges[][4] = {{28, 300, 42, 300},
                            {772, 300, 758, 300},
                            {400, 45, 400, 59},
                            {400, 557, 400, 543},
                            {int(c), int(c), int(c) + 10, int(c) + 10}};
    auto light = [](int col) { return (getr(col) * 30 + getg(col) * 59 + getb(col) * 11) / 100; };
    for (const auto &e : edges) {
        int edge = 0;
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                edge = std::max(edge, light(getpixel(background, e[0] + dx, e[1] + dy)));
        EXPECT_GT(edge, light(getpixel(background, e[2], e[3])) + 60) << e[0] << "," << e[1];
    }
    // The desktop icons are written beside the data file at three sizes.
    std::string dir = gamedata_path();
    dir = dir.substr(0, dir.rfind('/'));
    for (int size : {64, 128, 256}) {
        std::string png =
            file_bytes((dir + "/icons/brumzel-ball-" + std::to_string(size) + ".png").c_str());
        ASSERT_GE(png.size(), 24u) << size;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        EXPECT_EQ(get32(bytes(png.begin() + 16, png.begin() + 24), 0), uint32_t(size));
    }
}
