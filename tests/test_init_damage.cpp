// Start-up: objects of GAMEDATA.DAT whose insides are damaged, which the library's loader or
// the drawing of text would trust. Each is refused with a message naming the file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gamedata.h"
#include "headless.h"
#include "init.h"

namespace {

using bytes = std::vector<uint8_t>;

// The generated file unpacked ("slh." and the plain data file), and where each top-level
// object's header (type, stored size, unpacked size) and contents start.
struct unpacked_file {
    bytes b;
    std::vector<size_t> header, contents;
};

uint32_t big_endian(const bytes &b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

void put_big_endian(bytes &b, size_t at, uint32_t v, int width)
{
    for (int i = 0; i < width; i++)
        b[at + i] = uint8_t(v >> (8 * (width - 1 - i)));
}

unpacked_file read_unpacked()
{
    unpacked_file u;
    u.b = {'s', 'l', 'h', '.'};
    PACKFILE *f = pack_fopen(gamedata_path(), "rp");
    EXPECT_NE(f, nullptr);
    uint8_t block[65536];
    long got;
    while (f && (got = pack_fread(block, sizeof block, f)) > 0)
        u.b.insert(u.b.end(), block, block + got);
    if (f) pack_fclose(f);
    size_t at = 12; // magic, "ALL.", object count
    for (uint32_t n = 0; n < big_endian(u.b, 8); n++) {
        while (big_endian(u.b, at) == uint32_t(DAT_PROPERTY))
            at += 12 + big_endian(u.b, at + 8);
        u.header.push_back(at);
        u.contents.push_back(at + 12);
        at += 12 + big_endian(u.b, at + 4);
    }
    return u;
}

class DamagedObject : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
        file = read_unpacked();
        path = std::string(make_temp_dir("damage")) + "/GAMEDATA.DAT";
    }
    static void TearDownTestSuite()
    {
        char why[256];
        ASSERT_TRUE(load_gamedata(gamedata_path(), why, sizeof why)) << why;
    }

    // Writes the damaged copy and runs the start-up's load on it.
    bool load(const bytes &b)
    {
        FILE *f = fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        fwrite(b.data(), 1, b.size(), f);
        fclose(f);
        char text[256] = "";
        bool ok = load_gamedata(path.c_str(), text, sizeof text);
        why = text;
        return ok;
    }

    // The file with bytes at an offset into the contents of an entry set to a big-endian value.
    bytes with(int entry, size_t offset, uint32_t value, int width)
    {
        bytes b = file.b;
        put_big_endian(b, file.contents[entry] + offset, value, width);
        return b;
    }

    void expect_refused(const bytes &b, const char *what)
    {
        EXPECT_FALSE(load(b)) << what;
        EXPECT_NE(why.find("GAMEDATA.DAT"), std::string::npos) << what << ": " << why;
    }

    static unpacked_file file;
    static std::string path;
    std::string why;
};
unpacked_file DamagedObject::file;
std::string DamagedObject::path;

// Layout of the generated fonts: format 0, one range of mono glyphs 32-126, then each glyph's
// width and height before its pixels.
constexpr size_t FONT_RANGES = 2, FONT_FIRST_RANGE = 4, RANGE_FIRST = 5, RANGE_LAST = 9;
constexpr size_t FIRST_GLYPH_W = 13, FIRST_GLYPH_H = 15;

TEST_F(DamagedObject, UnpackedCopyOfTheGeneratedFileLoads)
{
    ASSERT_EQ(file.header.size(), size_t(DAT_ENTRIES));
    ASSERT_EQ(big_endian(file.b, file.header[DAT_FONT_TEXT]), uint32_t(DAT_FONT));
    // The layout the damages below rely on: format 0, one range of mono glyphs from 32 to 126.
    ASSERT_EQ(big_endian(file.b, file.contents[DAT_FONT_TEXT]), 1u);
    ASSERT_EQ(file.b[file.contents[DAT_FONT_TEXT] + FONT_FIRST_RANGE], 1);
    ASSERT_EQ(big_endian(file.b, file.contents[DAT_FONT_TEXT] + RANGE_FIRST), 32u);
    ASSERT_EQ(big_endian(file.b, file.contents[DAT_FONT_TEXT] + RANGE_LAST), 126u);
    EXPECT_TRUE(load(file.b)) << why;
}

TEST_F(DamagedObject, ObjectWhoseTwoSizesDisagreeIsRefused)
{
    // The size after the object's kind, then its unpacked size: the loader of the backdrop
    // freed the same memory twice when the second one read 0.
    size_t sizes = file.header[DAT_BACKGROUND] + 4;
    uint32_t stored = big_endian(file.b, sizes);
    for (uint32_t unpacked : {0u, stored - 1, stored + 1, uint32_t(-int32_t(stored))}) {
        bytes b = file.b;
        put_big_endian(b, sizes + 4, unpacked, 4);
        expect_refused(b, "backdrop with two sizes");
    }
}

TEST_F(DamagedObject, FontRangesTheLoaderCannotAllocateAreRefused)
{
    // Two thousand million glyphs, and a range that ends before it starts.
    expect_refused(with(DAT_FONT_TEXT, RANGE_LAST, 0x7fffffff, 4), "range to 2^31");
    expect_refused(with(DAT_FONT_TEXT, RANGE_LAST, 0, 4), "range ending at 0");
    expect_refused(with(DAT_FONT_TEXT, RANGE_FIRST, 0xfffffff0, 4), "range starting below 0");
    expect_refused(with(DAT_FONT_SCORE, FONT_RANGES, 0xffff, 2), "-1 ranges");
    expect_refused(with(DAT_FONT_NAME, FONT_RANGES, 0x7fff, 2), "32767 ranges");
}

TEST_F(DamagedObject, GlyphsOfImpossibleSizeAreRefused)
{
    // Drawing a glyph of negative width runs off the end of its pixels.
    expect_refused(with(DAT_FONT_TEXT, FIRST_GLYPH_W, 0xffff, 2), "glyph width -1");
    expect_refused(with(DAT_FONT_LARGE, FIRST_GLYPH_H, 0x7fff, 2), "glyph taller than the font");
    expect_refused(with(DAT_FONT_TEXT, FONT_FIRST_RANGE, 8, 1), "mono glyphs read as colour");
}

TEST_F(DamagedObject, SpritesInAnUnusedEntryThatTheLoaderCannotReadAreRefused)
{
    // The unused entry 5 holds a line of text; read as a sprite, its header is nonsense, and
    // the loader frees the same memory twice on the way out.
    for (uint32_t kind : {DAT_RLE_SPRITE, DAT_C_SPRITE, DAT_XC_SPRITE, DAT_BITMAP}) {
        bytes b = file.b;
        put_big_endian(b, file.header[DAT_UNUSED_5], kind, 4);
        expect_refused(b, "entry 5 as a sprite");
    }
}

TEST_F(DamagedObject, TuneWithTracksLongerThanItsChunkIsRefused)
{
    bytes b = file.b;
    put_big_endian(b, file.header[DAT_UNUSED_20], DAT_MIDI, 4);
    expect_refused(b, "entry 20 as a tune");
}

} // namespace
