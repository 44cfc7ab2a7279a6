// test_gamedata -- the generated GAMEDATA.DAT, the start-up's checks of its entries and of its
// structure, and damaged files, which are refused with a message naming the file
#include <cmath>
#include <cstring>

#include "fixture.h"

using GameData = Headless;
using bytes = std::vector<uint8_t>;
static std::string why;

TEST_F(GameData, EntriesOfTheWrongKindOrSizeAreRefusedByNumber)
{
    BITMAP *big = create_bitmap(801, 600);
    const struct {
        int entry, from; // replaced by entry from; -1 the end of the file, -2 an 801x600 bitmap
        const char *says;
    } rows[] = {
        {-1, 0, ""}, // the file as it is
        {DAT_BACKGROUND, DAT_PAD_SOUND, "GAMEDATA.DAT: entry 0 is not a bitmap"},
        {DAT_FONT_SCORE, DAT_TITLE_MUSIC, "entry 25 is not a font"},
        {DAT_FONT_LARGE, DAT_TITLE_BALL, "entry 27 is not a font"},
        {DAT_TITLE_MUSIC, DAT_FONT_TEXT, "entry 37 is not a sample"},
        {DAT_END_OF_TIME_SOUND, -1, "GAMEDATA.DAT holds 45 entries, the game needs 46"},
        {DAT_HELP, DAT_TITLE_BALL, "entry 14 is a 170x170 bitmap, it must be 800x600"},
        {DAT_BACKGROUND, -2, "entry 0 is a 801x600 bitmap, it must be 800x600"},
        {DAT_TITLE_BALL, DAT_HELP, "entry 33 is a 800x600 bitmap, it must be 170x170"},
        {DAT_ENTERNAME, DAT_TITLE_BALL, "entry 8 is a 170x170 bitmap, it must be at least 605x130"},
        {DAT_BRUMZEL, DAT_SPRITE1, "entry 42 is a 10x10 bitmap, it must be at least 60x60"},
        {DAT_ENTERNAME, DAT_HELP, ""},      // larger than needed is fine
        {DAT_UNUSED_5, DAT_PAD_SOUND, ""}}; // an unused entry takes anything
    for (const auto &r : rows) {
        std::vector<DATAFILE> d(data, data + DAT_ENTRIES + 1);
        if (r.entry >= 0) d[r.entry] = data[r.from == -1 ? DAT_ENTRIES : std::max(r.from, 0)];
        if (r.from == -2) d[r.entry].dat = big;
        char text[256] = "";
        EXPECT_EQ(check_gamedata(d.data(), text, sizeof text), !*r.says) << r.entry;
        EXPECT_NE(strstr(text, r.says), nullptr) << text;
    }
    char text[256];
    EXPECT_FALSE(check_gamedata(nullptr, text, sizeof text));
    EXPECT_STREQ(text, "GAMEDATA.DAT is missing or cannot be read");
    destroy_bitmap(big);
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
    EXPECT_STREQ(text, "GAMEDATA.DAT is missing or cannot be read");
    EXPECT_EQ(N(text_buffer->w, text_buffer->h, stretch->w, stretch->h, buffer->w, buffer->h),
              N(200, 50, 600, 350, 800, 600));
}

// ---- damaged files ----

