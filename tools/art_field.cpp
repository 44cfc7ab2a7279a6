// art_field -- the play field, its corner-pad flashes, the balls, launchers and bumper logo
#include <algorithm>
#include <cmath>

#include "art.h"

static const float PI = 3.14159265358979f;

colour sprite_under()
{
    return rgb(10, 14, 34);
}

// ---- field geometry: the same circles and lines the collisions use ----

enum field_edge {
    EDGE_LEFT,
    EDGE_RIGHT,
    EDGE_TOP,
    EDGE_BOTTOM,
    EDGE_BOTTOM_LEFT,
    EDGE_TOP_LEFT,
    EDGE_TOP_RIGHT,
    EDGE_BOTTOM_RIGHT,
    EDGE_COUNT
};

struct field_point {
    float d;  // signed distance to the field's edge, negative inside the field
    int edge; // which edge is nearest
};

static const float CORNER_R = 150.0f;
static const float CORNER_X[4] = {0, 0, 800, 800}, CORNER_Y[4] = {600, 0, 0, 600};

static float edge_distance(int edge, float x, float y)
{
    switch (edge) {
    case EDGE_LEFT:
        return 28.0f - x;
    case EDGE_RIGHT:
        return x - 772.0f;
    case EDGE_TOP:
        return 1225.0f - std::hypot(x - 400.0f, y + 1180.0f);
    case EDGE_BOTTOM:
        return 1422.5f - std::hypot(x - 400.0f, y - 1980.0f);
    default: {
        int c = edge - EDGE_BOTTOM_LEFT;
        return CORNER_R - std::hypot(x - CORNER_X[c], y - CORNER_Y[c]);
    }
    }
}

static field_point field_at(float x, float y)
{
    field_point p{-1e9f, 0};
    for (int e = 0; e < EDGE_COUNT; e++) {
        float d = edge_distance(e, x, y);
        if (d > p.d) p = {d, e};
    }
    return p;
}

// Neon colour of each edge: goal lines in the players' colours, arcs violet, pads amber.
static colour edge_colour(int edge)
{
    switch (edge) {
    case EDGE_LEFT:
        return rgb(60, 255, 110);
    case EDGE_RIGHT:
        return rgb(70, 160, 255);
    case EDGE_TOP:
    case EDGE_BOTTOM:
        return rgb(170, 90, 255);
    default:
        return rgb(255, 170, 40);
    }
}

// The light an edge throws at a point d pixels from it (d > 0 outside the field).
static float edge_light(float d)
{
    float core = coverage(std::fabs(d) - 1.1f);
    float halo = d < 0 ? 0.55f * std::exp(d / 5.0f) + 0.18f * std::exp(d / 22.0f)
                       : 0.45f * std::exp(-d / 2.5f);
    return core + halo;
}

static colour field_floor(float x, float y)
{
    // Deep blue, lit from the middle, with a faint hexagonal mesh.
    float r = std::hypot((x - 400.0f) / 420.0f, (y - 300.0f) / 300.0f);
    colour c = mix(rgb(26, 34, 78), rgb(7, 9, 26), std::min(1.0f, r));
    float n = fractal_noise(x / 90.0f, y / 90.0f, 7, 4);
    c = mix(c, rgb(30, 16, 60), (n - 0.5f) * 0.6f + 0.1f);
    // Hex mesh: distance to the nearest cell edge.
    const float s = 26.0f;
    float qx = x / (s * 1.5f), qy = y / (s * std::sqrt(3.0f));
    float best = 1e9f, second = 1e9f;
    for (int j = -1; j <= 2; j++)
        for (int i = -1; i <= 2; i++) {
            int cx = (int)std::floor(qx) + i, cy = (int)std::floor(qy) + j;
            float px = cx * s * 1.5f, py = (cy + (cx & 1 ? 0.5f : 0.0f)) * s * std::sqrt(3.0f);
            float dd = std::hypot(x - px, y - py);
            if (dd < best) {
                second = best;
                best = dd;
            } else if (dd < second) {
                second = dd;
            }
        }
    float edge = (second - best) * 0.5f;
    float line = coverage(edge - 0.6f) * 0.10f;
    c = mix(c, rgb(80, 120, 220), line * (1.2f - std::min(1.0f, r)));
    return c;
}

static colour frame_metal(float x, float y)
{
    // Dark brushed gunmetal around the field, quiet enough for the score texts.
    float n = fractal_noise(x / 160.0f, y / 5.0f, 3, 3);
    float v = 11.0f + n * 9.0f;
    return rgb((int)v, (int)(v + 1), (int)(v + 6));
}

