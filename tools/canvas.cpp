// canvas -- floating-point RGBA pictures with anti-aliased shapes, glows and file output
#include "canvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "png.h"

colour rgb(int r, int g, int b)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

colour mix(colour a, colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

colour scale(colour c, float f)
{
    return {c.r * f, c.g * f, c.b * f};
}

canvas make_canvas(int w, int h, colour c, float alpha)
{
    canvas cv;
    cv.w = w;
    cv.h = h;
    cv.px.assign(w * h, pixel{c.r, c.g, c.b, alpha});
    return cv;
}

void blend(canvas &c, int x, int y, colour col, float cover)
{
    if (cover <= 0.0f || x < 0 || y < 0 || x >= c.w || y >= c.h) return;
    cover = std::min(cover, 1.0f);
    pixel &p = at(c, x, y);
    float a = cover + p.a * (1.0f - cover);
    if (a <= 0.0f) return;
    float k = p.a * (1.0f - cover);
    p.r = (col.r * cover + p.r * k) / a;
    p.g = (col.g * cover + p.g * k) / a;
    p.b = (col.b * cover + p.b * k) / a;
    p.a = a;
}

void add_light(canvas &c, int x, int y, colour col, float amount)
{
    if (amount <= 0.0f || x < 0 || y < 0 || x >= c.w || y >= c.h) return;
    pixel &p = at(c, x, y);
    // Light over a partly transparent pixel: work in premultiplied terms.
    float pr = p.r * p.a + col.r * amount, pg = p.g * p.a + col.g * amount,
          pb = p.b * p.a + col.b * amount;
    float a = std::min(1.0f, std::max(p.a, std::max(pr, std::max(pg, pb))));
    if (a <= 0.0f) return;
    p.r = std::min(1.0f, pr / a);
    p.g = std::min(1.0f, pg / a);
    p.b = std::min(1.0f, pb / a);
    p.a = a;
}

float sd_circle(float px, float py, float cx, float cy, float r)
{
    return std::hypot(px - cx, py - cy) - r;
}

float sd_segment(float px, float py, float ax, float ay, float bx, float by, float r)
{
    float dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy) - r;
}

float sd_round_rect(float px, float py, float x0, float y0, float x1, float y1, float r)
{
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

float sd_polygon(float px, float py, const std::vector<float> &xy)
{
    int n = (int)xy.size() / 2;
    float d = 1e30f;
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        float ax = xy[2 * j], ay = xy[2 * j + 1], bx = xy[2 * i], by = xy[2 * i + 1];
        d = std::min(d, sd_segment(px, py, ax, ay, bx, by, 0.0f));
        if ((by > py) != (ay > py) && px < (ax - bx) * (py - by) / (ay - by) + bx) inside = !inside;
    }
    return inside ? -d : d;
}

void fill_circle(canvas &c, float cx, float cy, float r, colour col, float alpha)
{
    for_box(c, cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1,
            [&](int x, int y, float fx, float fy) {
                blend(c, x, y, col, alpha * coverage(sd_circle(fx, fy, cx, cy, r)));
            });
}

void ring(canvas &c, float cx, float cy, float r, float width, colour col, float alpha)
{
    float o = r + width / 2 + 1;
    for_box(c, cx - o, cy - o, cx + o, cy + o, [&](int x, int y, float fx, float fy) {
        float d = std::fabs(sd_circle(fx, fy, cx, cy, r)) - width / 2;
        blend(c, x, y, col, alpha * coverage(d));
    });
}

void thick_line(canvas &c, float ax, float ay, float bx, float by, float width, colour col,
                float alpha)
{
    float r = width / 2;
    for_box(c, std::min(ax, bx) - r - 1, std::min(ay, by) - r - 1, std::max(ax, bx) + r + 1,
            std::max(ay, by) + r + 1, [&](int x, int y, float fx, float fy) {
                blend(c, x, y, col, alpha * coverage(sd_segment(fx, fy, ax, ay, bx, by, r)));
            });
}

void fill_round_rect(canvas &c, float x0, float y0, float x1, float y1, float r, colour col,
                     float alpha)
{
    for_box(c, x0 - 1, y0 - 1, x1 + 1, y1 + 1, [&](int x, int y, float fx, float fy) {
        blend(c, x, y, col, alpha * coverage(sd_round_rect(fx, fy, x0, y0, x1, y1, r)));
    });
}

void fill_polygon(canvas &c, const std::vector<float> &xy, colour col, float alpha)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    for_box(c, x0 - 1, y0 - 1, x1 + 1, y1 + 1, [&](int x, int y, float fx, float fy) {
        blend(c, x, y, col, alpha * coverage(sd_polygon(fx, fy, xy)));
    });
}

