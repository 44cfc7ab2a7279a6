// The fade to black that closes every screen.
#include <gtest/gtest.h>

#include "fade.h"
#include "gamedata.h"
#include "headless.h"
#include "init.h"

namespace {

class Fade : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        blit(title1, screen, 0, 0, 0, 0, 800, 600);
    }

    bool screen_is_black()
    {
        for (int y = 0; y < SCREEN_H; y += 7)
            for (int x = 0; x < SCREEN_W; x += 5)
                if (getpixel(screen, x, y) != 0) return false;
        return true;
    }
};

// Opacity falls by the speed from 255 - speed while it stays above zero.
TEST_F(Fade, ShowsOneBlendedPicturePerStepThenBlack)
{
    struct {
        int speed, pictures;
    } cases[] = {{16, 15}, {8, 31}, {0, 31}, {-3, 31}, {128, 1}, {255, 0}, {300, 0}};
    for (auto c : cases) {
        blit(title1, screen, 0, 0, 0, 0, 800, 600);
        highcolor_fade_out(c.speed);
        EXPECT_EQ(fade_pictures, c.pictures) << "speed " << c.speed;
        EXPECT_TRUE(screen_is_black()) << "speed " << c.speed;
    }
}

} // namespace
