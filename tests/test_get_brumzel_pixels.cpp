// Tests of the logo pixel list: column order, the black column and row 60, the mask, the cap.
#include <gtest/gtest.h>

#include "gamedata.h"
#include "get_brumzel_pixels.h"
#include "headless.h"
#include "init.h"

class BrumzelPixels : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        logo = brumzel1;
        test_logo = create_bitmap(LOGO_SIZE, LOGO_SIZE);
        clear_to_color(test_logo, bitmap_mask_color(test_logo));
    }
    void TearDown() override
    {
        brumzel1 = logo;
        destroy_bitmap(test_logo);
    }
    BITMAP *logo = nullptr, *test_logo = nullptr;
};

static int filled_entries()
{
    int count = 0;
    for (const brumzel_pixel &p : brumzel_pixels)
        if (p.x != 0 || p.y != 0 || p.col != 0) count++;
    return count;
}

TEST_F(BrumzelPixels, AllMaskLogoKeepsOnlyTheBlackColumnAndRowSixty)
{
    brumzel1 = test_logo;
    get_brumzel_pixels();
    for (int x = 0; x < 60; x++) { // columns 0-59: only their row 60
        EXPECT_EQ(brumzel_pixels[x].x, x);
        EXPECT_EQ(brumzel_pixels[x].y, 60);
        EXPECT_EQ(brumzel_pixels[x].col, 0);
    }
    for (int y = 0; y <= 60; y++) { // then all of column 60
        EXPECT_EQ(brumzel_pixels[60 + y].x, 60);
        EXPECT_EQ(brumzel_pixels[60 + y].y, y);
        EXPECT_EQ(brumzel_pixels[60 + y].col, 0);
    }
    EXPECT_EQ(filled_entries(), 121);
}

TEST_F(BrumzelPixels, OpaquePixelsComeInColumnOrder)
{
    int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    putpixel(test_logo, 3, 5, red);
    putpixel(test_logo, 3, 2, blue);
    putpixel(test_logo, 10, 0, red);
    brumzel1 = test_logo;
    get_brumzel_pixels();
    // columns 0-2 give their row 60, then column 3 top to bottom
    EXPECT_EQ(brumzel_pixels[3].x, 3);
    EXPECT_EQ(brumzel_pixels[3].y, 2);
    EXPECT_EQ(brumzel_pixels[3].col, blue);
    EXPECT_EQ(brumzel_pixels[4].y, 5);
    EXPECT_EQ(brumzel_pixels[4].col, red);
    EXPECT_EQ(brumzel_pixels[5].y, 60);
    // columns 4-9 one each, then column 10's top pixel
    EXPECT_EQ(brumzel_pixels[12].x, 10);
    EXPECT_EQ(brumzel_pixels[12].y, 0);
    EXPECT_EQ(brumzel_pixels[12].col, red);
}

TEST_F(BrumzelPixels, FullyOpaqueLogoFillsTheTableAndTheRestIsIgnored)
{
    int red = makecol(255, 0, 0);
    clear_to_color(test_logo, red);
    brumzel1 = test_logo;
    get_brumzel_pixels();
    // 61 x 61 = 3721 pixels are kept; the table holds the first 3700: columns 0-59 whole
    // (3660) and rows 0-39 of column 60.
    EXPECT_EQ(brumzel_pixels[0].col, red);
    EXPECT_EQ(brumzel_pixels[3659].x, 59);
    EXPECT_EQ(brumzel_pixels[3659].y, 60);
    EXPECT_EQ(brumzel_pixels[3659].col, 0);
    EXPECT_EQ(brumzel_pixels[3699].x, 60);
    EXPECT_EQ(brumzel_pixels[3699].y, 39);
}

TEST_F(BrumzelPixels, RealLogoPixelsLieInsideAndAreNeverTheMaskColour)
{
    get_brumzel_pixels();
    int mask = bitmap_mask_color(buffer);
    int kept = filled_entries();
    EXPECT_GT(kept, 121); // the logo has a picture, not only background
    for (int n = 0; n < BRUMZEL_PIXEL_SLOTS; n++) {
        const brumzel_pixel &p = brumzel_pixels[n];
        ASSERT_NE(p.col, mask);
        ASSERT_GE(p.x, 0);
        ASSERT_LE(p.x, 60);
        ASSERT_GE(p.y, 0);
        ASSERT_LE(p.y, 60);
        if (n >= kept) continue;
        ASSERT_EQ(getpixel(buffer, p.x, p.y), p.col); // the logo is left in buffer
        if (p.x < 60 && p.y < 60)
            ASSERT_EQ(getpixel(brumzel1, p.x, p.y), p.col);
        else
            ASSERT_EQ(p.col, 0);
    }
}
