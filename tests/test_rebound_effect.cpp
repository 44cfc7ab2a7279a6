// Tests of the corner pad flashes: which requests take an entry, how long a flash lasts, where.
#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "gamedata.h"
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

// ---- piles of flashes ----

static BITMAP **corner_picture(int kind)
{
    switch (kind) {
    case KIND_PAD_BOTTOM_LEFT:
        return &bottom_left1;
    case KIND_PAD_TOP_LEFT:
        return &top_left1;
    case KIND_PAD_TOP_RIGHT:
        return &top_right1;
    default:
        return &bottom_right1;
    }
}

// A bumper resting on a pad asks for a flash every step, and others come and go at the other
// corners: every frame must show what drawing each live flash in turn would show.
static void expect_piles_drawn_as_each_in_turn()
{
    static const int requests[] = {
        KIND_PAD_BOTTOM_LEFT, KIND_PAD_TOP_RIGHT,    KIND_PAD_BOTTOM_LEFT, KIND_PAD_TOP_LEFT,
        KIND_PAD_BOTTOM_LEFT, KIND_PAD_BOTTOM_RIGHT, KIND_PAD_TOP_RIGHT,   KIND_PAD_BOTTOM_LEFT,
    };
    BITMAP *expected = create_bitmap(buffer->w, buffer->h);
    int backdrop = makecol(20, 60, 20), wrong_frames = 0, most_live = 0;
    for (int frame = 0; frame < 40; frame++) {
        for (int k = 0; k < 3 && frame < 25; k++)
            create_pad_rebound(requests[(frame * 3 + k) % 8]);
        clear_to_color(expected, backdrop);
        int live = 0;
        for (const rebound_record &r : rebound) {
            if (r.life <= 0) continue;
            live++;
            const pad_flash_place *place = pad_flash_position(r.type);
            draw_sprite(expected, *corner_picture(r.type), place->x, place->y);
        }
        most_live = std::max(most_live, live);
        clear_to_color(buffer, backdrop);
        do_pad_rebound();
        bool same = true;
        for (int y = 0; y < buffer->h && same; y++)
            same = memcmp(buffer->line[y], expected->line[y], buffer->w * 2) == 0;
        wrong_frames += !same;
    }
    destroy_bitmap(expected);
    EXPECT_EQ(wrong_frames, 0);
    EXPECT_EQ(most_live, REBOUND_SLOTS);
    for (const rebound_record &r : rebound)
        EXPECT_EQ(r.life, 0); // every flash counted its ten frames down
}

TEST_F(ReboundEffect, PiledUpFlashesShowWhatEachDrawnInTurnWould)
{
    expect_piles_drawn_as_each_in_turn();
}

// With pictures large enough to cover each other, the order of the pile shows.
TEST_F(ReboundEffect, PiledUpOverlappingFlashesShowWhatEachDrawnInTurnWould)
{
    BITMAP *real[4] = {bottom_left1, top_left1, top_right1, bottom_right1};
    BITMAP *big[4];
    for (int n = 0; n < 4; n++) {
        big[n] = create_bitmap(420, 460);
        clear_to_color(big[n], makecol(60 * n + 40, 200 - 40 * n, 90));
        // a see-through hole and stripes, so pictures show through each other
        rectfill(big[n], 100, 100, 300, 300, bitmap_mask_color(big[n]));
        for (int x = 0; x < 420; x += 7)
            vline(big[n], x, 0, 459, bitmap_mask_color(big[n]));
        *corner_picture(KIND_PAD_BOTTOM_LEFT + n) = big[n];
    }
    expect_piles_drawn_as_each_in_turn();
    for (int n = 0; n < 4; n++) {
        *corner_picture(KIND_PAD_BOTTOM_LEFT + n) = real[n];
        destroy_bitmap(big[n]);
    }
}
