// Help and credits screens: the spinning exit ball and what each screen draws.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "credits.h"
#include "gamedata.h"
#include "headless.h"
#include "help.h"
#include "init.h"

namespace {

class Screens : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        mouse_x = 0;
        mouse_y = 0;
        mouse_b = 0;
    }
};

TEST(ExitBall, RimCountsAsOnTheBall)
{
    EXPECT_TRUE(on_click_circle(706, 503, EXIT_BALL_X, EXIT_BALL_Y));
    EXPECT_TRUE(on_click_circle(791, 503, EXIT_BALL_X, EXIT_BALL_Y));  // 85 to the right
    EXPECT_TRUE(on_click_circle(706, 418, EXIT_BALL_X, EXIT_BALL_Y));  // 85 up
    EXPECT_TRUE(on_click_circle(757, 571, EXIT_BALL_X, EXIT_BALL_Y));  // 51² + 68² = 85²
    EXPECT_FALSE(on_click_circle(792, 503, EXIT_BALL_X, EXIT_BALL_Y)); // 86
    EXPECT_FALSE(on_click_circle(706, 589, EXIT_BALL_X, EXIT_BALL_Y));
    EXPECT_FALSE(on_click_circle(767, 564, EXIT_BALL_X, EXIT_BALL_Y)); // 61² + 61² > 85²
}

// Counts the pixels of buffer's row band that carry a text colour.
int pixels_of_colour(BITMAP *bmp, int y0, int y1, int colour)
{
    int count = 0;
    for (int y = y0; y < y1; y++)
        for (int x = 0; x < bmp->w; x++)
            if (getpixel(bmp, x, y) == colour) count++;
    return count;
}

TEST_F(Screens, CreditsLeaveOnAnyButtonOverTheBallAndShowTheirLines)
{
    // The right button alone over the ball's rim ends the credits (the help screen would not).
    mouse_x = 791;
    mouse_y = 503;
    mouse_b = 2;
    credits();
    EXPECT_EQ(getpixel(screen, 400, 300), 0) << "the credits fade out to black";
    // The last frame stays in buffer: yellow thanks line, red heading, white maker line.
    EXPECT_GT(pixels_of_colour(buffer, 160, 178, makecol(255, 255, 0)), 100);
    EXPECT_GT(pixels_of_colour(buffer, 100, 150, makecol(255, 64, 64)), 100);
    EXPECT_GT(pixels_of_colour(buffer, 550, 580, makecol(255, 255, 255)), 50);
}

TEST_F(Screens, HelpLeavesOnLeftClickOverTheBallAfterTheButtonIsLetGo)
{
    mouse_x = 706;
    mouse_y = 503;
    mouse_b = 1;
    // The help screen waits for the button to be let go before it fades: let go a little later.
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        mouse_b = 0;
    });
    help_display();
    int button_on_return = mouse_b;
    release.join();
    EXPECT_EQ(button_on_return, 0) << "help returned only once the button was up";
    EXPECT_EQ(getpixel(screen, 400, 300), 0);
    // Its last frame: the help page with the pointer drawn at the ball's centre.
    EXPECT_EQ(getpixel(buffer, 5, 5), getpixel(help1, 5, 5));
}

} // namespace
