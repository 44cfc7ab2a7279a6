// test_gamedata -- the generated GAMEDATA.DAT, the start-up's checks of its entries and of its
// structure, and damaged files, which are refused with a message naming the file
#include <cstring>
#include <tuple>

#include "fixture.h"

using GameData = Headless;
using bytes = std::vector<uint8_t>;

TEST_F(GameData, EntriesOfTheWrongKindOrSizeAreRefusedByNumber)
{
    BITMAP *big = create_bitmap(801, 600);
    // Entry, replaced by: an entry, -1 the file's end, -2 an 801x600 bitmap, -3 nothing; message.
    const std::tuple<int, int, const char *> rows[] = {
        {DAT_BACKGROUND, DAT_PAD_SOUND, "GAMEDATA.DAT: entry 0 is not a bitmap"},
        {DAT_FONT_SCORE, DAT_TITLE_MUSIC, "entry 25 is not a font"},
        {DAT_TITLE_MUSIC, DAT_FONT_TEXT, "entry 37 is not a sample"},
        {DAT_END_OF_TIME_SOUND, -1, "GAMEDATA.DAT holds 45 entries, the game needs 46"},
        {DAT_BACKGROUND, -1, "GAMEDATA.DAT holds 0 entries, the game needs 46"},
        {DAT_BACKGROUND, -2, "entry 0 is a 801x600 bitmap, it must be 800x600"},
        {DAT_ENTERNAME, DAT_TITLE_BALL, "entry 8 is a 170x170 bitmap, it must be at least 605x130"},
        {DAT_TITLE_BALL, DAT_HELP, "is a 800x600 bitmap, it must be 170x170"}, // exactly
        {DAT_BRUMZEL, DAT_SPRITE1, "it must be at least 60x60"},
        {DAT_ENTERNAME, DAT_HELP, ""},     // larger than needed is fine
        {DAT_UNUSED_5, DAT_PAD_SOUND, ""}, // an unused entry takes anything but nothing
        {DAT_UNUSED_20, -3, "entry 20 is not an object"}};
    for (auto [entry, from, says] : rows) {
        std::vector<DATAFILE> d(data, data + DAT_ENTRIES + 1);
        d[entry] = data[from == -1 ? DAT_ENTRIES : std::max(from, 0)];
        if (from < -1) d[entry].dat = from == -2 ? big : nullptr;
        char text[256] = "";
        EXPECT_TRUE(check_gamedata(d.data(), text, sizeof text) == !*says && strstr(text, says))
            << entry << ": " << text;
    }
    destroy_bitmap(big);
    char text[256];
    EXPECT_FALSE(check_gamedata(nullptr, text, sizeof text)); // the loader gave nothing
    EXPECT_STREQ(text, "GAMEDATA.DAT is missing or cannot be read");
}

