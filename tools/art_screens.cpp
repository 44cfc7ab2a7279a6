// art_screens -- the title, help, high-score and name-entry pictures, menu labels and pointer
#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "fonts.h"

static const float PI = 3.14159265358979f;

// ---- styled text ----

struct text_style {
    face_id face = FACE_SANS_BOLD;
    int size = 16;
    colour top{1, 1, 1}, bottom{1, 1, 1}; // vertical gradient of the letters
    float outline = 0;
    colour outline_col{0, 0, 0};
    float glow = 0;
    int glow_radius = 5;
    colour glow_col{1, 1, 1};
    float shadow = 0; // opacity of a soft drop shadow
    float spacing = 0;
    bool chrome = false; // sky-and-sunset chrome in place of the gradient
};

// Polished chrome: sky blue to white above a bright horizon line, dark to gold below it.
static colour chrome_at(float t)
{
    if (t < 0.52f) return mix(rgb(70, 110, 220), rgb(245, 250, 255), std::pow(t / 0.52f, 1.4f));
    if (t < 0.56f) return rgb(255, 255, 255);
    return mix(rgb(90, 20, 70), rgb(255, 190, 70), std::pow((t - 0.56f) / 0.44f, 0.8f));
}

enum text_align { ALIGN_LEFT, ALIGN_CENTRE };

// Draws text with its line box's top at y; x is the left edge or the centre. Returns the width.
static int draw_text(canvas &c, const text_style &st, const std::string &text, float x, float y,
                     text_align align = ALIGN_LEFT)
{
    text_mask tm = render_text(st.face, st.size, text, st.spacing);
    int pad = (int)std::ceil(std::max(st.outline + 2, (float)st.glow_radius * 3 + 2));
    mask m = padded(tm.m, pad);
    int w = tm.m.w;
    int ox = (int)std::lround(align == ALIGN_CENTRE ? x - w / 2.0f : x) - pad;
    int oy = (int)std::lround(y) - pad;
    if (st.glow > 0)
        light_mask(c, blurred(dilated(m, 1.0f), st.glow_radius), ox, oy, st.glow_col, st.glow);
    if (st.shadow > 0) {
        mask sh = blurred(dilated(m, st.outline), 2);
        paint_mask(c, sh, ox + 2, oy + 3, st.shadow, [](int, int) { return colour{0, 0, 0}; });
    }
    if (st.outline > 0)
        paint_mask(c, dilated(m, st.outline), ox, oy, 1.0f,
                   [&](int, int) { return st.outline_col; });
    float top = y + tm.baseline - st.size * 0.75f, bottom = y + tm.baseline;
    paint_mask(c, m, ox, oy, 1.0f, [&](int, int py) {
        float t = std::clamp((py - top) / std::max(1.0f, bottom - top), 0.0f, 1.0f);
        return st.chrome ? chrome_at(t) : mix(st.top, st.bottom, t);
    });
    return w;
}

// ---- shared backdrops ----

// Deep space: a violet-to-blue sky, soft nebulae and stars. `calm` dims the middle.
static canvas space_backdrop(unsigned seed, float calm)
{
    canvas c = make_canvas(800, 600, {0, 0, 0});
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            float t = y / 600.0f;
            colour sky = mix(rgb(22, 8, 42), rgb(4, 8, 26), t);
            float n1 = fractal_noise(x / 210.0f, y / 210.0f, seed, 5);
            float n2 = fractal_noise(x / 150.0f + 7, y / 150.0f, seed + 50, 5);
            float neb1 = std::pow(std::max(0.0f, n1 - 0.45f) * 2.2f, 2.0f);
            float neb2 = std::pow(std::max(0.0f, n2 - 0.5f) * 2.4f, 2.0f);
            float mid =
                std::exp(-(std::pow((x - 400) / 260.0f, 2) + std::pow((y - 260) / 170.0f, 2)));
            float k = 1.0f - calm * mid;
            colour col = sky;
            col = mix(col, rgb(140, 40, 160), neb1 * 0.55f * k);
            col = mix(col, rgb(30, 110, 170), neb2 * 0.45f * k);
            at(c, x, y) = {col.r, col.g, col.b, 1};
        }
    rng r(seed);
    for (int i = 0; i < 420; i++) {
        float x = r.uniform() * 800, y = r.uniform() * 600;
        float b = r.uniform();
        b = b * b * b;
        colour tint = mix(rgb(200, 210, 255), rgb(255, 230, 200), r.uniform());
        fill_circle(c, x, y, 0.45f + b * 0.9f, tint, 0.35f + 0.65f * b);
        if (b > 0.5f) glow_circle(c, x, y, 0.5f, 2.5f, tint, 0.25f * b);
    }
    return c;
}

