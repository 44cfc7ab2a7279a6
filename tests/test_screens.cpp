// test_screens -- how the menu's balls turn and how the screens fade;
// what every screen shows is pinned by its reviewed picture (test_pictures)
#include "fade.h"
#include "fixture.h"
#include "title_screen.h"

using Screens = Headless;

// Each ball turns one unit a pass, back to 0 after 255; the one under the pointer gains 2 more
// as each ball is turned, 10 a pass, so it can pass 255 part-way through a pass.
TEST_F(Screens, MenuBallsTurnAndTheHoveredOneFaster)
{
    const struct {
        double before[MENU_ITEMS];
        int hovered;
        double after[MENU_ITEMS];
    } rows[] = {{{0, 100, 254, 255, 300}, MENU_NONE, {1, 101, 255, 0, 0}},
                {{0, 0, 0, 0, 250}, MENU_QUIT, {1, 1, 1, 1, 2}}, // 258 wraps at its turn, +2
                {{261, 0, 0, 0, 0}, MENU_ONE_PLAYER, {10, 1, 1, 1, 1}}};
    for (const auto &r : rows) {
        double angle[MENU_ITEMS];
        std::copy(r.before, r.before + MENU_ITEMS, angle);
        step_menu_angles(angle, r.hovered);
        EXPECT_EQ(nums(angle, angle + MENU_ITEMS), nums(r.after, r.after + MENU_ITEMS));
    }
}

// Opacity falls by the speed from 255 - speed while it stays above zero, a picture a step.
TEST_F(Screens, FadeShowsOneBlendedPictureAStepThenBlack)
{
    const int rows[][2] = {{16, 15}, {0, 31}, {128, 1}, {255, 0}};
    static std::vector<int> red; // of a white pixel in each picture shown: dimmer each time
    picture_shown = [] { red.push_back(getr(getpixel(screen, 400, 300))); };
    for (const auto &r : rows) {
        blit(title1, screen, 0, 0, 0, 0, 800, 600);
        putpixel(screen, 400, 300, makecol(255, 255, 255));
        red.clear();
        highcolor_fade_out(r[0]);
        EXPECT_EQ(N(fade_pictures, pixels(screen, 0, 0, 799, 599, 0)), N(r[1], 800 * 600)) << r[0];
        ASSERT_EQ(red.size(), size_t(r[1] + 1)); // then black
        for (int k = 0; k < r[1]; k++)           // at opacity 255 - speed, less the speed each time
            EXPECT_NEAR(red[k], 255 - (r[0] ? r[0] : 8) * (k + 1), 9) << r[0] << " " << k;
    }
    picture_shown = nullptr;
}