canvas field_background()
{
    canvas c = make_canvas(800, 600, {0, 0, 0});
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            float fx = x + 0.5f, fy = y + 0.5f;
            field_point p = field_at(fx, fy);
            colour base = p.d < 0 ? field_floor(fx, fy) : frame_metal(fx, fy);
            // Inside the corner pads: faint concentric grooves.
            if (p.d > 0 && p.edge >= EDGE_BOTTOM_LEFT) {
                int k = p.edge - EDGE_BOTTOM_LEFT;
                float r = std::hypot(fx - CORNER_X[k], fy - CORNER_Y[k]);
                float groove = 0.5f + 0.5f * std::cos(r * 2 * PI / 9.0f);
                base = mix(base, rgb(40, 30, 20), 0.12f * groove * std::min(1.0f, r / 60.0f));
            }
            // Blend the floor and the frame across the edge for a clean anti-aliased border.
            float inside = coverage(p.d);
            colour floor = field_floor(fx, fy), metal = frame_metal(fx, fy);
            if (p.d > -2 && p.d < 2) base = mix(metal, floor, inside);
            // Light from every edge within reach; an edge glows only along the stretch
            // where it bounds the field, fading out past the joints with its neighbours.
            float ds[EDGE_COUNT];
            for (int e = 0; e < EDGE_COUNT; e++)
                ds[e] = edge_distance(e, fx, fy);
            colour out = base;
            for (int e = 0; e < EDGE_COUNT; e++) {
                if (std::fabs(ds[e]) > 90) continue;
                float others = -1e9f;
                for (int o = 0; o < EDGE_COUNT; o++)
                    if (o != e) others = std::max(others, ds[o]);
                float l = edge_light(ds[e]) * std::exp(-std::max(0.0f, others) / 2.5f);
                colour ec = edge_colour(e);
                out.r = std::min(1.0f, out.r + ec.r * l * 0.8f);
                out.g = std::min(1.0f, out.g + ec.g * l * 0.8f);
                out.b = std::min(1.0f, out.b + ec.b * l * 0.8f);
            }
            at(c, x, y) = {out.r, out.g, out.b, 1.0f};
        }
    // Centre markings: a faint circle and a dashed half-way line.
    ring(c, 400, 300, 96, 1.5f, rgb(90, 110, 200), 0.22f);
    for (int y = 70; y < 540; y += 18)
        thick_line(c, 400, y, 400, y + 9, 1.5f, rgb(90, 110, 200), 0.16f);
    return c;
}

// ---- corner-pad flashes ----

canvas pad_highlight(int corner, const canvas &background, int *px, int *py)
{
    static const int xs[4] = {PAD_BOTTOM_LEFT_X, PAD_TOP_LEFT_X, PAD_TOP_RIGHT_X,
                              PAD_BOTTOM_RIGHT_X};
    static const int ys[4] = {PAD_BOTTOM_LEFT_Y, PAD_TOP_LEFT_Y, PAD_TOP_RIGHT_Y,
                              PAD_BOTTOM_RIGHT_Y};
    const int size = 150;
    *px = xs[corner];
    *py = ys[corner];
    int edge = EDGE_BOTTOM_LEFT + corner;
    canvas c = make_canvas(size, size, {0, 0, 0}, 0.0f);
    // A white-hot strike fading through gold into the pad, so it stands out from the pad's
    // own amber neon.
    colour hot = rgb(255, 255, 235), warm = rgb(255, 190, 60);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float fx = *px + x + 0.5f, fy = *py + y + 0.5f;
            if (fx >= 800 || fy >= 600) continue;
            float d = edge_distance(edge, fx, fy);
            // The arc counts only where it bounds the field: the other edges are outside.
            float others = -1e9f;
            for (int e = 0; e < EDGE_COUNT; e++)
                if (e != edge) others = std::max(others, edge_distance(e, fx, fy));
            if (others > 1.5f) continue;
            float along = coverage(others + 0.5f);
            // A band from just inside the field (so it hides little of a bumper touching the
            // pad) to well into the pad.
            float light = d < 0 ? std::exp(d / 3.0f) : std::exp(-d / 16.0f);
            // The halo fades out before the picture's border so it shows no straight cut.
            int border = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
            border = std::min(border, std::min(799 - (int)fx, 599 - (int)fy));
            light *= std::min(1.0f, border / 8.0f);
            float core = coverage(std::fabs(d) - 1.6f);
            light = std::max(light * 2.2f, core) * along;
            if (light < 0.02f || d < -3.5f || d > 38) continue;
            const pixel &bg = background.px[(int)fy * 800 + (int)fx];
            colour col = mix(warm, hot, std::min(1.0f, core + light * 0.4f));
            colour out{std::min(1.0f, bg.r + col.r * light), std::min(1.0f, bg.g + col.g * light),
                       std::min(1.0f, bg.b + col.b * light)};
            at(c, x, y) = {out.r, out.g, out.b, 1.0f};
        }
    return c;
}

