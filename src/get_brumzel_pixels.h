#ifndef GET_BRUMZEL_PIXELS_H
#define GET_BRUMZEL_PIXELS_H
// get_brumzel_pixels -- samples the bumper logo into a list of pixels for the game-over burst

constexpr int BRUMZEL_PIXEL_SLOTS = 3700;
constexpr int LOGO_SIZE = 60;
struct brumzel_pixel {
    int x, y, col;
};
// The logo's kept pixels in column order; entries past the last one are zero.
extern brumzel_pixel brumzel_pixels[BRUMZEL_PIXEL_SLOTS];

// Fills brumzel_pixels from brumzel1 (columns and rows 0 to 60). Leaves the logo in buffer.
void get_brumzel_pixels();

#endif
