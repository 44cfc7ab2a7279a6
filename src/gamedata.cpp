// gamedata -- the data file: its entries and their kinds, its structure check, loading and use
#include "gamedata.h"

#include <cstdint>
#include <cstdio>

#include "audio.h"

DATAFILE *data = nullptr;
BITMAP *background, *sprite1, *sprite2, *brumzel1, *bottom_left1, *top_left1, *top_right1,
    *bottom_right1, *title1, *title_1player1, *title_2player1, *title_help1, *title_hiscores1,
    *title_quit1, *title_ball1, *hiscore_table1, *mouse_ptr1, *launcher_p1, *launcher_p2, *help1,
    *entername1;

const dat_kind gamedata_kind[DAT_ENTRIES] = {
    DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_BITMAP, // 0-4
    DAT_KIND_ANY,    DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_BITMAP, DAT_KIND_SAMPLE, // 5-9
    DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_BITMAP, // 10-14
    DAT_KIND_BITMAP, DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_BITMAP, DAT_KIND_BITMAP, // 15-19
    DAT_KIND_ANY,    DAT_KIND_BITMAP, DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_FONT,   // 20-24
    DAT_KIND_FONT,   DAT_KIND_FONT,   DAT_KIND_FONT,   DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, // 25-29
    DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_BITMAP, // 30-34
    DAT_KIND_BITMAP, DAT_KIND_BITMAP, DAT_KIND_SAMPLE, DAT_KIND_BITMAP, DAT_KIND_BITMAP, // 35-39
    DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, DAT_KIND_BITMAP, DAT_KIND_SAMPLE, DAT_KIND_SAMPLE, // 40-44
    DAT_KIND_SAMPLE,                                                                     // 45
};

// Sizes the game relies on: exact for the backdrops and the title ball, a minimum otherwise.
struct size_rule {
    int entry, w, h;
    bool exact;
};
static const size_rule size_rules[] = {
    {DAT_BACKGROUND, 800, 600, true},    {DAT_HELP, 800, 600, true},
    {DAT_HISCORE_TABLE, 800, 600, true}, {DAT_TITLE, 800, 600, true},
    {DAT_TITLE_BALL, 170, 170, true},    {DAT_ENTERNAME, 605, 130, false},
    {DAT_BRUMZEL, 60, 60, false},
};

static const char *kind_name(dat_kind k)
{
    switch (k) {
    case DAT_KIND_BITMAP:
        return "a bitmap";
    case DAT_KIND_SAMPLE:
        return "a sample";
    case DAT_KIND_FONT:
        return "a font";
    default:
        return "an object";
    }
}

static bool entry_has_kind(const DATAFILE *entry, dat_kind k)
{
    switch (k) {
    case DAT_KIND_BITMAP:
        return entry->type == DAT_BITMAP;
    case DAT_KIND_SAMPLE:
        return entry->type == DAT_SAMPLE;
    case DAT_KIND_FONT:
        return entry->type == DAT_FONT;
    default:
        return true;
    }
}

bool check_gamedata(const DATAFILE *dat, char *why, int why_size)
{
    if (!dat) {
        snprintf(why, why_size, "%s is missing or cannot be read", GAMEDATA_FILE);
        return false;
    }
    int count = 0;
    while (count < DAT_ENTRIES && dat[count].type != DAT_END)
        count++;
    if (count < DAT_ENTRIES) {
        snprintf(why, why_size, "%s holds %d entries, the game needs %d", GAMEDATA_FILE, count,
                 DAT_ENTRIES);
        return false;
    }
    for (int n = 0; n < DAT_ENTRIES; n++) {
        if (!dat[n].dat || !entry_has_kind(&dat[n], gamedata_kind[n])) {
            snprintf(why, why_size, "%s: entry %d is not %s", GAMEDATA_FILE, n,
                     kind_name(gamedata_kind[n]));
            return false;
        }
    }
    for (const size_rule &r : size_rules) {
        const BITMAP *b = static_cast<const BITMAP *>(dat[r.entry].dat);
        bool ok = r.exact ? (b->w == r.w && b->h == r.h) : (b->w >= r.w && b->h >= r.h);
        if (!ok) {
            snprintf(why, why_size, "%s: entry %d is a %dx%d bitmap, it must be %s%dx%d",
                     GAMEDATA_FILE, r.entry, b->w, b->h, r.exact ? "" : "at least ", r.w, r.h);
            return false;
        }
    }
    return true;
}

