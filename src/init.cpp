// init -- start-up, the loaded data file, the game-state globals and the sprite table set-up
#include "init.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

volatile int target_frames = 0;
DATAFILE *data = nullptr;
BITMAP *buffer, *text_buffer, *stretch;
BITMAP *background, *sprite1, *sprite2, *brumzel1, *bottom_left1, *top_left1, *top_right1,
    *bottom_right1, *title1, *title_1player1, *title_2player1, *title_help1, *title_hiscores1,
    *title_quit1, *title_ball1, *hiscore_table1, *mouse_ptr1, *launcher_p1, *launcher_p2, *help1,
    *entername1;

int Menu_Option = -1, hi = 0, new_high = 0, countdown_flag = 0, actual_frames = 0;
int p1_frames = 0, p2_frames = 0;
int p1_score = 0, p2_score = 0, p1_balls = BALLS_PER_GAME, p2_balls = BALLS_PER_GAME, mult = 0;
float p1_dy = 0.0f, p2_dy = 0.0f;

sprite_record sprite[SPRITE_SLOTS];

static const char GAMEDATA_FILE[] = "GAMEDATA.DAT";

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

static long read_long(dat_reader *r)
{
    unsigned char b[4];
    if (!r->ok || pack_fread(b, 4, r->f) != 4) {
        r->ok = false;
        return 0;
    }
    r->consumed += 4;
    return static_cast<long>(static_cast<int32_t>((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) |
                                                  (uint32_t(b[2]) << 8) | uint32_t(b[3])));
}

static int read_word(dat_reader *r)
{
    unsigned char b[2];
    if (!r->ok || pack_fread(b, 2, r->f) != 2) {
        r->ok = false;
        return 0;
    }
    r->consumed += 2;
    return static_cast<int16_t>((b[0] << 8) | b[1]);
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

// Bytes a bitmap or sample announces in its header, checked against its chunk.
static bool object_header_fits(dat_reader *r, long type, long size)
{
    if (type == DAT_BITMAP) {
        int bits = read_word(r), w = read_word(r), h = read_word(r);
        int bytes = bits == 8                     ? 1
                    : (bits == 15 || bits == 16)  ? 2
                    : bits == 24                  ? 3
                    : (bits == 32 || bits == -32) ? 4
                                                  : 0;
        return r->ok && bytes > 0 && w > 0 && h > 0 && 6 + long(w) * h * bytes <= size;
    }
    if (type == DAT_SAMPLE) {
        int bits = read_word(r);
        read_word(r); // frequency
        long length = read_long(r);
        int channels = bits < 0 ? 2 : 1;
        int bytes = (bits < 0 ? -bits : bits) == 16 ? 2 : (bits < 0 ? -bits : bits) == 8 ? 1 : 0;
        return r->ok && bytes > 0 && length >= 0 && 8 + length * bytes * channels <= size;
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
        long stored = read_long(r), unpacked = read_long(r);
        if (!r->ok || stored < -MAX_CHUNK || stored > MAX_CHUNK || unpacked < 0 ||
            unpacked > MAX_CHUNK) {
            snprintf(why, why_size, "%s is cut short or damaged at object %ld", GAMEDATA_FILE, n);
            return false;
        }
        if (types && n < DAT_ENTRIES) types[n] = type;
        long start = r->consumed;
        if (stored < 0) {
            skip_bytes(r, -stored); // an object packed on its own: only its length is known
        } else if (type == DAT_FILE) {
            if (depth >= MAX_NESTING ||
                !walk_objects(r, depth + 1, nullptr, nullptr, why, why_size))
                return false;
        } else if (!object_header_fits(r, type, stored)) {
            snprintf(why, why_size, "%s: object %ld is damaged", GAMEDATA_FILE, n);
            return false;
        }
        long left = stored >= 0 ? stored - (r->consumed - start) : 0;
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

void create_offscreen_bitmaps()
{
    text_buffer = create_bitmap(200, 50);
    buffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    stretch = create_bitmap(600, 350);
}

// The tick is an atomic increment, so a reset by the game thread is never overwritten by a
// tick that read the old count at the same moment: the store and the add cannot interleave.
void __inc_game_time()
{
    __atomic_add_fetch(&target_frames, 1, __ATOMIC_SEQ_CST);
}
END_OF_FUNCTION(__inc_game_time)

void reset_target_frames()
{
    __atomic_store_n(&target_frames, 0, __ATOMIC_SEQ_CST);
}

static void set_display_mode()
{
    static const int depths[] = {16, 24, 32};
    for (int depth : depths) {
        set_color_depth(depth);
        if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0) == 0) return;
    }
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Unable to set 16,24 or 32 bit graphic mode\n%s\n", allegro_error);
    exit(1);
}

int initialise()
{
    if (allegro_init() != 0) exit(1);
    install_keyboard();
    install_timer();
    LOCK_VARIABLE(target_frames);
    LOCK_FUNCTION(__inc_game_time);
    install_int_ex(__inc_game_time, BPS_TO_TIMER(TIMER_RATE));
    install_mouse();
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0) {
        allegro_exit();
        printf("Error setting up Sound\n%s\n\n", allegro_error);
        exit(1);
    }
    set_display_mode();
    char why[256];
    if (!load_gamedata(GAMEDATA_FILE, why, sizeof why)) {
        // The game cannot run without every object of the data file: say which and stop.
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        fprintf(stderr, "Brumzel Ball cannot start: %s\n", why);
        allegro_message("Brumzel Ball cannot start:\n%s\n", why);
        exit(1);
    }
    create_offscreen_bitmaps();
    srand(time(nullptr));
    return 0;
}