static uint32_t get32(const bytes &b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

static void put(bytes &b, size_t at, uint32_t v, int width)
{
    for (int i = 0; i < width; i++)
        b[at + i] = uint8_t(v >> (8 * (width - 1 - i)));
}

// Writes the bytes as a data file and runs the start-up's load on them.
static bool load(const bytes &b)
{
    FILE *f = fopen("GAMEDATA.DAT", "wb");
    if (!b.empty()) fwrite(b.data(), 1, b.size(), f); // an empty vector may have no storage
    fclose(f);
    char text[256] = "";
    bool ok = load_gamedata("GAMEDATA.DAT", text, sizeof text);
    why = text;
    return ok;
}

// Damages the library's loader would trust, crashing or reading past an object: each is
// refused, naming the file. The file is taken unpacked ("slh." and the plain data file), with
// each top-level object's first property, header (kind, stored size, unpacked size) and
// contents found by walking it.
TEST_F(GameData, DamagedFilesAreRefusedBeforeTheLoaderSeesThem)
{
    enter_temp_dir();
    bytes u = {'s', 'l', 'h', '.'};
    PACKFILE *f = pack_fopen(gamedata_path(), "rp");
    ASSERT_NE(f, nullptr);
    for (int c; (c = pack_getc(f)) != EOF;)
        u.push_back(uint8_t(c));
    pack_fclose(f);
    std::vector<size_t> property, header, contents;
    for (size_t n = 0, at = 12; n < get32(u, 8); n++, at += 12 + get32(u, at + 4)) {
        property.push_back(at);
        while (get32(u, at) == uint32_t(DAT_PROPERTY))
            at += 12 + get32(u, at + 8);
        header.push_back(at);
        contents.push_back(at + 12);
    }
    // The layout the damages rely on: 46 objects with names; fonts of one range of mono glyphs
    // from 32 to 126, each glyph's width and height before its pixels.
    const size_t font = contents[DAT_FONT_TEXT], bg = contents[0], snd = contents[DAT_PAD_SOUND];
    const size_t sprite = contents[DAT_SPRITE1];
    ASSERT_EQ(N(header.size(), get32(u, header[DAT_FONT_TEXT]), get32(u, font), u[font + 4],
                get32(u, font + 5), get32(u, font + 9), get32(u, property[0]), get32(u, sprite)),
              N(DAT_ENTRIES, DAT_FONT, 1, 1, 32, 126, DAT_PROPERTY, 0x0010000a)); // 16-bit, 10 wide
    EXPECT_TRUE(load(u)) << why;
    const uint32_t stored = get32(u, header[0] + 4);
    const struct {
        size_t at;
        uint32_t value;
        int width;
        bool loads;
        const char *what;
    } rows[] = {
        {4, 0x414c4c2f, 4, false, "another magic number"},
        {8, 0x7fffffff, 4, false, "two thousand million objects"},
        {8, uint32_t(-1), 4, false, "a negative object count"},
        {8, 45, 4, false, "45 objects"},
        {property[0] + 8, 0x10001, 4, false, "a property of over 64 KiB"},
        {header[0] + 8, 0, 4, false, "unpacked size 0"},
        {header[0] + 8, stored - 1, 4, false, "unpacked size one short"},
        {header[0] + 8, stored + 1, 4, false, "unpacked size one over"},
        {header[0] + 8, uint32_t(-int32_t(stored)), 4, false, "packed on its own"},
        {header[0] + 4, 0x7ffffff0, 4, false, "a stored size past the end"},
        {bg, 7, 2, false, "a bitmap of 7 bits a pixel"},
        {bg + 2, 0, 2, false, "a bitmap 0 wide"},
        {bg + 4, 0x7fff, 2, false, "a bitmap taller than its chunk"},
        {sprite, 0x00200005, 4, true, "a 32-bit ball 5 wide: the same bytes"},
        {sprite, 0x00080014, 4, true, "an 8-bit ball 20 wide"},
        {sprite, 0x000f000a, 4, true, "a 15-bit ball"},
        {snd, 12, 2, false, "a sample of 12 bits"},
        {snd + 4, 0x7fffffff, 4, false, "a sample longer than its chunk"},
        {font, 1, 2, false, "font format 1"},
        {font + 9, 0x7fffffff, 4, false, "a range to 2^31"},
        {font + 9, 0, 4, false, "a range ending before it starts"},
        {font + 5, 0xfffffff0, 4, false, "a range starting below 0"},
        {contents[DAT_FONT_SCORE] + 2, 0xffff, 2, false, "-1 ranges"},
        {contents[DAT_FONT_NAME] + 2, 0x7fff, 2, false, "32767 ranges"},
        {font + 13, 0xffff, 2, false, "a glyph -1 wide"},
        {contents[DAT_FONT_LARGE] + 15, 0x7fff, 2, false, "a glyph taller than its font"},
        {font + 4, 8, 1, false, "mono glyphs read as colour"},
        {header[DAT_UNUSED_5], DAT_RLE_SPRITE, 4, false, "text read as a compressed sprite"},
        {header[DAT_UNUSED_5], DAT_C_SPRITE, 4, false, "text read as a compiled sprite"},
        {header[DAT_UNUSED_5], DAT_XC_SPRITE, 4, false, "text read as a mode-X sprite"},
        {header[DAT_UNUSED_5], DAT_BITMAP, 4, false, "text read as a bitmap"},
        {header[DAT_UNUSED_20], DAT_MIDI, 4, false, "a tune with tracks longer than its chunk"},
        {header[DAT_UNUSED_20], DAT_FILE, 4, false, "a nested file of nonsense"},
        {header[DAT_PAD_SOUND], DAT_DATA, 4, false, "plain bytes where a sample belongs"},
    };
    for (const auto &r : rows) {
        bytes b = u;
        put(b, r.at, r.value, r.width);
        EXPECT_EQ(load(b), r.loads) << r.what;
        EXPECT_NE(why.find(r.loads ? "" : "GAMEDATA.DAT"), std::string::npos) << r.what << why;
    }
    // Cut anywhere, the file is refused.
    for (size_t cut : {0ul, 3ul, 4ul, 9ul, 100ul, u.size() / 7, u.size() / 2, u.size() - 1}) {
        EXPECT_FALSE(load(bytes(u.begin(), u.begin() + cut))) << "cut at " << cut;
        EXPECT_NE(why.find("GAMEDATA.DAT"), std::string::npos) << why;
    }
    // The whole file nested as the one object of another, one to five deep.
    bytes nested = u;
    for (int depth = 1; depth <= 5; depth++) {
        bytes outer = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 0, 0, 0, 1,
                       0,   0,   0,   0,   0,   0,   0,   0,   0, 0, 0, 0};
        put(outer, 12, DAT_FILE, 4);
        put(outer, 16, uint32_t(nested.size() - 8), 4);
        put(outer, 20, uint32_t(nested.size() - 8), 4);
        outer.insert(outer.end(), nested.begin() + 8, nested.end());
        nested = outer;
        EXPECT_FALSE(load(nested)) << depth;
        EXPECT_TRUE(depth == 5 || why.find("holds 1 entries") != std::string::npos) << why;
    }
    // Whatever a changed byte does, the file is refused or passes every check.
    for (size_t at : {4, 12, 20, 40, 64, 100, 200, 400, 1000, 5000}) {
        bytes b = u;
        b[at] ^= 0x5a;
        char text[256];
        EXPECT_TRUE(!load(b) || check_gamedata(data, text, sizeof text)) << at;
    }
    char text[256];
    ASSERT_TRUE(load_gamedata(gamedata_path(), text, sizeof text)) << text;
}

