// Start-up: the data-file check that keeps the game from starting with a bad GAMEDATA.DAT.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "gamedata.h"
#include "headless.h"
#include "init.h"

namespace {

class DataFileCheck : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }

    // A copy of the loaded entry table that a test may spoil; the objects stay shared.
    std::vector<DATAFILE> copy_of_data()
    {
        std::vector<DATAFILE> copy(data, data + DAT_ENTRIES + 1);
        return copy;
    }

    std::string why;
    bool check(const std::vector<DATAFILE> &d)
    {
        char text[256] = "";
        bool ok = check_gamedata(d.data(), text, sizeof text);
        why = text;
        return ok;
    }
};

TEST_F(DataFileCheck, GeneratedFileIsAccepted)
{
    EXPECT_TRUE(check(copy_of_data())) << why;
}

TEST_F(DataFileCheck, MissingFileIsRefusedNamingIt)
{
    char text[256] = "";
    EXPECT_FALSE(load_gamedata("/nonexistent/GAMEDATA.DAT", text, sizeof text));
    EXPECT_NE(std::strstr(text, "GAMEDATA.DAT"), nullptr) << text;
}

TEST_F(DataFileCheck, EntryOfTheWrongKindIsRefusedNamingTheEntry)
{
    auto d = copy_of_data();
    std::swap(d[DAT_FONT_SCORE], d[DAT_TITLE_MUSIC]); // a sample where a font belongs
    EXPECT_FALSE(check(d));
    EXPECT_NE(why.find("entry 25"), std::string::npos) << why;
    EXPECT_NE(why.find("font"), std::string::npos) << why;
}

TEST_F(DataFileCheck, TooFewEntriesAreRefused)
{
    auto d = copy_of_data();
    d[40].type = DAT_END;
    EXPECT_FALSE(check(d));
    EXPECT_NE(why.find("40 entries"), std::string::npos) << why;
}

TEST_F(DataFileCheck, BackdropOfTheWrongSizeIsRefused)
{
    auto d = copy_of_data();
    d[DAT_HELP] = d[DAT_TITLE_BALL]; // a bitmap, but 170x170 where 800x600 is needed
    EXPECT_FALSE(check(d));
    EXPECT_NE(why.find("entry 14"), std::string::npos) << why;
}

TEST_F(DataFileCheck, SmallNameEntryPanelIsRefusedButLargerOnesPass)
{
    auto d = copy_of_data();
    d[DAT_ENTERNAME] = d[DAT_TITLE_BALL]; // 170x170 cannot hold the 600x125 panel
    EXPECT_FALSE(check(d));
    d[DAT_ENTERNAME] = d[DAT_HELP]; // 800x600 is larger than needed, which is fine
    EXPECT_TRUE(check(d)) << why;
}

TEST_F(DataFileCheck, BitmapGlobalsPointIntoTheDataFile)
{
    EXPECT_EQ(background, data[DAT_BACKGROUND].dat);
    EXPECT_EQ(brumzel1, data[DAT_BRUMZEL].dat);
    EXPECT_EQ(entername1, data[DAT_ENTERNAME].dat);
    EXPECT_EQ(top_right1, data[DAT_TOP_RIGHT].dat);
    EXPECT_EQ(mouse_ptr1, data[DAT_MOUSE_PTR].dat);
    EXPECT_EQ(buffer->w, 800);
    EXPECT_EQ(text_buffer->w, 200);
    EXPECT_EQ(text_buffer->h, 50);
    EXPECT_EQ(stretch->w, 600);
    EXPECT_EQ(stretch->h, 350);
}

// Writes the first n bytes of the generated file (or all of it with one byte changed) to path.
void write_copy(const std::string &path, long n, long flip_at = -1)
{
    FILE *in = fopen(gamedata_path(), "rb");
    ASSERT_NE(in, nullptr);
    std::vector<char> bytes(n + 1); // never empty: fread and fwrite must not get a null pointer
    ASSERT_EQ(fread(bytes.data(), 1, n, in), size_t(n));
    fclose(in);
    if (flip_at >= 0) bytes[flip_at] ^= 0x5a;
    FILE *out = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, n, out);
    fclose(out);
}

long gamedata_size()
{
    FILE *f = fopen(gamedata_path(), "rb");
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fclose(f);
    return n;
}

TEST_F(DataFileCheck, FileCutAnywhereIsRefusedBeforeTheLoaderSeesIt)
{
    std::string path = std::string(make_temp_dir("cut")) + "/GAMEDATA.DAT";
    long size = gamedata_size();
    char text[256];
    EXPECT_TRUE(check_gamedata_file(gamedata_path(), text, sizeof text)) << text;
    for (long cut : {0L, 3L, 4L, 9L, 100L, size / 7, size / 3, size / 2, size - 100, size - 1}) {
        write_copy(path, cut);
        EXPECT_FALSE(check_gamedata_file(path.c_str(), text, sizeof text)) << "cut at " << cut;
        EXPECT_NE(std::strstr(text, "GAMEDATA.DAT"), nullptr) << text;
    }
}

TEST_F(DataFileCheck, DamagedBytesNeverCrashTheStartUp)
{
    // Whatever a changed byte does, the start-up either refuses the file or loads a file that
    // passes every check; it never hands the loader something that brings the game down.
    std::string path = std::string(make_temp_dir("flip")) + "/GAMEDATA.DAT";
    long size = gamedata_size();
    for (long at : {4L, 8L, 12L, 20L, 40L, 64L, 100L, 200L, 400L, 1000L, 5000L}) {
        if (at >= size) continue;
        write_copy(path, size, at);
        char text[256];
        if (load_gamedata(path.c_str(), text, sizeof text)) {
            EXPECT_TRUE(check_gamedata(data, text, sizeof text));
        }
    }
    char text[256];
    ASSERT_TRUE(load_gamedata(gamedata_path(), text, sizeof text)) << text;
}

TEST(TickCounter, ResetAfterTicksStartsTheClockAtZero)
{
    for (int i = 0; i < 500; i++)
        __inc_game_time();
    EXPECT_EQ(target_frames, 500);
    reset_target_frames();
    EXPECT_EQ(target_frames, 0);
    __inc_game_time();
    EXPECT_EQ(target_frames, 1);
}

} // namespace