// ---- sprites ----

canvas ball(colour base)
{
    const int s = BALL_SIZE * 4; // drawn large, then reduced for smooth edges
    canvas big = make_canvas(s, s, {0, 0, 0}, 0.0f);
    float cx = s / 2.0f, cy = s / 2.0f, r = s / 2.0f - 0.5f;
    for_box(big, 0, 0, s, s, [&](int x, int y, float fx, float fy) {
        float d = sd_circle(fx, fy, cx, cy, r);
        if (d > 1) return;
        // Lit from the top left: a bright core, a darker rim and a white glint.
        float lx = (fx - cx) / r, ly = (fy - cy) / r;
        float lz = std::sqrt(std::max(0.0f, 1 - lx * lx - ly * ly));
        float diffuse = std::max(0.0f, -0.45f * lx - 0.55f * ly + 0.7f * lz);
        colour col = mix(scale(base, 0.35f), base, std::min(1.0f, 0.25f + diffuse));
        float glint = std::pow(std::max(0.0f, -0.4f * lx - 0.5f * ly + 0.77f * lz), 24.0f);
        col = mix(col, rgb(255, 255, 255), std::min(1.0f, glint));
        blend(big, x, y, col, coverage(d));
    });
    return resized(big, BALL_SIZE, BALL_SIZE);
}

// Shading of a cylinder lying along x: v is -1 at its top edge, 1 at its bottom edge.
static float cylinder_shade(float v)
{
    float lit = 1.0f - (v + 0.4f) * (v + 0.4f) / 1.96f;
    return 0.3f + 0.7f * std::sqrt(std::max(0.0f, lit));
}

canvas launcher(colour accent, bool facing_left)
{
    // Drawn facing right (the left player's launcher): a mounting arm from the wall, a round
    // turret at the pivot and a short barrel whose glowing muzzle points into the field.
    const int k = 4; // supersampling factor
    const int W = LAUNCHER_W * k, H = LAUNCHER_H * k;
    canvas big = make_canvas(W, H, {0, 0, 0}, 0.0f);
    float px = 60.5f * k, mid = 10.5f * k;
    // Mounting arm, dark steel with bolts.
    for_box(big, 0, 0, px, H, [&](int x, int y, float fx, float fy) {
        float half = (4.0f + 2.0f * fx / px) * k;
        float d = std::max(std::fabs(fy - mid) - half, -fx);
        if (d > k) return;
        colour col = scale(rgb(90, 96, 120), cylinder_shade((fy - mid) / half));
        if (std::fmod(fx / k, 10.0f) < 1.0f) col = scale(col, 0.55f);
        blend(big, x, y, col, coverage(d / k));
    });
    // Barrel from the pivot to the muzzle.
    for_box(big, px, 0, W, H, [&](int x, int y, float fx, float fy) {
        float half = 3.8f * k;
        float d = std::max(std::fabs(fy - mid) - half, fx - (W - 0.3f * k));
        if (d > k) return;
        colour col = scale(rgb(200, 208, 225), cylinder_shade((fy - mid) / half));
        // Glowing muzzle band in the player's colour.
        if (fx > W - 3.2f * k) col = mix(col, mix(accent, rgb(255, 255, 255), 0.35f), 0.85f);
        blend(big, x, y, col, coverage(d / k));
    });
    // Turret: a sphere in the player's colour with a dark collar.
    float R = 6.8f * k;
    for_box(big, px - R - k, mid - R - k, px + R + k, mid + R + k,
            [&](int x, int y, float fx, float fy) {
                float d = sd_circle(fx, fy, px, mid, R);
                if (d > k) return;
                float lx = (fx - px) / R, ly = (fy - mid) / R;
                float lz = std::sqrt(std::max(0.0f, 1 - lx * lx - ly * ly));
                float diff = std::max(0.0f, -0.4f * lx - 0.6f * ly + 0.7f * lz);
                colour col = mix(scale(accent, 0.25f), accent, std::min(1.0f, diff * 1.2f));
                float glint = std::pow(std::max(0.0f, -0.4f * lx - 0.5f * ly + 0.77f * lz), 18.0f);
                col = mix(col, rgb(255, 255, 255), glint);
                if (std::hypot(lx, ly) > 0.86f) col = rgb(16, 20, 32);
                blend(big, x, y, col, coverage(d / k));
            });
    canvas small = resized(big, LAUNCHER_W, LAUNCHER_H);
    if (facing_left) {
        // Mirror about the pivot so pixel 60 becomes pixel 10, the right launcher's pivot.
        canvas m = make_canvas(small.w, small.h, {0, 0, 0}, 0.0f);
        for (int y = 0; y < m.h; y++)
            for (int x = 1; x < m.w; x++)
                at(m, x, y) = small.px[y * small.w + (LAUNCHER_W - x)];
        return m;
    }
    return small;
}

