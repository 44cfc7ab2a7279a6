#ifndef CANVAS_H
#define CANVAS_H
// canvas -- floating-point RGBA pictures with anti-aliased shapes, glows and file output
#include <cmath>
#include <string>
#include <vector>

struct colour {
    float r, g, b;
};

// A straight (not premultiplied) RGBA pixel, components 0..1.
struct pixel {
    float r, g, b, a;
};

struct canvas {
    int w = 0, h = 0;
    std::vector<pixel> px;
};

// Colour from 0-255 components.
colour rgb(int r, int g, int b);
colour mix(colour a, colour b, float t);
colour scale(colour c, float f);

canvas make_canvas(int w, int h, colour c, float alpha = 1.0f);
inline pixel &at(canvas &c, int x, int y)
{
    return c.px[y * c.w + x];
}

// Lays colour c over the pixel with the given coverage (0..1): "over" compositing.
void blend(canvas &c, int x, int y, colour col, float cover);
// Adds light to the pixel (for glows); also makes it as opaque as the light is bright.
void add_light(canvas &c, int x, int y, colour col, float amount);

// Coverage of a pixel at signed distance d (negative inside) from a shape's edge.
inline float coverage(float d)
{
    return d <= -0.5f ? 1.0f : d >= 0.5f ? 0.0f : 0.5f - d;
}

// Calls f(x, y) for every pixel centre of the box that lies on the canvas.
template <class F> void for_box(canvas &c, float x0, float y0, float x1, float y1, F f)
{
    int ix0 = std::max(0, (int)std::floor(x0)), iy0 = std::max(0, (int)std::floor(y0));
    int ix1 = std::min(c.w - 1, (int)std::ceil(x1)), iy1 = std::min(c.h - 1, (int)std::ceil(y1));
    for (int y = iy0; y <= iy1; y++)
        for (int x = ix0; x <= ix1; x++)
            f(x, y, x + 0.5f, y + 0.5f);
}

// Signed distances (negative inside).
float sd_circle(float px, float py, float cx, float cy, float r);
float sd_segment(float px, float py, float ax, float ay, float bx, float by, float r);
float sd_round_rect(float px, float py, float x0, float y0, float x1, float y1, float r);
float sd_polygon(float px, float py, const std::vector<float> &xy);

// Filled shapes in one colour, anti-aliased.
void fill_circle(canvas &c, float cx, float cy, float r, colour col, float alpha = 1.0f);
void ring(canvas &c, float cx, float cy, float r, float width, colour col, float alpha = 1.0f);
void thick_line(canvas &c, float ax, float ay, float bx, float by, float width, colour col,
                float alpha = 1.0f);
void fill_round_rect(canvas &c, float x0, float y0, float x1, float y1, float r, colour col,
                     float alpha = 1.0f);
void fill_polygon(canvas &c, const std::vector<float> &xy, colour col, float alpha = 1.0f);

// Light that falls off as exp(-d / reach) with the distance d outside a disc or a segment.
void glow_circle(canvas &c, float cx, float cy, float r, float reach, colour col, float strength);
void glow_line(canvas &c, float ax, float ay, float bx, float by, float reach, colour col,
               float strength);

// A coverage mask (0..1 per pixel): rendered text, shapes to be glowed or outlined.
struct mask {
    int w = 0, h = 0;
    std::vector<float> a;
    float get(int x, int y) const
    {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : a[y * w + x];
    }
};
mask make_mask(int w, int h);
// Grows the mask by `pad` pixels on every side (so blurs and outlines have room).
mask padded(const mask &m, int pad);
// Three box-blur passes of the given radius: close to a Gaussian.
mask blurred(const mask &m, int radius);
// The mask thickened by `r` pixels (a round brush), for outlines.
mask dilated(const mask &m, float r);
// Paints the mask onto the canvas at (x, y), colour chosen per canvas pixel by f(x, y).
template <class F> void paint_mask(canvas &c, const mask &m, int ox, int oy, float alpha, F f)
{
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float v = m.a[y * m.w + x];
            if (v > 0.0f) blend(c, x + ox, y + oy, f(x + ox, y + oy), v * alpha);
        }
}
// Adds the mask as light (glow) at (x, y).
void light_mask(canvas &c, const mask &m, int ox, int oy, colour col, float strength);

// Lays one canvas over another at (x, y).
void compose(canvas &dst, const canvas &src, int x, int y);

// Deterministic pseudo-random numbers (fixed seed per picture).
struct rng {
    unsigned state;
    explicit rng(unsigned seed) : state(seed * 2654435761u + 1u) {}
    unsigned next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float uniform()
    {
        return (next() & 0xFFFFFF) / float(0x1000000);
    }
};

// Smooth value noise in 0..1, for nebulae and textures.
float value_noise(float x, float y, unsigned seed);
float fractal_noise(float x, float y, unsigned seed, int octaves);

// Writes the canvas as a 24-bit BMP that Allegro's tools grab. Pixels whose alpha is below
// `cut` become the mask colour (255, 0, 255) when `masked`; the rest are laid over `under`.
// Colours are dithered to 16-bit (5-6-5) steps so the game's 16-bit display shows no banding,
// and no opaque pixel ever lands on the mask colour.
bool save_bmp24(const canvas &c, const std::string &path, bool masked, colour under,
                float cut = 0.5f);
// Writes a PNG (RGBA when `alpha`, else RGB over black).
bool save_png(const canvas &c, const std::string &path, bool alpha);
// A canvas scaled to a new size by area averaging (downscale) or bilinear filtering (upscale).
canvas resized(const canvas &c, int w, int h);

#endif