// A receding neon grid floor below the horizon, fading into the distance.
static void grid_floor(canvas &c, float horizon, colour col, float strength)
{
    for (int y = (int)horizon; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            float fy = y + 0.5f - horizon;
            // Ground lines one unit apart; depth z grows towards the horizon.
            float z = 870.0f / (fy + 4);
            float wx = (x + 0.5f - 400) * z / 400.0f;
            float gx = std::fabs(wx - std::round(wx)) * 400.0f / z;                 // pixels
            float gz = std::fabs(z - std::round(z)) * (fy + 4) * (fy + 4) / 870.0f; // pixels
            float lx = coverage(gx - 0.55f), lz = coverage(gz - 0.55f);
            float fade = std::min(1.0f, fy / 120.0f);
            float l = std::max(lx, lz) * fade * strength;
            add_light(c, x, y, col, l);
        }
    glow_line(c, 0, horizon, 800, horizon, 4, col, strength * 0.6f);
}

// ---- the title screen ----

canvas title_backdrop()
{
    canvas c = space_backdrop(30, 0.75f);
    grid_floor(c, 430, rgb(200, 60, 220), 0.22f);
    text_style st;
    st.face = FACE_SANS_BOLD;
    st.size = 72;
    st.chrome = true;
    st.outline = 3;
    st.outline_col = rgb(30, 8, 50);
    st.glow = 0.9f;
    st.glow_radius = 8;
    st.glow_col = rgb(255, 60, 200);
    st.shadow = 0.8f;
    st.spacing = 1;
    draw_text(c, st, "Brumzel Ball", 400, 2, ALIGN_CENTRE);
    // A bumper on each side of the name, with a soft halo.
    for (int side = 0; side < 2; side++) {
        float cx = side ? 735 : 65, cy = 48;
        glow_circle(c, cx, cy, 26, 9, rgb(255, 120, 220), 0.35f);
        compose(c, logo(LOGO_SIZE), (int)cx - 30, (int)cy - 30);
    }
    return c;
}