static uint32_t get32(const bytes &b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

static void put(bytes &b, size_t at, uint32_t v, int width)
{
    for (int i = 0; i < width; i++)
        b[at + i] = uint8_t(v >> (8 * (width - 1 - i)));
}

// Damages the library's loader would trust (crashing or reading past an object) are refused,
// naming the file; damaged in the unpacked file, whose objects are found by walking it.
TEST_F(GameData, DamagedFilesAreRefusedBeforeTheLoaderSeesThem)
{
    enter_temp_dir();
    std::string why;
    auto load = [&why](const bytes &b) {
        write_file("GAMEDATA.DAT", std::string(b.begin(), b.end()));
        char text[256] = "";
        bool ok = load_gamedata("GAMEDATA.DAT", text, sizeof text);
        return why = text, ok;
    };
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
        header.push_back(at), contents.push_back(at + 12);
    }
    // The layout the damages rely on: fonts of one range of mono glyphs 32-126; a 16-bit ball.
    const size_t font = contents[DAT_FONT_TEXT], bg = contents[0], snd = contents[DAT_PAD_SOUND];
    const size_t sprite = contents[DAT_SPRITE1];
    ASSERT_EQ(N(header.size(), u[font + 4], get32(u, font + 5), get32(u, font + 9),
                get32(u, property[0]), get32(u, sprite)),
              N(DAT_ENTRIES, 1, 32, 126, DAT_PROPERTY, 0x0010000a));
    EXPECT_TRUE(load(u)) << why;
    size_t last = font + 13; // the glyphs of its range one after another, to the last one's size
    for (uint32_t c = 32; c < 126; c++)
        last += 4 + ((get32(u, last) >> 16) + 7) / 8 * (get32(u, last) & 0xffff);
    // Where, the value written there, its width in bytes, what the refusal says ("": it loads).
    const std::tuple<size_t, uint32_t, int, const char *, const char *> rows[] = {
        {4, 0x414c4c2f, 4, "not a data file", "another magic number"},
        {header[0] + 8, get32(u, header[0] + 4) + 1, 4, "damaged", "unpacked size one over"},
        {bg, 7, 2, "damaged", "a bitmap of 7 bits a pixel"},
        {bg + 4, 0x7fff, 2, "damaged", "a bitmap taller than its chunk"},
        {bg + 2, 799, 2, "799x600 bitmap", "a narrower background: loaded, then refused"},
        {sprite, 0x00200005, 4, "", "a 32-bit ball 5 wide: the same bytes"},
        {bg, 8, 2, "", "an 8-bit background: fewer bytes than its chunk"},
        {bg, 15, 2, "", "a 15-bit background: as many"},
        {bg, 24, 2, "damaged", "a 24-bit background: more"},
        {snd, 8, 2, "", "an 8-bit sample: fewer"},
        {snd, 0xfff0, 2, "damaged", "a 16-bit stereo sample: more"},
        {snd, 12, 2, "damaged", "a sample of 12 bits"},
        {snd + 4, 0x7fffffff, 4, "damaged", "a sample longer than its chunk"},
        {font, 1, 2, "damaged", "font format 1"},
        {font + 9, 0x7fffffff, 4, "damaged", "a range to 2^31"},
        {font + 5, 0xfffffff0, 4, "damaged", "a range starting below 0"},
        {contents[DAT_FONT_SCORE] + 2, 0xffff, 2, "damaged", "-1 ranges"},
        {font + 13, 0xffff, 2, "damaged", "a glyph -1 wide"},
        {font + 13, 1, 2, "", "a space 1 wide: as many bytes"},
        {contents[DAT_FONT_LARGE] + 15, 0x7fff, 2, "damaged", "a glyph taller than its font"},
        {font + 15, 0x7fff, 2, "damaged", "a mono glyph taller than its font"},
        {last + 2, (get32(u, last) & 0xffff) + 1, 2, "damaged", "the last glyph a line over"},
        {last, 0, 2, "damaged", "the last glyph 0 wide"},
        {font + 4, 8, 1, "damaged", "mono glyphs read as colour"},
        {header[DAT_UNUSED_5], DAT_RLE_SPRITE, 4, "damaged", "text read as a compressed sprite"},
        {header[DAT_UNUSED_20], DAT_MIDI, 4, "damaged", "a tune with tracks longer than its chunk"},
        {header[DAT_UNUSED_20], DAT_FILE, 4, "damaged", "a nested file of nonsense"},
        {header[DAT_PAD_SOUND], DAT_DATA, 4, "not a sample", "plain bytes where a sample belongs"},
    };
    for (auto [at, value, width, says, what] : rows) {
        bytes b = u;
        put(b, at, value, width);
        EXPECT_EQ(load(b), !*says) << what;
        EXPECT_TRUE(why.find(says) != why.npos && why.rfind(*says ? "GAMEDATA.DAT" : "", 0) == 0)
            << what << why;
    }
    // A property as long as one may be, and one byte longer.
    for (uint32_t size : {1u << 16, (1u << 16) + 1}) {
        bytes b = u, p(12 + size, 'x');
        put(p, 0, DAT_PROPERTY, 4), put(p, 4, DAT_ID('X', 'T', 'R', 'A'), 4), put(p, 8, size, 4);
        b.insert(b.begin() + property[0], p.begin(), p.end());
        EXPECT_EQ(load(b), size == 1u << 16) << why;
    }
    char text[256];
    // Cut anywhere, to its last object: refused, saying where (no file at all: test_program's).
    const std::pair<size_t, const char *> cuts[] = {
        {0, "missing"},
        {4, "not a data file"},
        {9, "damaged (bad object count)"},
        {100, "cut short or damaged at object 0"},
        {u.size() - 1, "cut short or damaged at object 45"}};
    for (auto [cut, says] : cuts) {
        EXPECT_FALSE(load(bytes(u.begin(), u.begin() + cut))) << "cut at " << cut;
        EXPECT_EQ(why.rfind("GAMEDATA.DAT is " + std::string(says), 0), 0u) << why;
    }
    // The whole file nested as the one object of another, one to five deep.
    bytes nested = u;
    for (int depth = 1; depth <= 5; depth++) {
        bytes outer = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 0, 0, 0, 1};
        outer.resize(24), put(outer, 12, DAT_FILE, 4);
        put(outer, 16, uint32_t(nested.size() - 8), 4);
        put(outer, 20, uint32_t(nested.size() - 8), 4);
        outer.insert(outer.end(), nested.begin() + 8, nested.end()), nested = outer;
        EXPECT_FALSE(load(nested)) << depth;
        EXPECT_NE(why.find(depth == 5 ? "too deep" : "holds 1 entries"), std::string::npos) << why;
    }
    ASSERT_TRUE(load_gamedata(gamedata_path(), text, sizeof text)) << text;
}