// ---- the data file's structure, checked before the library's loader sees it ----
// The library's loader trusts every size it reads and crashes on a cut or damaged file, so the
// whole structure is walked first through its packfile reader (which also unpacks a packed
// file): every object it announces must be there in full, with sane sizes.

constexpr long MAX_CHUNK = 64L << 20; // no object of ours comes near 64 MiB
constexpr long MAX_PROPERTY = 1L << 16;
constexpr long MAX_OBJECTS = 100000;
constexpr int MAX_NESTING = 4;

struct dat_reader {
    PACKFILE *f;
    long consumed;
    bool ok;
};

// The next n bytes (1 to 4) as a big-endian number; 0, and the reader stopped, at the end.
static uint32_t read_big_endian(dat_reader *r, int n)
{
    unsigned char b[4];
    if (!r->ok || pack_fread(b, n, r->f) != n) {
        r->ok = false;
        return 0;
    }
    r->consumed += n;
    uint32_t value = 0;
    for (int i = 0; i < n; i++)
        value = value << 8 | b[i];
    return value;
}

static long read_long(dat_reader *r)
{
    return static_cast<int32_t>(read_big_endian(r, 4));
}

static int read_word(dat_reader *r)
{
    return static_cast<int16_t>(read_big_endian(r, 2));
}

static int read_byte(dat_reader *r)
{
    return static_cast<int>(read_big_endian(r, 1));
}

static void skip_bytes(dat_reader *r, long n)
{
    static char scratch[4096];
    while (r->ok && n > 0) {
        long part = n < long(sizeof scratch) ? n : long(sizeof scratch);
        if (pack_fread(scratch, part, r->f) != part) r->ok = false;
        r->consumed += part;
        n -= part;
    }
}

// Bytes a pixel takes for a colour depth as the data file gives it; 0 for no valid depth.
static int pixel_bytes(int bits)
{
    return bits == 8                     ? 1
           : (bits == 15 || bits == 16)  ? 2
           : bits == 24                  ? 3
           : (bits == 32 || bits == -32) ? 4
                                         : 0;
}

// The glyphs of a font: its ranges, and every glyph's size and pixels within the chunk. Only
// the font format of every Allegro since 3.9 is taken; the loader allocates a whole range
// before it reads a glyph and trusts every glyph size, and drawing trusts them again.
constexpr int MONO_GLYPHS = 1, COLOUR_GLYPHS = 8;
static bool font_fits(dat_reader *r, long size)
{
    long start = r->consumed;
    int format = read_word(r), ranges = read_word(r);
    if (!r->ok || format != 0 || ranges <= 0) return false;
    for (int n = 0; n < ranges; n++) {
        int glyphs = read_byte(r);
        long first = read_long(r), last = read_long(r);
        if (!r->ok || (glyphs != MONO_GLYPHS && glyphs != COLOUR_GLYPHS) || first < 0 ||
            last < first || last - first >= size / 4) // each glyph takes 4 bytes at least
            return false;
        for (long c = first; c <= last; c++) {
            int w = read_word(r), h = read_word(r);
            if (!r->ok || w <= 0 || h <= 0) return false;
            long bytes = glyphs == MONO_GLYPHS ? long((w + 7) / 8) * h : long(w) * h;
            if (r->consumed - start + bytes > size) return false;
            skip_bytes(r, bytes);
        }
    }
    return r->ok && r->consumed - start <= size;
}