canvas title_ball()
{
    // A spinning wheel: chrome rim, a ring of coloured lights, bright segments and spokes
    // around a dark centre where the menu label sits.
    const int k = 3, S = TITLE_BALL_SIZE * k;
    canvas big = make_canvas(S, S, {0, 0, 0}, 0.0f);
    float c = S / 2.0f, R = 84.0f * k;
    static const int seg[6][3] = {{255, 70, 70},  {255, 170, 40}, {240, 230, 60},
                                  {60, 210, 100}, {60, 150, 255}, {170, 90, 255}};
    for_box(big, 0, 0, S, S, [&](int x, int y, float fx, float fy) {
        float dx = fx - c, dy = fy - c, r = std::hypot(dx, dy);
        float d = r - R;
        if (d > 1) return;
        float rn = r / R;
        float a = std::atan2(dy, dx);
        colour col;
        if (rn > 0.9f) {
            float t = 0.5f + 0.5f * (-dx - dy) / (r * 1.414f + 1e-3f);
            col = mix(rgb(60, 66, 90), rgb(230, 235, 250), t);
            float band = std::fabs(rn - 0.95f) / 0.05f;
            col = scale(col, 0.7f + 0.3f * (1 - band * band));
        } else if (rn > 0.78f) {
            col = rgb(18, 16, 34);
        } else if (rn > 0.56f) {
            float u = (a / (2 * PI) + 1.0f) * 12.0f;
            int i = ((int)std::floor(u)) % 6;
            float fu = u - std::floor(u);
            col = scale(rgb(seg[i][0], seg[i][1], seg[i][2]), 0.55f + 0.45f * (rn - 0.56f) / 0.22f);
            float seam = std::min(fu, 1 - fu) * 2 * PI * r / 12.0f / k;
            col = mix(rgb(14, 12, 26), col, std::clamp(seam - 0.5f, 0.0f, 1.0f));
        } else {
            // Dark centre with faint spokes.
            float u = (a / (2 * PI) + 1.0f) * 12.0f;
            float fu = u - std::floor(u);
            float spoke =
                std::exp(-std::pow(std::min(fu, 1 - fu) * 2 * PI * r / 12.0f / k, 2) / 2.0f);
            col = mix(rgb(12, 12, 30), rgb(34, 34, 70), rn);
            col = mix(col, rgb(70, 70, 120), spoke * 0.5f * std::min(1.0f, rn * 2));
        }
        if (rn > 0.98f) col = mix(col, rgb(16, 14, 30), std::min(1.0f, (rn - 0.98f) / 0.02f));
        blend(big, x, y, col, coverage(d / k));
    });
    // Lights in the dark ring, alternating warm and cool.
    for (int i = 0; i < 16; i++) {
        float a = i * 2 * PI / 16 + PI / 16;
        float lx = c + std::cos(a) * 0.84f * R, ly = c + std::sin(a) * 0.84f * R;
        colour lc = i % 2 ? rgb(120, 230, 255) : rgb(255, 220, 90);
        glow_circle(big, lx, ly, 2.0f * k, 2.0f * k, lc, 0.6f);
        fill_circle(big, lx, ly, 2.2f * k, mix(lc, rgb(255, 255, 255), 0.5f));
    }
    return resized(big, TITLE_BALL_SIZE, TITLE_BALL_SIZE);
}

canvas menu_label(int w, int h, const char *big, const char *small, colour tint)
{
    canvas c = make_canvas(w, h, {0, 0, 0}, 0.0f);
    text_style st;
    st.outline = 2.2f;
    st.outline_col = rgb(8, 6, 20);
    st.top = mix(tint, rgb(255, 255, 255), 0.75f);
    st.bottom = tint;
    if (small && *small) {
        st.size = 52;
        // The big line fills the upper part, the small one the lower.
        draw_text(c, st, big, w / 2.0f, -2, ALIGN_CENTRE);
        text_style sm = st;
        sm.face = FACE_SANS_CONDENSED_BOLD;
        sm.size = 21;
        sm.top = rgb(255, 255, 255);
        sm.bottom = mix(tint, rgb(255, 255, 255), 0.4f);
        draw_text(c, sm, small, w / 2.0f, h - 29, ALIGN_CENTRE);
    } else {
        st.size = h - 6;
        st.face = FACE_SANS_BOLD;
        draw_text(c, st, big, w / 2.0f, -1, ALIGN_CENTRE);
    }
    return c;
}

canvas mouse_pointer()
{
    const int k = 4, W = 16, H = 22;
    canvas big = make_canvas(W * k, H * k, {0, 0, 0}, 0.0f);
    std::vector<float> arrow = {0,     0,     0,     17,   4.2f,  13.2f, 7.4f,
                                20.2f, 10.4f, 18.8f, 7.4f, 12.0f, 12.6f, 12.0f};
    for (float &v : arrow)
        v = (v + 0.6f) * k;
    for_box(big, 0, 0, W * k, H * k, [&](int x, int y, float fx, float fy) {
        float d = sd_polygon(fx, fy, arrow);
        if (d > 1.3f * k) return;
        if (d > 0) {
            blend(big, x, y, rgb(10, 10, 24), coverage(d - 1.2f * k));
            return;
        }
        colour fill = mix(rgb(255, 255, 255), rgb(140, 220, 255), std::min(1.0f, fy / (H * k)));
        blend(big, x, y, fill, 1.0f);
    });
    return resized(big, W, H);
}

// ---- help page ----

static void help_heading(canvas &c, const char *text, float y, colour col)
{
    text_style st;
    st.size = 22;
    st.top = mix(col, rgb(255, 255, 255), 0.5f);
    st.bottom = col;
    st.glow = 0.35f;
    st.glow_radius = 4;
    st.glow_col = col;
    draw_text(c, st, text, 46, y);
    thick_line(c, 46, y + 29, 380, y + 29, 1.2f, col, 0.5f);
}