void glow_circle(canvas &c, float cx, float cy, float r, float reach, colour col, float strength)
{
    float o = r + reach * 6;
    for_box(c, cx - o, cy - o, cx + o, cy + o, [&](int x, int y, float fx, float fy) {
        float d = std::max(0.0f, sd_circle(fx, fy, cx, cy, r));
        add_light(c, x, y, col, strength * std::exp(-d / reach));
    });
}

void glow_line(canvas &c, float ax, float ay, float bx, float by, float reach, colour col,
               float strength)
{
    float o = reach * 6;
    for_box(c, std::min(ax, bx) - o, std::min(ay, by) - o, std::max(ax, bx) + o,
            std::max(ay, by) + o, [&](int x, int y, float fx, float fy) {
                float d = std::max(0.0f, sd_segment(fx, fy, ax, ay, bx, by, 0.0f));
                add_light(c, x, y, col, strength * std::exp(-d / reach));
            });
}

void compose(canvas &dst, const canvas &src, int ox, int oy)
{
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            const pixel &p = src.px[y * src.w + x];
            blend(dst, x + ox, y + oy, {p.r, p.g, p.b}, p.a);
        }
}

static float hash01(int x, int y, unsigned seed)
{
    unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / float(0x1000000);
}

float value_noise(float x, float y, unsigned seed)
{
    int ix = (int)std::floor(x), iy = (int)std::floor(y);
    float fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    float c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}

float fractal_noise(float x, float y, unsigned seed, int octaves)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; i++) {
        sum += amp * value_noise(x, y, seed + i * 101);
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

// 8x8 ordered-dither thresholds in 0..1.
static float bayer(int x, int y)
{
    static const int m[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
    };
    return (m[y & 7][x & 7] + 0.5f) / 64.0f;
}

static int quantise(float v, int levels, float threshold)
{
    int q = (int)std::floor(std::clamp(v, 0.0f, 1.0f) * (levels - 1) + threshold);
    return std::clamp(q, 0, levels - 1);
}

static void put_le(FILE *f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        fputc((v >> (8 * i)) & 0xFF, f);
}

bool save_bmp24(const canvas &c, const std::string &path, bool masked, colour under, float cut)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    int row = (c.w * 3 + 3) & ~3;
    uint32_t size = 54 + row * c.h;
    fputc('B', f);
    fputc('M', f);
    put_le(f, size, 4);
    put_le(f, 0, 4);
    put_le(f, 54, 4);
    put_le(f, 40, 4);
    put_le(f, c.w, 4);
    put_le(f, c.h, 4);
    put_le(f, 1, 2);
    put_le(f, 24, 2);
    put_le(f, 0, 4);
    put_le(f, row * c.h, 4);
    put_le(f, 2835, 4);
    put_le(f, 2835, 4);
    put_le(f, 0, 4);
    put_le(f, 0, 4);
    std::vector<unsigned char> line(row, 0);
    for (int y = c.h - 1; y >= 0; y--) {
        for (int x = 0; x < c.w; x++) {
            const pixel &p = c.px[y * c.w + x];
            int r, g, b;
            if (masked && p.a < cut) {
                r = 255, g = 0, b = 255;
            } else {
                float a = p.a;
                float fr = p.r * a + under.r * (1 - a), fg = p.g * a + under.g * (1 - a),
                      fb = p.b * a + under.b * (1 - a);
                float t = bayer(x, y);
                int qr = quantise(fr, 32, t), qg = quantise(fg, 64, t), qb = quantise(fb, 32, t);
                if (qr == 31 && qg == 0 && qb == 31) qg = 1; // never the mask colour
                r = (qr << 3) | (qr >> 2);
                g = (qg << 2) | (qg >> 4);
                b = (qb << 3) | (qb >> 2);
            }
            line[x * 3] = b;
            line[x * 3 + 1] = g;
            line[x * 3 + 2] = r;
        }
        fwrite(line.data(), 1, row, f);
    }
    return fclose(f) == 0;
}

bool save_png(const canvas &c, const std::string &path, bool alpha)
{
    int ch = alpha ? 4 : 3;
    std::vector<unsigned char> raw;
    raw.reserve((size_t)c.w * ch * c.h);
    for (const pixel &p : c.px) {
        float k = alpha ? 1.0f : p.a;
        raw.push_back((unsigned char)std::lround(std::clamp(p.r * k, 0.0f, 1.0f) * 255));
        raw.push_back((unsigned char)std::lround(std::clamp(p.g * k, 0.0f, 1.0f) * 255));
        raw.push_back((unsigned char)std::lround(std::clamp(p.b * k, 0.0f, 1.0f) * 255));
        if (alpha) raw.push_back((unsigned char)std::lround(std::clamp(p.a, 0.0f, 1.0f) * 255));
    }
    return write_png(path, c.w, c.h, raw.data(), ch);
}