// ---- what the generator makes ----

// Samples audible and unclipped (held unsigned, silence at 0x8000), short but for the music;
// fonts covering printable ASCII in the colour asked for; the desktop icons at three sizes.
TEST_F(GameData, SamplesFontsAndIconsAreFitForTheGame)
{
    for (int e = 0; e < DAT_ENTRIES; e++) {
        if (gamedata_kind[e] != DAT_KIND_SAMPLE) continue;
        SAMPLE *s = static_cast<SAMPLE *>(data[e].dat);
        const unsigned short *v = static_cast<const unsigned short *>(s->data);
        int peak = 0, pegged = 0;
        double energy = 0;
        for (unsigned long i = 0; i < s->len; i++) {
            int a = abs(int(v[i]) - 0x8000);
            peak = std::max(peak, a), pegged += a >= 32767, energy += double(a) * a;
        }
        double seconds = s->len / double(s->freq), most = e == DAT_TITLE_MUSIC ? 600 : 12;
        EXPECT_EQ(N(s->bits, s->stereo, pegged), N(16, 0, 0)) << e;
        EXPECT_TRUE(peak > 12000 && sqrt(energy / s->len) > 600) << e;
        EXPECT_TRUE(seconds < most && (e != DAT_TITLE_MUSIC || seconds > 20)) << e;
    }
    for (int e : {DAT_FONT_TEXT, DAT_FONT_SCORE, DAT_FONT_NAME, DAT_FONT_LARGE}) {
        FONT *f = data_font(e);
        int colour = makecol(255, 64, 64);
        clear_bitmap(buffer);
        textout_ex(buffer, f, "GET READY 0123456789 abc ~", 10, 10, colour, -1);
        int ink = pixels(buffer, 0, 0, 799, 99, colour);
        EXPECT_EQ(ink + pixels(buffer, 0, 0, 799, 99, 0), 800 * 100) << e;
        EXPECT_TRUE(ink > 100 && get_font_range_begin(f, -1) <= 32 &&
                    get_font_range_end(f, -1) >= 126)
            << e;
    }
    std::string dir = gamedata_path();
    dir = dir.substr(0, dir.rfind('/'));
    for (int size : {64, 128, 256}) {
        std::string png =
            file_bytes((dir + "/icons/brumzel-ball-" + std::to_string(size) + ".png").c_str());
        ASSERT_GE(png.size(), 24u) << size;
        EXPECT_EQ(png.substr(1, 3) + std::to_string(get32(bytes(png.begin() + 16, png.end()), 0)),
                  "PNG" + std::to_string(size));
    }
}