static void help_line(canvas &c, const char *text, float x, float y,
                      colour col = {0.88f, 0.9f, 0.96f})
{
    text_style st;
    st.face = FACE_SANS;
    st.size = 15;
    st.top = st.bottom = col;
    draw_text(c, st, text, x, y);
}

static void bullet(canvas &c, float x, float y, colour col)
{
    glow_circle(c, x, y, 2, 2.5f, col, 0.4f);
    fill_circle(c, x, y, 3, col);
}

// A ball flying into a bumper, with its points rising: what the game is about, at a glance.
static void help_illustration(canvas &c)
{
    const float bx = 520, by = 480;
    for (int i = 0; i < 9; i++) {
        float t = i / 8.0f;
        float x = 372 + t * 105, y = 540 - t * 48;
        fill_circle(c, x, y, 1.2f + t * 1.6f, rgb(70, 255, 90), 0.25f + 0.6f * t);
    }
    compose(c, ball(rgb(70, 255, 90)), 478, 486);
    for (int i = 0; i < 8; i++) {
        float a = i * 0.785f + 0.3f;
        thick_line(c, 487 + std::cos(a) * 8, 492 + std::sin(a) * 8, 487 + std::cos(a) * 15,
                   492 + std::sin(a) * 15, 1.5f, rgb(255, 230, 120), 0.8f);
    }
    compose(c, logo(LOGO_SIZE), (int)bx - 30 + 20, (int)by - 30 - 10);
    text_style st;
    st.size = 18;
    st.top = rgb(255, 255, 255);
    st.bottom = rgb(160, 255, 170);
    st.glow = 0.5f;
    st.glow_radius = 4;
    st.glow_col = rgb(70, 255, 90);
    draw_text(c, st, "+100", 450, 436);
}