// Bumpers start as a downward triangle of three, two and one, 2 pixels apart.
static const struct {
    int slot;
    double x, y;
    int angle;
} bumper_start[] = {
    {71, 340, 240, 0},   {72, 402, 240, 42},  {73, 464, 240, 84},
    {74, 370, 296, 126}, {75, 432, 296, 168}, {76, 402, 352, 210},
};

// The corners and the top and bottom edges of the field are huge immovable circles.
static const struct {
    int slot, type;
    double x, y, diameter;
} edge_start[] = {
    {101, KIND_PAD_BOTTOM_LEFT, 0, 600, 300}, {103, KIND_PAD_TOP_LEFT, 0, 0, 300},
    {104, KIND_TOP_EDGE, 400, -1180, 2450},   {105, KIND_BOTTOM_EDGE, 400, 1980, 2845},
    {107, KIND_PAD_TOP_RIGHT, 800, 0, 300},   {108, KIND_PAD_BOTTOM_RIGHT, 800, 600, 300},
};

constexpr double BUMPER_DIAMETER = 60, BUMPER_MASS = 20, EDGE_MASS = 10000;

void initialise_sprites()
{
    // A freed slot keeps the rest of its last occupant's record; only kind and life go.
    for (sprite_record &s : sprite) {
        s.life = 0;
        s.type = KIND_FREE;
    }
    for (const auto &b : bumper_start) {
        sprite_record &s = sprite[b.slot];
        s.x = b.x;
        s.y = b.y;
        s.dx = s.dy = 0;
        s.w = s.h = BUMPER_DIAMETER;
        s.type = KIND_BUMPER;
        s.mass = BUMPER_MASS;
        s.frame = 1;
        s.angle = b.angle;
    }
    for (const auto &e : edge_start) {
        sprite_record &s = sprite[e.slot];
        s.x = e.x;
        s.y = e.y;
        s.dx = s.dy = 0;
        s.w = s.h = e.diameter;
        s.type = e.type;
        s.mass = EDGE_MASS;
    }
}

void initialise_newgame()
{
    p1_dy = 0.0f;
    p2_dy = 0.0f;
    p1_balls = BALLS_PER_GAME;
    p2_balls = BALLS_PER_GAME;
    p1_score = 0;
    p2_score = 0;
    countdown_flag = 0;
}

void play_data_sample(int entry, int vol, int pan, int freq)
{
    play_sample(static_cast<SAMPLE *>(data[entry].dat), vol, pan, freq, 0);
}

FONT *data_font(int entry)
{
    return static_cast<FONT *>(data[entry].dat);
}

void text_mode_transparent()
{
// The legacy call is deprecated but still sets the background of the old text functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);
#pragma GCC diagnostic pop
}
