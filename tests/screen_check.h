#ifndef SCREEN_CHECK_H
#define SCREEN_CHECK_H
// screen_check -- pixel checks of drawn text and pictures for the headless tests
#include <allegro.h>

// True when bmp shows text printed in colour at (x, y) with a transparent background over
// the picture under: every pixel of the glyphs has the colour, and every other pixel of the
// text's box, widened by `margin` columns on the right, still shows `under`.
inline bool shows_text(BITMAP *bmp, BITMAP *under, FONT *f, int x, int y, int colour,
                       const char *text, int margin = 12)
{
    int w = text_length(f, text), h = text_height(f);
    BITMAP *glyphs = create_bitmap(w + margin, h);
    int blank = bitmap_mask_color(glyphs);
    clear_to_color(glyphs, blank);
    textout_ex(glyphs, f, text, 0, 0, colour, -1);
    bool same = true;
    for (int gy = 0; gy < h && same; gy++) {
        for (int gx = 0; gx < w + margin && same; gx++) {
            int want = getpixel(glyphs, gx, gy) == blank ? getpixel(under, x + gx, y + gy) : colour;
            same = getpixel(bmp, x + gx, y + gy) == want;
        }
    }
    destroy_bitmap(glyphs);
    return same;
}

// True when bmp shows the picture's visible (unmasked) pixels with its top-left at (x, y).
inline bool shows_sprite(BITMAP *bmp, BITMAP *picture, int x, int y)
{
    int mask = bitmap_mask_color(picture);
    for (int py = 0; py < picture->h; py++)
        for (int px = 0; px < picture->w; px++) {
            int c = getpixel(picture, px, py);
            if (c != mask && getpixel(bmp, x + px, y + py) != c) return false;
        }
    return true;
}

#endif