canvas help_page()
{
    canvas c = space_backdrop(14, 0.9f);
    // A dark glass panel behind the text; the lower right stays open for the exit ball.
    for_box(c, 20, 86, 780, 590, [&](int x, int y, float fx, float fy) {
        float d = sd_round_rect(fx, fy, 24, 90, 776, 400, 14);
        float d2 = sd_round_rect(fx, fy, 24, 90, 600, 586, 14);
        float dd = std::min(d, d2);
        blend(c, x, y, rgb(6, 8, 22), 0.82f * coverage(dd));
        float rim = std::exp(-std::fabs(dd) / 1.2f) * 0.5f;
        add_light(c, x, y, rgb(90, 120, 255), rim);
    });
    text_style title;
    title.size = 46;
    title.top = rgb(255, 255, 200);
    title.bottom = rgb(255, 140, 40);
    title.outline = 2;
    title.outline_col = rgb(30, 6, 30);
    title.glow = 0.7f;
    title.glow_radius = 6;
    title.glow_col = rgb(255, 80, 180);
    draw_text(c, title, "HOW TO PLAY", 400, 18, ALIGN_CENTRE);

    colour green = rgb(90, 255, 130), blue = rgb(100, 170, 255), amber = rgb(255, 190, 60),
           cyan = rgb(90, 230, 255);
    float y = 100;
    help_heading(c, "CONTROLS", y, green);
    y += 38;
    const char *controls[] = {
        "Player 1 works the left launcher: move the mouse to aim, left button fires.",
        "Player 2 (two-player game): Up and Down aim, Left Ctrl fires the right launcher.",
        "In the one-player game the computer plays the right launcher.",
        "Escape ends a game.   P pauses.   M mutes.   S saves a screenshot.",
    };
    const colour control_marks[4] = {green, blue, blue, green};
    for (int i = 0; i < 4; i++) {
        if (i < 3)
            compose(c, ball(control_marks[i]), 51, (int)y + 4);
        else
            bullet(c, 56, y + 9, control_marks[i]);
        help_line(c, controls[i], 68, y);
        y += 21;
    }
    y += 10;
    help_heading(c, "SCORING", y, amber);
    y += 38;
    bullet(c, 56, y + 9, amber);
    help_line(c, "A ball that strikes a bumper scores by how fast the bumper then moves:", 68, y);
    y += 26;
    // The speed ladder as a row of chips, with the over-driven case last.
    static const char *points[6] = {"10", "25", "50", "100", "250", "0"};
    for (int i = 0; i < 6; i++) {
        float x0 = 68 + i * 86, x1 = x0 + 78, y0 = y - 2, y1 = y + 38;
        colour chip =
            i < 5 ? mix(rgb(60, 150, 255), rgb(255, 90, 60), i / 4.0f) : rgb(130, 130, 150);
        for_box(c, x0 - 2, y0 - 2, x1 + 2, y1 + 2, [&](int px, int py, float fx, float fy) {
            float d = sd_round_rect(fx, fy, x0, y0, x1, y1, 8);
            float t = (fy - y0) / (y1 - y0);
            blend(c, px, py, scale(chip, 0.45f - 0.25f * t), coverage(d));
            blend(c, px, py, chip, coverage(std::fabs(d) - 0.7f));
        });
        text_style s;
        s.face = FACE_SANS_CONDENSED_BOLD;
        s.size = 12;
        s.top = s.bottom = rgb(215, 225, 245);
        draw_text(c, s, i < 5 ? "SPEED " + std::to_string(i + 1) : std::string("TOO FAST"),
                  (x0 + x1) / 2, y0 + 2, ALIGN_CENTRE);
        text_style p;
        p.size = 18;
        p.top = rgb(255, 255, 255);
        p.bottom = mix(chip, rgb(255, 255, 255), 0.6f);
        draw_text(c, p, points[i], (x0 + x1) / 2, y0 + 16, ALIGN_CENTRE);
    }
    y += 48;
    const char *scoring[] = {
        "A bumper driven to a speed sum of 5 or more scores nothing: aim, don't smash.",
        "Drive a bumper over a side line: 250 for the player on the other side.",
        "Balls that meet destroy each other.",
    };
    for (const char *line : scoring) {
        bullet(c, 56, y + 9, amber);
        help_line(c, line, 68, y);
        y += 21;
    }
    y += 10;
    help_heading(c, "GAME LENGTH", y, cyan);
    y += 38;
    const char *length[] = {
        "A game lasts at most 134 seconds, or until both",
        "sides have fired their 400 balls.",
        "The last seconds are counted down: watch the",
        "COUNTDOWN at the bottom of the field.",
    };
    for (int i = 0; i < 4; i++) {
        if (i % 2 == 0) bullet(c, 56, y + 9, cyan);
        help_line(c, length[i], 68, y);
        y += 21;
    }
    help_illustration(c);
    return c;
}

// ---- high-score backdrop ----

static void trophy(canvas &c, float cx, float cy, float s)
{
    colour gold = rgb(255, 200, 60), dark = rgb(120, 70, 10);
    glow_circle(c, cx, cy - 10 * s, 18 * s, 10 * s, rgb(255, 170, 40), 0.35f);
    // Cup, handles, stem and base.
    std::vector<float> cup = {cx - 18 * s, cy - 30 * s, cx + 18 * s, cy - 30 * s,
                              cx + 14 * s, cy - 8 * s,  cx + 5 * s,  cy,
                              cx - 5 * s,  cy,          cx - 14 * s, cy - 8 * s};
    fill_polygon(c, cup, gold);
    ring(c, cx - 19 * s, cy - 20 * s, 7 * s, 2.5f * s, gold);
    ring(c, cx + 19 * s, cy - 20 * s, 7 * s, 2.5f * s, gold);
    fill_round_rect(c, cx - 3 * s, cy, cx + 3 * s, cy + 10 * s, 1, gold);
    fill_round_rect(c, cx - 12 * s, cy + 10 * s, cx + 12 * s, cy + 16 * s, 2 * s, dark);
    fill_round_rect(c, cx - 10 * s, cy + 9 * s, cx + 10 * s, cy + 12 * s, 1 * s, gold);
    thick_line(c, cx - 10 * s, cy - 26 * s, cx - 6 * s, cy - 10 * s, 3 * s, rgb(255, 250, 220),
               0.7f);
}

