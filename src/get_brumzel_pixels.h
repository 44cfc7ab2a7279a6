#ifndef GET_BRUMZEL_PIXELS_H
#define GET_BRUMZEL_PIXELS_H
// get_brumzel_pixels -- samples the bumper logo into a list of pixels for the game-over burst

constexpr int BRUMZEL_PIXEL_SLOTS = 3700;
constexpr int LOGO_SIZE = 60;
struct brumzel_pixel {
    int x, y, col;
};
extern brumzel_pixel brumzel_pixels[BRUMZEL_PIXEL_SLOTS];

void get_brumzel_pixels();

#endif