// Bytes a bitmap, sprite, sample, font or tune announces in its header, checked against its
// chunk. Other kinds are loaded as plain bytes.
constexpr int TUNE_TRACKS = 32; // a tune in a data file always holds 32 tracks
static bool object_header_fits(dat_reader *r, long type, long size)
{
    if (type == DAT_BITMAP || type == DAT_C_SPRITE || type == DAT_XC_SPRITE) {
        int bits = read_word(r), w = read_word(r), h = read_word(r);
        int bytes = pixel_bytes(bits);
        return r->ok && bytes > 0 && w > 0 && h > 0 && 6 + long(w) * h * bytes <= size;
    }
    if (type == DAT_RLE_SPRITE) {
        int bits = read_word(r), w = read_word(r), h = read_word(r);
        long packed = read_long(r);
        return r->ok && pixel_bytes(bits) > 0 && w > 0 && h > 0 && packed >= 0 &&
               10 + packed <= size;
    }
    if (type == DAT_SAMPLE) {
        int bits = read_word(r);
        read_word(r); // frequency
        long length = read_long(r);
        int channels = bits < 0 ? 2 : 1;
        int bytes = (bits < 0 ? -bits : bits) == 16 ? 2 : (bits < 0 ? -bits : bits) == 8 ? 1 : 0;
        return r->ok && bytes > 0 && length >= 0 && 8 + length * bytes * channels <= size;
    }
    if (type == DAT_FONT) return font_fits(r, size);
    if (type == DAT_MIDI) {
        long start = r->consumed;
        read_word(r); // beat divisions
        for (int t = 0; t < TUNE_TRACKS && r->ok; t++) {
            long length = read_long(r);
            if (length < 0 || r->consumed - start + length > size) return false;
            skip_bytes(r, length);
        }
        return r->ok;
    }
    return true;
}

// Walks count objects; the first DAT_ENTRIES types of the top level go into types.
static bool walk_objects(dat_reader *r, int depth, long *types, long *count_out, char *why,
                         int why_size)
{
    long count = read_long(r);
    if (!r->ok || count < 0 || count > MAX_OBJECTS) {
        snprintf(why, why_size, "%s is damaged (bad object count)", GAMEDATA_FILE);
        return false;
    }
    if (count_out) *count_out = count;
    for (long n = 0; n < count; n++) {
        long type = read_long(r);
        while (r->ok && type == DAT_PROPERTY) {
            read_long(r); // the property's own type
            long size = read_long(r);
            if (size < 0 || size > MAX_PROPERTY) r->ok = false;
            skip_bytes(r, size);
            type = read_long(r);
        }
        // An object not packed on its own gives its size twice, and the loader trusts both, so
        // they must agree. Objects packed on their own (a negative second size) are not taken.
        long stored = read_long(r), unpacked = read_long(r);
        if (!r->ok || stored < 0 || stored > MAX_CHUNK || unpacked != stored) {
            snprintf(why, why_size, "%s is cut short or damaged at object %ld", GAMEDATA_FILE, n);
            return false;
        }
        if (types && n < DAT_ENTRIES) types[n] = type;
        long start = r->consumed;
        if (type == DAT_FILE) {
            if (depth >= MAX_NESTING) {
                snprintf(why, why_size, "%s: object %ld nests data files too deep", GAMEDATA_FILE,
                         n);
                return false;
            }
            if (!walk_objects(r, depth + 1, nullptr, nullptr, why, why_size)) return false;
        } else if (!object_header_fits(r, type, stored)) {
            snprintf(why, why_size, "%s: object %ld is damaged", GAMEDATA_FILE, n);
            return false;
        }
        long left = stored - (r->consumed - start);
        if (left < 0) r->ok = false;
        skip_bytes(r, left);
        if (!r->ok) {
            snprintf(why, why_size, "%s is cut short or damaged at object %ld", GAMEDATA_FILE, n);
            return false;
        }
    }
    return true;
}

static long kind_type(dat_kind k)
{
    return k == DAT_KIND_BITMAP ? DAT_BITMAP : k == DAT_KIND_SAMPLE ? DAT_SAMPLE : DAT_FONT;
}

