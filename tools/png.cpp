// png -- 8-bit RGB and RGBA pictures in PNG files: written by the generator and the tests, read
// back by the picture tests
#include "png.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <zlib.h>

static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

static void put_be(std::vector<unsigned char> &v, uint32_t x)
{
    for (int i = 3; i >= 0; i--)
        v.push_back((x >> (8 * i)) & 0xFF);
}

static uint32_t get_be(const unsigned char *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// A chunk: its length, type, body and the CRC of type and body.
static void put_chunk(FILE *f, const char *type, const std::vector<unsigned char> &body)
{
    std::vector<unsigned char> chunk;
    put_be(chunk, body.size());
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    put_be(chunk, crc32(0, chunk.data() + 4, chunk.size() - 4));
    fwrite(chunk.data(), 1, chunk.size(), f);
}

bool write_png(const std::string &path, int w, int h, const unsigned char *pixels, int channels)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fwrite(signature, 1, sizeof signature, f);
    std::vector<unsigned char> header;
    put_be(header, w);
    put_be(header, h);
    header.insert(header.end(), {8, static_cast<unsigned char>(channels == 4 ? 6 : 2), 0, 0, 0});
    put_chunk(f, "IHDR", header);
    // Every row unfiltered: a filter-type byte of 0, then its pixels.
    const size_t row = size_t(w) * channels;
    std::vector<unsigned char> raw;
    raw.reserve((row + 1) * h);
    for (int y = 0; y < h; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), pixels + y * row, pixels + (y + 1) * row);
    }
    uLongf packed = compressBound(raw.size());
    std::vector<unsigned char> z(packed);
    compress2(z.data(), &packed, raw.data(), raw.size(), 9);
    z.resize(packed);
    put_chunk(f, "IDAT", z);
    put_chunk(f, "IEND", {});
    return fclose(f) == 0;
}

static int paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the filter of each row in place: none, sub, up, average or Paeth.
static bool unfilter(std::vector<unsigned char> &raw, int w, int h, int channels)
{
    const size_t row = size_t(w) * channels;
    for (int y = 0; y < h; y++) {
        unsigned char *line = &raw[y * (row + 1)], *cur = line + 1;
        const unsigned char *up = y > 0 ? line - row : nullptr;
        for (size_t x = 0; x < row; x++) {
            int a = x >= size_t(channels) ? cur[x - channels] : 0, b = up ? up[x] : 0;
            int c = up && x >= size_t(channels) ? up[x - channels] : 0;
            int add[] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
            if (line[0] > 4) return false;
            cur[x] = static_cast<unsigned char>(cur[x] + add[line[0]]);
        }
    }
    return true;
}

bool read_png(const std::string &path, rgb_picture *out)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<unsigned char> file;
    unsigned char block[65536];
    for (size_t n; (n = fread(block, 1, sizeof block, f)) > 0;)
        file.insert(file.end(), block, block + n);
    fclose(f);
    if (file.size() < 8 || memcmp(file.data(), signature, 8) != 0) return false;
    int w = 0, h = 0, channels = 0;
    std::vector<unsigned char> z;
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = get_be(&file[at]);
        if (length > file.size() - at - 12) return false;
        const unsigned char *type = &file[at + 4], *body = &file[at + 8];
        if (!memcmp(type, "IHDR", 4) && length >= 13) {
            w = int(get_be(body)), h = int(get_be(body + 4));
            channels = body[9] == 2 ? 3 : body[9] == 6 ? 4 : 0;
            if (body[8] != 8 || body[12] != 0 || w <= 0 || h <= 0 || w > 16384 || h > 16384)
                return false;
        } else if (!memcmp(type, "IDAT", 4)) {
            z.insert(z.end(), body, body + length);
        }
        at += 12 + length;
    }
    if (!channels) return false;
    std::vector<unsigned char> raw((size_t(w) * channels + 1) * h);
    uLongf size = raw.size();
    if (uncompress(raw.data(), &size, z.data(), z.size()) != Z_OK || size != raw.size() ||
        !unfilter(raw, w, h, channels))
        return false;
    out->w = w, out->h = h;
    out->rgb.resize(size_t(w) * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            memcpy(&out->rgb[(size_t(y) * w + x) * 3],
                   &raw[y * (size_t(w) * channels + 1) + 1 + x * channels], 3);
    return true;
}

long picture_difference(const rgb_picture &base, const rgb_picture &other, rgb_picture *where)
{
    bool comparable = base.w == other.w && base.h == other.h;
    *where = other;
    long differ = 0;
    for (size_t p = 0; p < other.rgb.size(); p += 3) {
        bool same = comparable && !memcmp(&base.rgb[p], &other.rgb[p], 3);
        differ += !same;
        for (int k = 0; k < 3; k++)
            where->rgb[p + k] = same ? other.rgb[p + k] / 4 : k == 1 ? 0 : 255;
    }
    return differ;
}
