// Tests of the corner pad flashes: which requests take an entry, how long a flash lasts, where.
#include <cstring>

#include <gtest/gtest.h>

#include "headless.h"
#include "init.h"
#include "rebound_effect.h"
#include "sim_helpers.h"

class ReboundEffect : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        for (rebound_record &r : rebound)
            r = rebound_record{};
        clear_bitmap(buffer);
    }
};

// ---- requests ----

TEST_F(ReboundEffect, TopAndBottomEdgesMakeNoFlash)
{
    create_pad_rebound(KIND_TOP_EDGE);
    create_pad_rebound(KIND_BOTTOM_EDGE);
    create_pad_rebound(KIND_BUMPER);
    for (const rebound_record &r : rebound) {
        EXPECT_EQ(r.life, 0);
        EXPECT_EQ(r.type, 0);
    }
}

TEST_F(ReboundEffect, RepeatedRequestsTakeTheLowestFreeEntries)
{
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    create_pad_rebound(KIND_PAD_TOP_LEFT);
    EXPECT_EQ(rebound[0].type, KIND_PAD_TOP_LEFT);
    EXPECT_EQ(rebound[0].life, REBOUND_LIFE);
    EXPECT_EQ(rebound[1].type, KIND_PAD_TOP_LEFT);
    EXPECT_EQ(rebound[1].life, REBOUND_LIFE);
    rebound[0].life = 0;
    create_pad_rebound(KIND_PAD_BOTTOM_RIGHT);
    EXPECT_EQ(rebound[0].type, KIND_PAD_BOTTOM_RIGHT);
    EXPECT_EQ(rebound[2].life, 0);
}

TEST_F(ReboundEffect, RequestOnAFullTableIsIgnored)
{
    for (int n = 0; n < REBOUND_SLOTS; n++)
        create_pad_rebound(KIND_PAD_BOTTOM_LEFT);
    rebound_record before[REBOUND_SLOTS];
    memcpy(before, rebound, sizeof rebound);
    create_pad_rebound(KIND_PAD_TOP_RIGHT);
    EXPECT_EQ(memcmp(before, rebound, sizeof rebound), 0);
}

TEST_F(ReboundEffect, InitialiseFreesEveryEntryAndKeepsItsKind)
{
    for (int n = 0; n < REBOUND_SLOTS; n++)
        create_pad_rebound(KIND_PAD_TOP_RIGHT);
    initialise_rebound();
    for (const rebound_record &r : rebound) {
        EXPECT_EQ(r.life, 0);
        EXPECT_EQ(r.type, KIND_PAD_TOP_RIGHT);
    }
    do_pad_rebound();
    EXPECT_EQ(drawn_pixels(), 0);
}

// ---- drawing ----

// The first opaque pixel of a picture, to find the picture again in buffer.
static bool first_opaque(BITMAP *pic, int *px, int *py)
{
    for (int y = 0; y < pic->h; y++)
        for (int x = 0; x < pic->w; x++)
            if (getpixel(pic, x, y) != bitmap_mask_color(pic)) {
                *px = x;
                *py = y;
                return true;
            }
    return false;
}

struct corner_case {
    int kind, x, y;
    BITMAP **picture;
};

TEST_F(ReboundEffect, FlashIsDrawnAtItsCornerInTenDrawnFrames)
{
    const corner_case corners[] = {
        {KIND_PAD_BOTTOM_LEFT, 28, 451, &bottom_left1},
        {KIND_PAD_TOP_LEFT, 31, 17, &top_left1},
        {KIND_PAD_TOP_RIGHT, 651, 15, &top_right1},
        {KIND_PAD_BOTTOM_RIGHT, 647, 450, &bottom_right1},
    };
    for (const corner_case &c : corners) {
        SCOPED_TRACE(c.kind);
        initialise_rebound();
        int px, py;
        ASSERT_TRUE(first_opaque(*c.picture, &px, &py));
        create_pad_rebound(c.kind);
        int frames = 0;
        for (int call = 0; call < 12; call++) {
            clear_bitmap(buffer);
            do_pad_rebound();
            if (drawn_pixels() == 0) continue;
            frames++;
            ASSERT_EQ(getpixel(buffer, c.x + px, c.y + py), getpixel(*c.picture, px, py));
            // nothing above or left of the picture's corner
            ASSERT_EQ(getpixel(buffer, c.x - 1, c.y + py), 0);
        }
        EXPECT_EQ(frames, REBOUND_LIFE);
        EXPECT_EQ(rebound[0].life, 0);
    }
}