bool check_gamedata_file(const char *path, char *why, int why_size)
{
    PACKFILE *f = pack_fopen(path, F_READ_PACKED);
    if (!f) {
        snprintf(why, why_size, "%s is missing or cannot be read", GAMEDATA_FILE);
        return false;
    }
    dat_reader r = {f, 0, true};
    long types[DAT_ENTRIES] = {};
    long count = 0;
    bool ok = read_long(&r) == DAT_MAGIC;
    if (!ok) snprintf(why, why_size, "%s is not a data file", GAMEDATA_FILE);
    ok = ok && walk_objects(&r, 0, types, &count, why, why_size);
    pack_fclose(f);
    if (!ok) return false;
    if (count < DAT_ENTRIES) {
        snprintf(why, why_size, "%s holds %ld entries, the game needs %d", GAMEDATA_FILE, count,
                 DAT_ENTRIES);
        return false;
    }
    for (int n = 0; n < DAT_ENTRIES; n++) {
        if (gamedata_kind[n] != DAT_KIND_ANY && types[n] != kind_type(gamedata_kind[n])) {
            snprintf(why, why_size, "%s: entry %d is not %s", GAMEDATA_FILE, n,
                     kind_name(gamedata_kind[n]));
            return false;
        }
    }
    return true;
}

static BITMAP *bitmap_entry(int entry)
{
    return static_cast<BITMAP *>(data[entry].dat);
}

bool load_gamedata(const char *path, char *why, int why_size)
{
    if (!check_gamedata_file(path, why, why_size)) return false;
    DATAFILE *loaded = load_datafile(path);
    if (!check_gamedata(loaded, why, why_size)) {
        if (loaded) unload_datafile(loaded);
        return false;
    }
    // A second load replaces the first, and the objects of the first go with it.
    if (data && data != loaded) unload_datafile(data);
    data = loaded;
    background = bitmap_entry(DAT_BACKGROUND);
    sprite1 = bitmap_entry(DAT_SPRITE1);
    sprite2 = bitmap_entry(DAT_SPRITE2);
    bottom_left1 = bitmap_entry(DAT_BOTTOM_LEFT);
    bottom_right1 = bitmap_entry(DAT_BOTTOM_RIGHT);
    entername1 = bitmap_entry(DAT_ENTERNAME);
    help1 = bitmap_entry(DAT_HELP);
    hiscore_table1 = bitmap_entry(DAT_HISCORE_TABLE);
    launcher_p1 = bitmap_entry(DAT_LAUNCHER_P1);
    launcher_p2 = bitmap_entry(DAT_LAUNCHER_P2);
    mouse_ptr1 = bitmap_entry(DAT_MOUSE_PTR);
    title1 = bitmap_entry(DAT_TITLE);
    title_1player1 = bitmap_entry(DAT_TITLE_1PLAYER);
    title_2player1 = bitmap_entry(DAT_TITLE_2PLAYER);
    title_ball1 = bitmap_entry(DAT_TITLE_BALL);
    title_help1 = bitmap_entry(DAT_TITLE_HELP);
    title_hiscores1 = bitmap_entry(DAT_TITLE_HISCORES);
    title_quit1 = bitmap_entry(DAT_TITLE_QUIT);
    top_left1 = bitmap_entry(DAT_TOP_LEFT);
    top_right1 = bitmap_entry(DAT_TOP_RIGHT);
    brumzel1 = bitmap_entry(DAT_BRUMZEL);
    return true;
}

int sample_plays[DAT_ENTRIES];

void play_data_sample(int entry, int vol, int pan, int freq)
{
    if (entry >= 0 && entry < DAT_ENTRIES) sample_plays[entry]++;
    play_heard(static_cast<SAMPLE *>(data[entry].dat), vol, pan, freq);
}

FONT *data_font(int entry)
{
    return static_cast<FONT *>(data[entry].dat);
}