// Premultiplied sample of the source at a fractional position (bilinear).
static pixel sample_bilinear(const canvas &c, float x, float y)
{
    x = std::clamp(x - 0.5f, 0.0f, (float)c.w - 1);
    y = std::clamp(y - 0.5f, 0.0f, (float)c.h - 1);
    int x0 = (int)x, y0 = (int)y, x1 = std::min(x0 + 1, c.w - 1), y1 = std::min(y0 + 1, c.h - 1);
    float fx = x - x0, fy = y - y0;
    pixel out{0, 0, 0, 0};
    auto acc = [&](int sx, int sy, float wgt) {
        const pixel &p = c.px[sy * c.w + sx];
        out.r += p.r * p.a * wgt;
        out.g += p.g * p.a * wgt;
        out.b += p.b * p.a * wgt;
        out.a += p.a * wgt;
    };
    acc(x0, y0, (1 - fx) * (1 - fy));
    acc(x1, y0, fx * (1 - fy));
    acc(x0, y1, (1 - fx) * fy);
    acc(x1, y1, fx * fy);
    return out;
}

canvas resized(const canvas &c, int w, int h)
{
    canvas out = make_canvas(w, h, {0, 0, 0}, 0.0f);
    float sx = (float)c.w / w, sy = (float)c.h / h;
    int n = std::max(1, (int)std::ceil(std::max(sx, sy)) * 2);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            pixel acc{0, 0, 0, 0};
            for (int j = 0; j < n; j++)
                for (int i = 0; i < n; i++) {
                    pixel p =
                        sample_bilinear(c, (x + (i + 0.5f) / n) * sx, (y + (j + 0.5f) / n) * sy);
                    acc.r += p.r;
                    acc.g += p.g;
                    acc.b += p.b;
                    acc.a += p.a;
                }
            float k = 1.0f / (n * n);
            pixel &o = out.px[y * w + x];
            o.a = acc.a * k;
            if (o.a > 0) {
                o.r = acc.r * k / o.a;
                o.g = acc.g * k / o.a;
                o.b = acc.b * k / o.a;
            }
        }
    return out;
}

mask make_mask(int w, int h)
{
    mask m;
    m.w = w;
    m.h = h;
    m.a.assign(w * h, 0.0f);
    return m;
}

mask padded(const mask &m, int pad)
{
    mask out = make_mask(m.w + 2 * pad, m.h + 2 * pad);
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++)
            out.a[(y + pad) * out.w + x + pad] = m.a[y * m.w + x];
    return out;
}

static void box_pass(std::vector<float> &v, int w, int h, int r, bool horizontal)
{
    std::vector<float> out(v.size());
    int n = horizontal ? w : h, lines = horizontal ? h : w;
    for (int l = 0; l < lines; l++) {
        auto idx = [&](int i) { return horizontal ? l * w + i : i * w + l; };
        float sum = 0;
        for (int i = -r; i <= r; i++)
            if (i >= 0 && i < n) sum += v[idx(i)];
        for (int i = 0; i < n; i++) {
            out[idx(i)] = sum / (2 * r + 1);
            int add = i + r + 1, sub = i - r;
            if (add < n) sum += v[idx(add)];
            if (sub >= 0) sum -= v[idx(sub)];
        }
    }
    v.swap(out);
}

mask blurred(const mask &m, int radius)
{
    mask out = m;
    for (int pass = 0; pass < 3; pass++) {
        box_pass(out.a, out.w, out.h, radius, true);
        box_pass(out.a, out.w, out.h, radius, false);
    }
    return out;
}

mask dilated(const mask &m, float r)
{
    mask out = make_mask(m.w, m.h);
    int ir = (int)std::ceil(r) + 1;
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float best = 0;
            for (int j = -ir; j <= ir; j++)
                for (int i = -ir; i <= ir; i++) {
                    float v = m.get(x + i, y + j);
                    if (v <= best) continue;
                    float w = std::clamp(r + 0.5f - std::hypot((float)i, (float)j), 0.0f, 1.0f);
                    best = std::max(best, v * w);
                }
            out.a[y * m.w + x] = best;
        }
    return out;
}

void light_mask(canvas &c, const mask &m, int ox, int oy, colour col, float strength)
{
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float v = m.a[y * m.w + x];
            if (v > 0.0f) add_light(c, x + ox, y + oy, col, v * strength);
        }
}
