// Tests of display_sprites: which slots are drawn, where, and how bumpers turn.
#include <gtest/gtest.h>

#include "display.h"
#include "display_sprites.h"
#include "gamedata.h"
#include "headless.h"
#include "init.h"
#include "screen_check.h"

class DisplaySprites : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_sprites();
        clear_to_color(buffer, blank());
    }
    static int blank()
    {
        return makecol(1, 2, 3);
    }
    // Pixels of buffer that are no longer blank, inside or outside a box.
    static int changed(int x0, int y0, int x1, int y1, bool inside)
    {
        int n = 0;
        for (int y = 0; y < SCREEN_HEIGHT; y++)
            for (int x = 0; x < SCREEN_WIDTH; x++) {
                bool in = x >= x0 && x <= x1 && y >= y0 && y <= y1;
                if (in == inside) n += getpixel(buffer, x, y) != blank();
            }
        return n;
    }
    static void place(int slot, int type, double x, double y)
    {
        sprite[slot].type = type;
        sprite[slot].x = x;
        sprite[slot].y = y;
    }
};

TEST_F(DisplaySprites, FreshTableDrawsOnlyTheSixBumpers)
{
    place(FIRST_POINTS_SLOT, KIND_MOVING_POINT, 100, 100);
    display_sprites();
    // Each bumper picture lies within its own square around its centre.
    BITMAP *seen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(buffer, seen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    int reach = (brumzel1->w > brumzel1->h ? brumzel1->w : brumzel1->h);
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++) {
        int cx = static_cast<int>(sprite[n].x), cy = static_cast<int>(sprite[n].y);
        EXPECT_GT(changed(cx - 20, cy - 20, cx + 20, cy + 20, true), 0) << "bumper " << n;
        rectfill(buffer, cx - reach, cy - reach, cx + reach, cy + reach, blank());
    }
    EXPECT_EQ(changed(0, 0, -1, -1, false), 0) << "something besides the bumpers was drawn";
    destroy_bitmap(seen);
}

TEST_F(DisplaySprites, BallIsPlacedByItsTopLeftCorner)
{
    initialise_sprites();
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        sprite[n].type = KIND_FREE;
    place(0, KIND_P1_BALL, 200.9, 100.9);
    place(1, KIND_P2_BALL, 500, 400);
    display_sprites();
    EXPECT_TRUE(shows_sprite(buffer, sprite1, 200, 100));
    EXPECT_TRUE(shows_sprite(buffer, sprite2, 500, 400));
    EXPECT_EQ(changed(200, 100, 200 + sprite1->w - 1, 100 + sprite1->h - 1, true) +
                  changed(500, 400, 500 + sprite2->w - 1, 400 + sprite2->h - 1, true),
              changed(0, 0, -1, -1, false));
}

TEST_F(DisplaySprites, OverflowSlotIsDrawnButNotSlotsAboveDrawingRange)
{
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        sprite[n].type = KIND_FREE;
    place(OVERFLOW_BALL_SLOT, KIND_P1_BALL, 300, 300);
    place(111, KIND_P2_BALL, 600, 100);
    place(199, KIND_BUMPER, 100, 500);
    display_sprites();
    EXPECT_TRUE(shows_sprite(buffer, sprite1, 300, 300));
    EXPECT_EQ(changed(300, 300, 300 + sprite1->w - 1, 300 + sprite1->h - 1, false), 0);
}

TEST_F(DisplaySprites, BumperAngleCountsModuloFullTurn)
{
    for (int n = FIRST_BUMPER_SLOT + 1; n <= LAST_BUMPER_SLOT; n++)
        sprite[n].type = KIND_FREE;
    sprite[FIRST_BUMPER_SLOT].angle = 44;
    display_sprites();
    BITMAP *once = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(buffer, once, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);

    // A bumper that has spun for a long time: 44 plus many full turns.
    sprite[FIRST_BUMPER_SLOT].angle = 44 + 256 * 500;
    clear_to_color(buffer, blank());
    display_sprites();
    int differ = 0;
    for (int y = 150; y < 330; y++)
        for (int x = 250; x < 430; x++)
            differ += getpixel(buffer, x, y) != getpixel(once, x, y);
    EXPECT_EQ(differ, 0);

    // A different angle does show differently.
    sprite[FIRST_BUMPER_SLOT].angle = 44 + 64;
    clear_to_color(buffer, blank());
    display_sprites();
    for (int y = 150; y < 330; y++)
        for (int x = 250; x < 430; x++)
            differ += getpixel(buffer, x, y) != getpixel(once, x, y);
    EXPECT_GT(differ, 0);
    destroy_bitmap(once);
}

TEST_F(DisplaySprites, UnturnedBumperIsCentredOnItsPosition)
{
    for (int n = FIRST_BUMPER_SLOT + 1; n <= LAST_BUMPER_SLOT; n++)
        sprite[n].type = KIND_FREE;
    sprite[FIRST_BUMPER_SLOT].angle = 0;
    display_sprites();
    // Top-left at (x - w/2 + 1, y - w/2 + 1) = (311, 211).
    EXPECT_TRUE(shows_sprite(buffer, brumzel1, 311, 211));
}
