// fuzz_gamedata -- a real GAMEDATA.DAT, cut short and with bytes changed, through the start-up
// The start-up's load must refuse the file with a message naming it, or load a file that passes
// every check and whose every bitmap, font and sample can be used; it must never crash.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_headless.h"

using bytes = std::vector<uint8_t>;
static bytes packed_file, unpacked_file;
static std::vector<size_t> object_start; // each top-level object of the unpacked file, and its end
static std::string damaged_path;

static bytes read_whole(const char *path, const char *mode, bytes b = {})
{
    PACKFILE *f = pack_fopen(path, mode);
    FUZZ_CHECK(f != nullptr);
    for (int c; (c = pack_getc(f)) != EOF;)
        b.push_back(uint8_t(c));
    pack_fclose(f);
    return b;
}

static uint32_t big_endian(const uint8_t *b)
{
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_start_allegro(false);
    packed_file = read_whole(GAMEDATA_PATH, "r");
    unpacked_file = read_whole(GAMEDATA_PATH, "rp", {'s', 'l', 'h', '.'}); // unpacked magic
    // "slh." "ALL." count, then objects: properties, type, stored size, unpacked size, chunk.
    const uint8_t *b = unpacked_file.data();
    size_t at = 12;
    for (uint32_t n = 0; n < big_endian(b + 8); n++) {
        object_start.push_back(at);
        while (big_endian(b + at) == uint32_t(DAT_PROPERTY))
            at += 12 + big_endian(b + at + 8);
        at += 12 + big_endian(b + at + 4);
    }
    object_start.push_back(at);
    FUZZ_CHECK(at == unpacked_file.size());
    damaged_path = "/tmp/brumzel-fuzz-" + std::to_string(getpid()) + ".dat";
    return 0;
}

// Everything the game does with the objects: draw every bitmap plainly, masked and rotated,
// write every printable character in every font, play and stop every sample.
static void use_every_object()
{
    char all[96] = {};
    for (int c = 32; c < 127; c++)
        all[c - 32] = char(c);
    for (int n = 0; n < DAT_ENTRIES; n++) {
        if (gamedata_kind[n] == DAT_KIND_BITMAP) {
            BITMAP *b = static_cast<BITMAP *>(data[n].dat);
            blit(b, buffer, 0, 0, 0, 0, b->w, b->h);
            draw_sprite(buffer, b, 10, 10);
            rotate_sprite(buffer, b, 100, 100, itofix(40));
        } else if (gamedata_kind[n] == DAT_KIND_FONT) {
            FONT *f = data_font(n);
            textprintf_ex(buffer, f, 0, 0, makecol(255, 255, 255), -1, "%s %05i", all, 12345);
        } else if (gamedata_kind[n] == DAT_KIND_SAMPLE) {
            play_data_sample(n, 255, 128, 1000);
            stop_sample(static_cast<SAMPLE *>(data[n].dat));
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *d, size_t n)
{
    if (n < 5) return -1; // not even a choice of file and a cut
    bool unpacked = d[0] & 1, cut = d[0] & 2;
    bytes b = unpacked ? unpacked_file : packed_file;
    // Up to 64 damages of nine bytes: kind (a byte anywhere, or a byte, word or long aimed inside
    // an object of the unpacked file), where, value.
    for (size_t i = 5; i + 9 <= n && i < 5 + 9 * 64; i += 9) {
        int kind = d[i] % 4, width = kind == 3 ? 4 : kind == 2 ? 2 : 1;
        uint32_t where = big_endian(d + i + 1), value = big_endian(d + i + 5);
        size_t at = where % b.size();
        if (kind != 0 && unpacked) {
            // Top 12 bits pick the object, the rest an offset from its start: headers are near it.
            size_t o = (where >> 20) % (object_start.size() - 1);
            at = object_start[o] + (where & 0xfffff) % (object_start[o + 1] - object_start[o]);
        }
        for (int k = 0; k < width && at + k < b.size(); k++)
            b[at + k] = uint8_t(value >> (8 * (width - 1 - k)));
    }
    size_t length = cut ? big_endian(d + 1) % b.size() : b.size();
    FILE *f = fopen(damaged_path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr && fwrite(b.data(), 1, length, f) == length && fclose(f) == 0);

    char why[256] = "";
    if (load_gamedata(damaged_path.c_str(), why, sizeof why)) {
        FUZZ_CHECK(check_gamedata(data, why, sizeof why));
        use_every_object();
        unload_datafile(data);
        data = nullptr;
    } else {
        // The start-up prints this and ends with status 1: it must say which file is wrong.
        FUZZ_CHECK(strstr(why, "GAMEDATA.DAT") != nullptr);
    }
    unlink(damaged_path.c_str());
    return 0;
}
