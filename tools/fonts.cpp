// fonts -- text rendered from scalable fonts: anti-aliased masks for pictures, and the
// game's bitmap fonts written as grabber font grids
#include "fonts.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

static FT_Library library;
static FT_Face faces[FACE_COUNT];
static const char *face_files[FACE_COUNT] = {"DejaVuSans-Bold.ttf", "DejaVuSansCondensed-Bold.ttf",
                                             "DejaVuSans.ttf", "DejaVuSansMono-Bold.ttf"};

bool start_fonts(const std::string &font_dir)
{
    if (FT_Init_FreeType(&library)) return false;
    for (int i = 0; i < FACE_COUNT; i++) {
        std::string path = font_dir + "/" + face_files[i];
        if (FT_New_Face(library, path.c_str(), 0, &faces[i])) {
            fprintf(stderr, "cannot open font %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

static FT_Face sized(face_id id, int px_size)
{
    FT_Face f = faces[id];
    FT_Set_Pixel_Sizes(f, 0, px_size);
    return f;
}

text_mask render_text(face_id id, int px_size, const std::string &text, float spacing)
{
    FT_Face f = sized(id, px_size);
    int ascent = (int)std::ceil(f->size->metrics.ascender / 64.0);
    int descent = (int)std::ceil(-f->size->metrics.descender / 64.0);
    // First pass: width.
    float pen = 0;
    FT_UInt prev = 0;
    float right = 0;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(f, ch);
        if (prev && gi) {
            FT_Vector k;
            FT_Get_Kerning(f, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += k.x / 64.0f;
        }
        FT_Load_Glyph(f, gi, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING);
        right = std::max(right,
                         pen + (f->glyph->metrics.horiBearingX + f->glyph->metrics.width) / 64.0f);
        pen += f->glyph->advance.x / 64.0f + spacing;
        prev = gi;
    }
    text_mask out;
    out.m = make_mask((int)std::ceil(std::max(pen - spacing, right)) + 2, ascent + descent);
    out.baseline = ascent;
    pen = 1;
    prev = 0;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(f, ch);
        if (prev && gi) {
            FT_Vector k;
            FT_Get_Kerning(f, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += k.x / 64.0f;
        }
        // Place the outline at the fractional pen position for even spacing.
        FT_Load_Glyph(f, gi, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING);
        float frac = pen - std::floor(pen);
        FT_Outline_Translate(&f->glyph->outline, (FT_Pos)std::lround(frac * 64), 0);
        FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL);
        FT_Bitmap &b = f->glyph->bitmap;
        int ox = (int)std::floor(pen) + f->glyph->bitmap_left, oy = ascent - f->glyph->bitmap_top;
        for (unsigned y = 0; y < b.rows; y++)
            for (unsigned x = 0; x < b.width; x++) {
                int tx = ox + (int)x, ty = oy + (int)y;
                if (tx < 0 || ty < 0 || tx >= out.m.w || ty >= out.m.h) continue;
                float v = b.buffer[y * b.pitch + x] / 255.0f;
                float &d = out.m.a[ty * out.m.w + tx];
                d = std::min(1.0f, d + v);
            }
        pen += f->glyph->advance.x / 64.0f + spacing;
        prev = gi;
    }
    return out;
}

// One glyph of a mono font: its cell width and its one-bit pixels placed in the cell.
struct mono_glyph {
    int w = 1;
    int left = 0, top = 0;
    int bw = 0, bh = 0;
    std::vector<unsigned char> bits;
};

static mono_glyph load_mono(FT_Face f, int ch)
{
    mono_glyph g;
    FT_Load_Char(f, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
    FT_Bitmap &b = f->glyph->bitmap;
    g.left = std::max(0, (int)f->glyph->bitmap_left);
    g.top = f->glyph->bitmap_top;
    g.bw = b.width;
    g.bh = b.rows;
    g.bits.assign(g.bw * g.bh, 0);
    for (int y = 0; y < g.bh; y++)
        for (int x = 0; x < g.bw; x++)
            g.bits[y * g.bw + x] = (b.buffer[y * b.pitch + x / 8] >> (7 - x % 8)) & 1;
    int advance = (int)((f->glyph->advance.x + 32) >> 6);
    g.w = std::max({1, advance, g.left + g.bw});
    return g;
}

// Rows above and below the baseline that the printable characters need.
static void mono_extent(FT_Face f, int *above, int *below)
{
    *above = 0;
    *below = 0;
    for (int ch = 32; ch <= 126; ch++) {
        mono_glyph g = load_mono(f, ch);
        if (g.bh == 0) continue;
        *above = std::max(*above, g.top);
        *below = std::max(*below, g.bh - g.top);
    }
}

int mono_text_width(face_id id, int px_size, const std::string &text)
{
    FT_Face f = sized(id, px_size);
    int w = 0;
    for (unsigned char ch : text)
        if (ch >= 32 && ch <= 126) w += load_mono(f, ch).w;
    return w;
}

// Palette entries of the grid: 0 background, 1 glyph, 255 cell borders.
static bool write_bmp8(const std::string &path, int w, int h, const std::vector<unsigned char> &px)
{
    FILE *out = fopen(path.c_str(), "wb");
    if (!out) return false;
    int row = (w + 3) & ~3;
    auto le = [&](unsigned v, int n) {
        for (int i = 0; i < n; i++)
            fputc((v >> (8 * i)) & 0xFF, out);
    };
    fputc('B', out);
    fputc('M', out);
    le(54 + 1024 + row * h, 4);
    le(0, 4);
    le(54 + 1024, 4);
    le(40, 4);
    le(w, 4);
    le(h, 4);
    le(1, 2);
    le(8, 2);
    le(0, 4);
    le(row * h, 4);
    le(2835, 4);
    le(2835, 4);
    le(256, 4);
    le(0, 4);
    for (int i = 0; i < 256; i++) {
        int v = i == 0 ? 0 : i == 255 ? 0 : 255;
        int r = v, g = v, b = i == 255 ? 255 : v; // borders yellow-free: blue for the eye
        fputc(b, out);
        fputc(g, out);
        fputc(r, out);
        fputc(0, out);
    }
    std::vector<unsigned char> line(row, 0);
    for (int y = h - 1; y >= 0; y--) {
        std::copy(px.begin() + y * w, px.begin() + (y + 1) * w, line.begin());
        fwrite(line.data(), 1, row, out);
    }
    return fclose(out) == 0;
}

int write_font_grid(face_id id, int px_size, const std::string &path)
{
    FT_Face f = sized(id, px_size);
    int above, below;
    mono_extent(f, &above, &below);
    int cell_h = above + below;
    std::vector<mono_glyph> glyphs;
    for (int ch = 32; ch <= 126; ch++)
        glyphs.push_back(load_mono(f, ch));
    const int per_row = 16;
    int rows = ((int)glyphs.size() + per_row - 1) / per_row;
    int width = 1;
    for (int r = 0; r < rows; r++) {
        int w = 1;
        for (int i = r * per_row; i < std::min((int)glyphs.size(), (r + 1) * per_row); i++)
            w += glyphs[i].w + 1;
        width = std::max(width, w);
    }
    int height = 1 + rows * (cell_h + 1);
    std::vector<unsigned char> px(width * height, 255);
    for (int i = 0; i < (int)glyphs.size(); i++) {
        int r = i / per_row;
        int cx = 1;
        for (int j = r * per_row; j < i; j++)
            cx += glyphs[j].w + 1;
        int cy = 1 + r * (cell_h + 1);
        const mono_glyph &g = glyphs[i];
        for (int y = 0; y < cell_h; y++)
            for (int x = 0; x < g.w; x++)
                px[(cy + y) * width + cx + x] = 0;
        for (int y = 0; y < g.bh; y++)
            for (int x = 0; x < g.bw; x++) {
                int tx = g.left + x, ty = above - g.top + y;
                if (g.bits[y * g.bw + x] && tx < g.w && ty >= 0 && ty < cell_h)
                    px[(cy + ty) * width + cx + tx] = 1;
            }
    }
    return write_bmp8(path, width, height, px) ? cell_h : 0;
}