canvas logo(int size)
{
    // A pinwheel of six bright segments in a chrome ring, with a glossy hub: it reads as a
    // spinning bumper and bursts into many colours.
    const int k = size <= 64 ? 4 : 2;
    const int S = size * k;
    canvas big = make_canvas(S, S, {0, 0, 0}, 0.0f);
    float c = S / 2.0f, R = S / 2.0f - 0.4f * k;
    static const int seg[6][3] = {{255, 60, 60}, {255, 180, 30}, {250, 240, 60},
                                  {60, 220, 90}, {50, 150, 255}, {170, 80, 255}};
    for_box(big, 0, 0, S, S, [&](int x, int y, float fx, float fy) {
        float dx = fx - c, dy = fy - c;
        float r = std::hypot(dx, dy);
        float d = r - R;
        if (d > 1) return;
        float rn = r / R;
        colour col;
        if (rn > 0.86f) {
            // Chrome rim, lit from the top left.
            float t = 0.5f + 0.5f * (-dx - dy) / (r * 1.414f + 1e-3f);
            col = mix(rgb(70, 80, 100), rgb(235, 240, 255), t);
            float band = std::fabs(rn - 0.93f) / 0.07f;
            col = scale(col, 0.75f + 0.25f * (1 - band));
        } else if (rn > 0.30f) {
            // Curved pinwheel segments.
            float a = std::atan2(dy, dx) + rn * 1.2f;
            float u = (a / (2 * PI) + 1.0f) * 6.0f;
            int i = ((int)std::floor(u)) % 6;
            float fu = u - std::floor(u);
            colour sc = rgb(seg[i][0], seg[i][1], seg[i][2]);
            float shade = 0.65f + 0.35f * (1 - rn);
            col = scale(sc, shade);
            // Dark seam between segments.
            float seam = std::min(fu, 1 - fu) * 2 * PI * r / 6.0f / k;
            col = mix(rgb(20, 16, 30), col, std::clamp(seam - 0.3f, 0.0f, 1.0f));
            if (rn > 0.82f) col = scale(col, 0.5f);
        } else {
            // Glossy hub.
            float lx = dx / (0.30f * R), ly = dy / (0.30f * R);
            float lz = std::sqrt(std::max(0.0f, 1 - lx * lx - ly * ly));
            float diff = std::max(0.0f, -0.4f * lx - 0.6f * ly + 0.7f * lz);
            col = mix(rgb(40, 20, 70), rgb(240, 110, 220), diff);
            float glint = std::pow(std::max(0.0f, -0.35f * lx - 0.5f * ly + 0.79f * lz), 16.0f);
            col = mix(col, rgb(255, 255, 255), glint);
            if (rn > 0.27f) col = scale(col, 0.4f);
        }
        // Glassy highlight over the upper left.
        float hx = dx / R + 0.35f, hy = dy / R + 0.45f;
        float gloss = std::exp(-(hx * hx * 6 + hy * hy * 14)) * 0.35f;
        col = mix(col, rgb(255, 255, 255), gloss * (rn < 0.86f ? 1.0f : 0.3f));
        // A dark outer edge keeps the rotated sprite's unsmoothed rim quiet on the field.
        if (rn > 0.965f) col = mix(col, rgb(20, 22, 34), std::min(1.0f, (rn - 0.965f) / 0.035f));
        blend(big, x, y, col, coverage(d / k));
    });
    return resized(big, size, size);
}