canvas hiscore_backdrop()
{
    canvas c = space_backdrop(15, 0.0f);
    grid_floor(c, 470, rgb(60, 140, 255), 0.25f);
    text_style title;
    title.size = 52;
    title.top = rgb(255, 255, 210);
    title.bottom = rgb(255, 170, 30);
    title.outline = 2.5f;
    title.outline_col = rgb(40, 20, 0);
    title.glow = 0.8f;
    title.glow_radius = 7;
    title.glow_col = rgb(255, 150, 30);
    title.spacing = 2;
    draw_text(c, title, "HALL OF FAME", 400, 18, ALIGN_CENTRE);
    // The table area is pure black so the game's drop shadow shows behind every letter;
    // a neon frame sits just outside it.
    for_box(c, 80, 80, 720, 476, [&](int x, int y, float fx, float fy) {
        float d = sd_round_rect(fx, fy, 94, 94, 706, 461, 10);
        float rim = std::exp(-std::fabs(d + 1.5f) / 1.3f);
        if (d < 0) blend(c, x, y, rgb(0, 0, 0), 1.0f);
        add_light(c, x, y, rgb(80, 140, 255), rim * 0.8f);
    });
    for (int y = 100; y <= 455; y++)
        for (int x = 100; x <= 700; x++)
            at(c, x, y) = {0, 0, 0, 1};
    trophy(c, 48, 280, 1.3f);
    trophy(c, 752, 280, 1.3f);
    return c;
}

// ---- name-entry panel ----

canvas entername_panel()
{
    const int W = 610, H = 135;
    canvas c = make_canvas(W, H, rgb(0, 0, 0));
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            float t = y / (float)H;
            colour col = mix(rgb(244, 238, 222), rgb(206, 198, 182), t);
            float n = fractal_noise(x / 40.0f, y / 3.0f, 8, 3);
            col = scale(col, 0.97f + 0.05f * n);
            at(c, x, y) = {col.r, col.g, col.b, 1};
        }
    // Bevelled border around the shown area (5,5)-(604,129).
    for_box(c, 0, 0, W, H, [&](int x, int y, float fx, float fy) {
        float d = sd_round_rect(fx, fy, 6, 6, 603, 128, 10);
        blend(c, x, y, rgb(120, 90, 40), coverage(std::fabs(d) - 1.5f));
        if (d > 0) blend(c, x, y, rgb(30, 24, 40), coverage(-d + 0.5f));
        float hi = std::exp(-std::fabs(d + 4) / 1.2f);
        add_light(c, x, y, rgb(255, 255, 255), hi * 0.5f * (fy < 40 ? 1.0f : 0.4f));
    });
    // A dark band behind the yellow instructions.
    fill_round_rect(c, 12, 85, 300, 123, 8, rgb(20, 24, 60));
    for_box(c, 8, 82, 302, 126, [&](int x, int y, float fx, float fy) {
        float d = std::fabs(sd_round_rect(fx, fy, 12, 85, 300, 123, 8));
        blend(c, x, y, rgb(90, 110, 200), coverage(d - 0.6f) * 0.8f);
    });
    // Engraved recess round the name box at (365, 45)-(564, 94).
    for_box(c, 350, 30, 580, 110, [&](int x, int y, float fx, float fy) {
        float d = sd_round_rect(fx, fy, 360, 40, 569, 99, 6);
        if (d < 0) blend(c, x, y, rgb(60, 50, 40), 0.9f);
        blend(c, x, y, rgb(255, 255, 255),
              coverage(std::fabs(d - 1) - 0.6f) * (fy > 70 ? 0.8f : 0.2f));
    });
    // Gold stars along the top edge to the right of the heading.
    for (int i = 0; i < 5; i++) {
        float cx = 380 + i * 44, cy = 22, R = 8, r = 3.4f;
        std::vector<float> star;
        for (int p = 0; p < 10; p++) {
            float a = -PI / 2 + p * PI / 5;
            float rr = p % 2 ? r : R;
            star.push_back(cx + std::cos(a) * rr);
            star.push_back(cy + std::sin(a) * rr);
        }
        fill_polygon(c, star, rgb(230, 160, 20));
    }
    return c;
}
