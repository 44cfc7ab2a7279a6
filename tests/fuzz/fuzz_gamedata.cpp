// fuzz_gamedata -- a real GAMEDATA.DAT, cut short and with bytes changed, through the start-up
//
// The input is a list of damages done to the generated data file, either as shipped (packed)
// or unpacked, where damages can also be aimed at the start of a chosen object. The start-up's
// load must then refuse the file with a message naming it, or load a file that passes every
// check and whose every bitmap, font and sample can be used; it must never crash.
#include <allegro.h>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "fuzz_headless.h"
#include "gamedata.h"
#include "init.h"

static std::vector<uint8_t> packed_file, unpacked_file;
// Where each object of the unpacked file starts (its properties included) and how long it is.
struct object_span {
    size_t start, length;
};
static std::vector<object_span> objects;
static std::string damaged_path;

static std::vector<uint8_t> read_whole(const char *path, const char *mode)
{
    std::vector<uint8_t> bytes;
    PACKFILE *f = pack_fopen(path, mode);
    FUZZ_CHECK(f != nullptr);
    uint8_t block[65536];
    long got;
    while ((got = pack_fread(block, sizeof block, f)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    pack_fclose(f);
    return bytes;
}

static uint32_t big_endian(const std::vector<uint8_t> &b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// Lists the objects of the top level of the unpacked file ("slh." "ALL." count, objects).
static void find_objects()
{
    const std::vector<uint8_t> &b = unpacked_file;
    size_t at = 8;
    uint32_t count = big_endian(b, at);
    at += 4;
    for (uint32_t n = 0; n < count; n++) {
        size_t start = at;
        while (big_endian(b, at) == uint32_t(DAT_PROPERTY))
            at += 12 + big_endian(b, at + 8);
        at += 4; // type
        uint32_t stored = big_endian(b, at);
        at += 8 + stored;
        objects.push_back({start, at - start});
    }
    FUZZ_CHECK(at == b.size());
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_start_allegro(false);
    packed_file = read_whole(GAMEDATA_PATH, "r");
    std::vector<uint8_t> content = read_whole(GAMEDATA_PATH, "rp");
    const uint8_t nopack[4] = {'s', 'l', 'h', '.'}; // F_NOPACK_MAGIC
    unpacked_file.assign(nopack, nopack + 4);
    unpacked_file.insert(unpacked_file.end(), content.begin(), content.end());
    find_objects();
    // tmpfs when there is one: the file is rewritten for every input.
    const char *dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    damaged_path = std::string(dir) + "/brumzel-fuzz-" + std::to_string(getpid()) + ".dat";
    return 0;
}

// One damage: kind, where, value. Aimed damages land inside one object of the unpacked file.
enum damage_kind { SET_BYTE, SET_OBJECT_BYTE, SET_OBJECT_WORD, SET_OBJECT_LONG, DAMAGE_KINDS };
constexpr size_t DAMAGE_SIZE = 9, MAX_DAMAGES = 64;

static void damage(std::vector<uint8_t> &b, bool aimed_ok, const uint8_t *d)
{
    int kind = d[0] % DAMAGE_KINDS;
    uint32_t where = uint32_t(d[1]) << 24 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 8 | d[4];
    uint32_t value = uint32_t(d[5]) << 24 | uint32_t(d[6]) << 16 | uint32_t(d[7]) << 8 | d[8];
    size_t at = where % b.size();
    if (kind != SET_BYTE && aimed_ok) {
        // Top 12 bits pick the object, the rest an offset from its start: headers are near it.
        const object_span &o = objects[(where >> 20) % objects.size()];
        at = o.start + (where & 0xfffff) % o.length;
    }
    int width = kind == SET_OBJECT_LONG ? 4 : kind == SET_OBJECT_WORD ? 2 : 1;
    for (int i = 0; i < width && at + i < b.size(); i++)
        b[at + i] = uint8_t(value >> (8 * (width - 1 - i)));
}

static void write_damaged(const std::vector<uint8_t> &b, size_t length)
{
    FILE *f = fopen(damaged_path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    if (length > 0) FUZZ_CHECK(fwrite(b.data(), 1, length, f) == length);
    FUZZ_CHECK(fclose(f) == 0);
}

// Everything the game does with the objects: draw every bitmap plainly, masked and rotated,
// write every printable character in every font, play and stop every sample.
static void use_every_object()
{
    for (int n = 0; n < DAT_ENTRIES; n++) {
        if (gamedata_kind[n] == DAT_KIND_BITMAP) {
            BITMAP *b = static_cast<BITMAP *>(data[n].dat);
            blit(b, buffer, 0, 0, 0, 0, b->w, b->h);
            draw_sprite(buffer, b, 10, 10);
            rotate_sprite(buffer, b, 100, 100, itofix(40));
            getpixel(b, b->w - 1, b->h - 1);
        } else if (gamedata_kind[n] == DAT_KIND_FONT) {
            FONT *f = data_font(n);
            char all[96];
            for (int c = 32; c < 127; c++)
                all[c - 32] = char(c);
            all[95] = '\0';
            textprintf_ex(buffer, f, 0, 0, makecol(255, 255, 255), -1, "%s", all);
            textprintf_ex(buffer, f, 0, 0, makecol(255, 255, 255), -1, "%05i", 12345);
            FUZZ_CHECK(text_length(f, all) >= 0 && text_height(f) >= 0);
        } else if (gamedata_kind[n] == DAT_KIND_SAMPLE) {
            SAMPLE *s = static_cast<SAMPLE *>(data[n].dat);
            play_sample(s, 255, 128, 1000, 0);
            stop_sample(s);
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *d, size_t n)
{
    if (n < 5) return -1; // not even a choice of file and a cut
    bool unpacked = d[0] & 1, cut = d[0] & 2;
    std::vector<uint8_t> b = unpacked ? unpacked_file : packed_file;
    uint32_t cut_at = uint32_t(d[1]) << 24 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 8 | d[4];
    for (size_t i = 5, k = 0; i + DAMAGE_SIZE <= n && k < MAX_DAMAGES; i += DAMAGE_SIZE, k++)
        damage(b, unpacked, d + i);
    write_damaged(b, cut ? cut_at % b.size() : b.size());

    char why[256] = "";
    if (load_gamedata(damaged_path.c_str(), why, sizeof why)) {
        char recheck[256];
        FUZZ_CHECK(check_gamedata(data, recheck, sizeof recheck));
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
