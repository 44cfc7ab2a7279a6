#ifndef PNG_H
#define PNG_H
// png -- 8-bit RGB and RGBA pictures in PNG files: written by the generator and the tests, read
// back by the picture tests
#include <string>
#include <vector>

// A picture of 3 bytes a pixel (red, green, blue), rows from the top.
struct rgb_picture {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
};

// Writes w x h pixels of `channels` bytes each (3: RGB, 4: RGBA), rows from the top.
bool write_png(const std::string &path, int w, int h, const unsigned char *pixels, int channels);
// Reads an 8-bit RGB or RGBA PNG without interlacing (alpha is dropped). False on anything else.
bool read_png(const std::string &path, rgb_picture *out);
// How many pixels of `other` differ from `base`, and where: `where` is `other` dimmed to a quarter
// with those pixels magenta. Pictures of different sizes differ in every pixel of `other`.
long picture_difference(const rgb_picture &base, const rgb_picture &other, rgb_picture *where);

#endif
