// replay -- recordings of whole games: the recorder, the file, the state checksum and playback
#include "replay.h"

#include <algorithm>
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "display.h"
#include "explosions.h"
#include "fade.h"
#include "game_round.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "init.h"
#include "play_frame.h"
#include "rebound_effect.h"
#include "version.h"

replay_recording recording;

// ---- the state checksum: 64-bit FNV-1a over the figures, field by field ----

namespace {
struct state_hash {
    uint64_t h = 14695981039346656037ull;
    void bytes(const void *p, size_t n)
    {
        const unsigned char *b = static_cast<const unsigned char *>(p);
        for (size_t k = 0; k < n; k++)
            h = (h ^ b[k]) * 1099511628211ull;
    }
    template <typename T> void add(T v)
    {
        bytes(&v, sizeof v);
    }
    template <typename T, typename... More> void add(T v, More... more)
    {
        add(v);
        add(more...);
    }
};
} // namespace

uint64_t game_state_checksum()
{
    state_hash s;
    for (int n = 0; n < SPRITE_SLOTS; n++) {
        const sprite_record &r = sprite[n];
        if (r.type == KIND_FREE) continue;
        s.add(n, r.x, r.y, r.w, r.h, r.dx, r.dy, r.mass, r.type, r.frame, r.life, r.points);
        s.add(r.angle, r.direction);
    }
    for (int n = 0; n < PARTICLE_SLOTS; n++) {
        const particle_record &p = particles[n];
        if (p.life > 0) s.add(n, p.x, p.y, p.dx, p.dy, p.rx, p.ry, p.tx, p.ty, p.type, p.life);
    }
    for (int n = 0; n < EXPLOSION_SLOTS; n++) {
        const explosion_record &e = explosion[n];
        if (e.life > 0) s.add(n, e.x, e.y, e.life, e.speed, e.type);
    }
    for (int n = 0; n < REBOUND_SLOTS; n++)
        if (rebound[n].life > 0) s.add(n, rebound[n].type, rebound[n].life);
    s.add(p1_score, p2_score, p1_balls, p2_balls, p1_dy, p2_dy, p1_frames, p2_frames);
    s.add(actual_frames, countdown_flag, mult, hi, new_high, Menu_Option);
    random_snapshot g = snapshot_random();
    s.bytes(g.ring, sizeof g.ring);
    s.add(g.front, g.rear);
    // The burst is made of the logo's pixels as the data file has them.
    for (const brumzel_pixel &p : brumzel_pixels)
        s.add(p.x, p.y);
    return s.h;
}

// ---- the recorder's and the playback's course through a game ----

enum replay_activity { REPLAY_IDLE, REPLAY_RECORDING, REPLAY_PLAYING };
static replay_activity activity = REPLAY_IDLE;
static int pass_now = -1;     // the pass whose reads are being noted or replayed
static int drawing_pass = -1; // the pass whose logic ended last: the drawing since is its
static int steps_done = 0;
static int checksums_done = 0;
static unsigned long long numbers_mark, countdowns_mark; // the counters when its logic ended
static bool recording_overflowed = false;
static int out_of_step_at = -1; // playback: the step where it went out of step
static bool watching_now = false;
static int samples_at_start[DAT_ENTRIES];
// Playback: the state after the last logic step, put back before the next.
static random_snapshot random_after_logic;
static rebound_record flashes_after_logic[REBOUND_SLOTS];
static step_reads replay_end_reads; // what a pass past the recording's end reads: Escape

// The step where playback left the recording: the one that read the clock more often than its
// pass recorded, or else the one about to be taken past the recording's end.
static void went_out_of_step()
{
    if (out_of_step_at < 0) out_of_step_at = replayed_reads_ran_out ? steps_done : steps_done + 1;
}

static bool playback_failed()
{
    return activity == REPLAY_PLAYING && out_of_step_at >= 0;
}

static void note_checksum()
{
    uint64_t sum = game_state_checksum();
    if (activity == REPLAY_RECORDING) {
        if (checksums_done < REPLAY_MAX_CHECKSUMS) recording.checksum[checksums_done] = sum;
    } else if (checksums_done >= recording.head.checksums ||
               recording.checksum[checksums_done] != sum) {
        if (out_of_step_at < 0) out_of_step_at = steps_done;
    }
    checksums_done++;
}

void replay_pass_begins()
{
    if (activity == REPLAY_IDLE) return;
    pass_now++;
    if (activity == REPLAY_RECORDING) {
        if (pass_now >= REPLAY_MAX_PASSES) {
            recording_overflowed = true;
            note_step_reads(nullptr);
            pass_now = REPLAY_MAX_PASSES - 1;
            return;
        }
        memset(&recording.pass[pass_now], 0, sizeof recording.pass[pass_now]);
        note_step_reads(&recording.pass[pass_now].reads);
        return;
    }
    if (pass_now >= recording.head.passes || replayed_reads_ran_out) {
        // The game goes on where the recording ended: stop it.
        went_out_of_step();
        replay_step_reads(&replay_end_reads, watching_now);
        return;
    }
    replay_step_reads(&recording.pass[pass_now].reads, watching_now);
}

static void skip_random_numbers(unsigned long long n)
{
    for (unsigned long long k = 0; k < n; k++)
        rand();
}

// Recording: what the drawing since the last logic step did. Playback: unless the frames drawn
// did exactly what the recorded ones did, the state after the logic step comes back and the
// recorded frames' count-downs and numbers are applied to it.
static void settle_drawing()
{
    if (drawing_pass < 0) return;
    unsigned long long frames = pad_countdowns - countdowns_mark;
    unsigned long long numbers = random_numbers_drawn - numbers_mark;
    replay_pass &p = recording.pass[drawing_pass];
    if (activity == REPLAY_RECORDING) {
        p.frames += static_cast<uint32_t>(frames);
        p.numbers += static_cast<uint32_t>(numbers);
    } else if (frames != p.frames || numbers != p.numbers) {
        restore_random(random_after_logic);
        memcpy(rebound, flashes_after_logic, sizeof rebound);
        for (uint32_t f = 0; f < p.frames && f < REBOUND_LIFE; f++)
            count_down_pad_flashes();
        skip_random_numbers(p.numbers);
    }
    drawing_pass = -1;
}

void replay_logic_begins()
{
    if (activity != REPLAY_IDLE) settle_drawing();
}

// Playback draws the pass's last recorded frame as it was: the frames before it counted the
// flashes down and took their blobs' numbers (every frame of a pass the same count).
static void advance_to_last_frame(const replay_pass &p)
{
    if (p.frames < 1) return;
    for (uint32_t f = 0; f + 1 < p.frames && f < REBOUND_LIFE; f++)
        count_down_pad_flashes();
    unsigned blobs = static_cast<unsigned>(live_blobs());
    if (p.numbers >= blobs) skip_random_numbers(p.numbers - blobs);
}

void replay_logic_ends(bool counts_as_step)
{
    if (activity == REPLAY_IDLE) return;
    if (counts_as_step) {
        steps_done++;
        if (steps_done % REPLAY_CHECK_STEPS == 0) note_checksum();
    }
    bool past_end = activity == REPLAY_PLAYING && pass_now >= recording.head.passes;
    drawing_pass = past_end ? -1 : pass_now;
    if (activity == REPLAY_PLAYING && !past_end) {
        random_after_logic = snapshot_random();
        memcpy(flashes_after_logic, rebound, sizeof rebound);
        countdowns_mark = pad_countdowns;
        numbers_mark = random_numbers_drawn;
        advance_to_last_frame(recording.pass[pass_now]);
        return;
    }
    countdowns_mark = pad_countdowns;
    numbers_mark = random_numbers_drawn;
}

// The start of a recorded game: counters, the starting state and its checksum.
static void start_course(replay_activity what)
{
    activity = what;
    pass_now = drawing_pass = -1;
    steps_done = checksums_done = 0;
    out_of_step_at = -1;
    recording_overflowed = false;
    replayed_reads_ran_out = false;
    memcpy(samples_at_start, sample_plays, sizeof samples_at_start);
    note_checksum();
}

// The end: the last drawing settled, the final checksum, the samples played.
static void end_course()
{
    settle_drawing();
    note_checksum();
    note_step_reads(nullptr);
    replay_step_reads(nullptr, false);
    activity = REPLAY_IDLE;
}

static carried_state carried_now()
{
    return {snapshot_random(), hi, new_high, p1_frames, p2_frames, mult};
}

static void carry_over(const carried_state &c)
{
    restore_random(c.random);
    hi = c.hi;
    new_high = c.new_high;
    p1_frames = c.p1_frames;
    p2_frames = c.p2_frames;
    mult = c.mult;
}

// ---- recording ----

static const char *record_path = nullptr;
static int games_recorded = 0;

void record_games_to(const char *path)
{
    record_path = path;
    games_recorded = 0;
}

void begin_game_recording()
{
    if (!record_path) return;
    replay_header &h = recording.head;
    memset(&h, 0, sizeof h);
    h.format_version = REPLAY_FORMAT_VERSION;
    h.rules_version = REPLAY_RULES_VERSION;
    snprintf(h.game_version, sizeof h.game_version, "%s", GAME_VERSION);
    h.mode = Menu_Option;
    h.start = carried_now();
    start_course(REPLAY_RECORDING);
}

void end_game_recording()
{
    if (activity != REPLAY_RECORDING) return;
    end_course();
    games_recorded++;
    char path[4096], why[512];
    numbered_recording_path(record_path, games_recorded, path, sizeof path);
    replay_header &h = recording.head;
    // What the reader would refuse is not written.
    for (int n = 0; n <= pass_now; n++) {
        const replay_pass &p = recording.pass[n];
        recording_overflowed |= p.reads.clock_reads > MAX_CLOCK_READS ||
                                p.frames > REPLAY_MAX_FRAMES || p.numbers > REPLAY_MAX_NUMBERS;
    }
    if (recording_overflowed) {
        fprintf(stderr, "brumzel-ball: the game could not be recorded whole; %s not written\n",
                path);
        return;
    }
    time_t now = time(nullptr);
    strftime(h.date, sizeof h.date, "%Y-%m-%d %H:%M:%S", gmtime(&now));
    h.p1_score = p1_score;
    h.p2_score = p2_score;
    h.steps = steps_done;
    h.passes = pass_now + 1;
    h.checksums = checksums_done;
    for (int n = 0; n < DAT_ENTRIES; n++)
        h.samples[n] = sample_plays[n] - samples_at_start[n];
    if (!write_recording(path, why, sizeof why)) fprintf(stderr, "brumzel-ball: %s\n", why);
}

void numbered_recording_path(const char *path, int game, char *out, int out_size)
{
    if (game <= 1) {
        snprintf(out, out_size, "%s", path);
        return;
    }
    // The number goes before the extension of the file's own name, if it has one.
    const char *name = strrchr(path, '/');
    name = name ? name + 1 : path;
    const char *dot = strrchr(name, '.');
    if (!dot || dot == name) dot = name + strlen(name);
    snprintf(out, out_size, "%.*s-%d%s", static_cast<int>(dot - path), path, game, dot);
}

// ---- the file ----

namespace {
struct writer {
    unsigned char *out;
    size_t cap, n = 0;
    bool fits = true;
    void byte(unsigned v)
    {
        if (n < cap)
            out[n++] = static_cast<unsigned char>(v);
        else
            fits = false;
    }
    void le(uint64_t v, int bytes)
    {
        for (int k = 0; k < bytes; k++)
            byte((v >> (8 * k)) & 0xff);
    }
    void varint(uint64_t v)
    {
        while (v >= 0x80) {
            byte((v & 0x7f) | 0x80);
            v >>= 7;
        }
        byte(static_cast<unsigned>(v));
    }
    void zigzag(int64_t v)
    {
        varint(v < 0 ? (static_cast<uint64_t>(-(v + 1)) << 1) | 1 : static_cast<uint64_t>(v) << 1);
    }
    void text(const char *s, int width)
    {
        int len = static_cast<int>(strnlen(s, width));
        for (int k = 0; k < width; k++)
            byte(k < len ? static_cast<unsigned char>(s[k]) : 0);
    }
};

struct reader {
    const unsigned char *in;
    size_t n, at = 0;
    bool good = true;
    unsigned byte()
    {
        if (at >= n) {
            good = false;
            return 0;
        }
        return in[at++];
    }
    uint64_t le(int bytes)
    {
        uint64_t v = 0;
        for (int k = 0; k < bytes; k++)
            v |= static_cast<uint64_t>(byte()) << (8 * k);
        return v;
    }
    int32_t le32()
    {
        return static_cast<int32_t>(static_cast<uint32_t>(le(4)));
    }
    // At most 32 bits in at most five bytes.
    uint32_t varint()
    {
        uint64_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            unsigned b = byte();
            v |= static_cast<uint64_t>(b & 0x7f) << shift;
            if (!(b & 0x80)) {
                if (v > 0xffffffffull) good = false;
                return static_cast<uint32_t>(v);
            }
        }
        good = false;
        return 0;
    }
    int32_t zigzag()
    {
        uint32_t v = varint();
        return static_cast<int32_t>((v >> 1) ^ (0u - (v & 1)));
    }
    // A text field, cut at its first NUL; anything but printable ASCII becomes '?', so that a
    // message quoting it stays one line.
    void text(char *s, int width)
    {
        for (int k = 0; k < width; k++) {
            unsigned c = byte();
            s[k] = c == 0 || (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
        }
        s[width] = '\0';
    }
};
} // namespace

constexpr int FLAG_POINTER = 1, FLAG_BUTTONS = 2, FLAG_KEYS = 4, FLAG_CLOCK_READS = 8,
              FLAG_FRAMES = 16, FLAG_NUMBERS = 32, FLAG_LATER_CLOCKS = 64;

uint32_t fnv1a32(const unsigned char *b, size_t n)
{
    uint32_t h = 2166136261u;
    for (size_t k = 0; k < n; k++)
        h = (h ^ b[k]) * 16777619u;
    return h;
}

static void encode_header(writer &w, const replay_header &h, size_t body_bytes)
{
    for (int k = 0; k < REPLAY_MAGIC_BYTES; k++)
        w.byte(static_cast<unsigned char>(REPLAY_MAGIC[k]));
    w.le(h.format_version, 2);
    w.le(h.rules_version, 2);
    w.text(h.game_version, REPLAY_VERSION_TEXT);
    w.text(h.date, REPLAY_DATE_TEXT);
    w.byte(h.mode);
    for (int v : {h.p1_score, h.p2_score, h.steps, h.passes, h.checksums})
        w.le(static_cast<uint32_t>(v), 4);
    w.le(body_bytes, 4);
    for (int32_t word : h.start.random.ring)
        w.le(static_cast<uint32_t>(word), 4);
    w.byte(h.start.random.front);
    w.byte(h.start.random.rear);
    for (int v : {h.start.hi, h.start.new_high, h.start.p1_frames, h.start.p2_frames, h.start.mult})
        w.le(static_cast<uint32_t>(v), 4);
    for (int v : h.samples)
        w.varint(static_cast<uint32_t>(v));
}

static void encode_passes(writer &w, const replay_pass *passes, int count)
{
    replay_pass last = {};
    int last_first_clock = 0;
    for (int n = 0; n < count; n++) {
        const replay_pass &p = passes[n];
        const step_reads &r = p.reads;
        int flags = 0;
        if (r.pointer_y != last.reads.pointer_y) flags |= FLAG_POINTER;
        if (r.buttons != last.reads.buttons) flags |= FLAG_BUTTONS;
        if (r.keys != last.reads.keys) flags |= FLAG_KEYS;
        if (r.clock_reads != last.reads.clock_reads) flags |= FLAG_CLOCK_READS;
        if (p.frames != last.frames) flags |= FLAG_FRAMES;
        if (p.numbers != last.numbers) flags |= FLAG_NUMBERS;
        for (int k = 1; k < r.clock_reads; k++)
            if (r.clocks[k] != r.clocks[0]) flags |= FLAG_LATER_CLOCKS;
        w.byte(flags);
        if (flags & FLAG_POINTER) w.zigzag(int64_t(r.pointer_y) - last.reads.pointer_y);
        if (flags & FLAG_BUTTONS) w.varint(static_cast<uint32_t>(r.buttons));
        if (flags & FLAG_KEYS) w.byte(r.keys);
        if (flags & FLAG_CLOCK_READS) w.varint(r.clock_reads);
        if (flags & FLAG_FRAMES) w.varint(p.frames);
        if (flags & FLAG_NUMBERS) w.varint(p.numbers);
        if (r.clock_reads > 0) {
            w.zigzag(int64_t(r.clocks[0]) - last_first_clock);
            last_first_clock = r.clocks[0];
        }
        if (flags & FLAG_LATER_CLOCKS)
            for (int k = 1; k < r.clock_reads; k++)
                w.zigzag(int64_t(r.clocks[k]) - r.clocks[k - 1]);
        last = p;
    }
}

size_t encode_recording(unsigned char *out, size_t cap)
{
    const replay_header &h = recording.head;
    // The body first, to know its length; then everything in order.
    writer body{out, cap};
    encode_passes(body, recording.pass, h.passes);
    if (!body.fits) return 0;
    size_t body_bytes = body.n;
    writer w{out, cap};
    encode_header(w, h, body_bytes);
    encode_passes(w, recording.pass, h.passes);
    for (int k = 0; k < h.checksums; k++)
        w.le(recording.checksum[k], 8);
    w.le(fnv1a32(out, w.n), 4);
    return w.fits ? w.n : 0;
}

// Fails the read with a reason; returns false for the caller to pass on.
static bool refuse(char *why, int why_size, const char *reason)
{
    snprintf(why, why_size, "%s", reason);
    return false;
}

static bool decode_header(reader &r, replay_header &h, uint32_t &body_bytes, char *why,
                          int why_size)
{
    char magic[REPLAY_MAGIC_BYTES + 1];
    r.text(magic, REPLAY_MAGIC_BYTES);
    if (!r.good || memcmp(magic, REPLAY_MAGIC, REPLAY_MAGIC_BYTES) != 0)
        return refuse(why, why_size, "not a Brumzel Ball recording");
    h.format_version = static_cast<int>(r.le(2));
    h.rules_version = static_cast<int>(r.le(2));
    if (h.format_version != REPLAY_FORMAT_VERSION) {
        snprintf(why, why_size, "a recording of format version %d; this game reads version %d",
                 h.format_version, REPLAY_FORMAT_VERSION);
        return false;
    }
    r.text(h.game_version, REPLAY_VERSION_TEXT);
    r.text(h.date, REPLAY_DATE_TEXT);
    if (h.rules_version != REPLAY_RULES_VERSION) {
        snprintf(why, why_size,
                 "recorded by version %s under other rules (%d); this game's rules are %d",
                 h.game_version, h.rules_version, REPLAY_RULES_VERSION);
        return false;
    }
    h.mode = static_cast<int>(r.byte());
    h.p1_score = r.le32();
    h.p2_score = r.le32();
    h.steps = r.le32();
    h.passes = r.le32();
    h.checksums = r.le32();
    body_bytes = static_cast<uint32_t>(r.le(4));
    for (int32_t &word : h.start.random.ring)
        word = r.le32();
    h.start.random.front = static_cast<int>(r.byte());
    h.start.random.rear = static_cast<int>(r.byte());
    for (int *v :
         {&h.start.hi, &h.start.new_high, &h.start.p1_frames, &h.start.p2_frames, &h.start.mult})
        *v = r.le32();
    for (int &v : h.samples)
        v = static_cast<int>(r.varint());
    if (!r.good) return refuse(why, why_size, "the recording is cut short");
    bool sane = h.mode >= 0 && h.mode <= 1 && h.passes >= 1 && h.passes <= REPLAY_MAX_PASSES &&
                h.steps >= 0 && h.steps <= h.passes &&
                h.checksums == h.steps / REPLAY_CHECK_STEPS + 2 && h.p1_score >= 0 &&
                h.p2_score >= 0 && body_bytes <= REPLAY_MAX_FILE_BYTES;
    for (int v : h.samples)
        sane = sane && v >= 0;
    random_snapshot saved = snapshot_random();
    sane = sane && restore_random(h.start.random); // a ring's positions, or refused
    restore_random(saved);
    if (!sane) return refuse(why, why_size, "the recording's header is damaged");
    return true;
}

static bool decode_passes(reader &r, replay_pass *passes, int count)
{
    replay_pass last = {};
    int last_first_clock = 0;
    for (int n = 0; n < count && r.good; n++) {
        replay_pass p = last;
        step_reads &s = p.reads;
        unsigned flags = r.byte();
        if (flags > 127) return false;
        if (flags & FLAG_POINTER) s.pointer_y = int(int64_t(s.pointer_y) + r.zigzag());
        if (flags & FLAG_BUTTONS) s.buttons = static_cast<int>(r.varint());
        if (flags & FLAG_KEYS) s.keys = static_cast<int>(r.byte());
        if (flags & FLAG_CLOCK_READS) s.clock_reads = static_cast<int>(r.varint());
        if (flags & FLAG_FRAMES) p.frames = r.varint();
        if (flags & FLAG_NUMBERS) p.numbers = r.varint();
        if (s.keys & ~STEP_KEY_BITS || s.clock_reads < 0 || s.clock_reads > MAX_CLOCK_READS ||
            p.frames > REPLAY_MAX_FRAMES || p.numbers > REPLAY_MAX_NUMBERS)
            return false;
        if (s.clock_reads > 0) {
            s.clocks[0] = last_first_clock + r.zigzag();
            last_first_clock = s.clocks[0];
        }
        for (int k = 1; k < s.clock_reads; k++)
            s.clocks[k] = flags & FLAG_LATER_CLOCKS ? s.clocks[k - 1] + r.zigzag() : s.clocks[0];
        passes[n] = p;
        last = p;
    }
    return r.good;
}

bool decode_recording(const unsigned char *bytes, size_t n, char *why, int why_size)
{
    if (n > static_cast<size_t>(REPLAY_MAX_FILE_BYTES))
        return refuse(why, why_size, "too large for a recording");
    reader r{bytes, n};
    replay_header h;
    uint32_t body_bytes;
    if (!decode_header(r, h, body_bytes, why, why_size)) return false;
    size_t tail = static_cast<size_t>(h.checksums) * 8 + 4;
    if (n - r.at < tail || n - r.at - tail < body_bytes) {
        snprintf(why, why_size, "the recording is cut short");
        return false;
    }
    if (n - r.at - tail > body_bytes) return refuse(why, why_size, "the recording is damaged");
    if (fnv1a32(bytes, n - 4) != static_cast<uint32_t>(reader{bytes + n - 4, 4}.le(4)))
        return refuse(why, why_size, "the recording is damaged (its check does not match)");
    // A file whose passes turn out damaged leaves no recording behind.
    reader body{bytes + r.at, body_bytes};
    if (!decode_passes(body, recording.pass, h.passes) || body.at != body_bytes) {
        recording.head.passes = recording.head.steps = recording.head.checksums = 0;
        return refuse(why, why_size, "the recording's passes are damaged");
    }
    reader sums{bytes + r.at + body_bytes, tail};
    for (int k = 0; k < h.checksums; k++)
        recording.checksum[k] = sums.le(8);
    recording.head = h;
    return true;
}

static unsigned char file_bytes[REPLAY_MAX_FILE_BYTES + 1];

bool read_recording(const char *path, char *why, int why_size)
{
    FILE *f = fopen(path, "rb");
    if (!f) {
        snprintf(why, why_size, "cannot read %s: %s", path, strerror(errno));
        return false;
    }
    size_t n = fread(file_bytes, 1, sizeof file_bytes, f);
    bool failed = ferror(f);
    fclose(f);
    char reason[256];
    if (failed) {
        snprintf(why, why_size, "cannot read %s", path);
        return false;
    }
    if (!decode_recording(file_bytes, n, reason, sizeof reason)) {
        snprintf(why, why_size, "%s: %s", path, reason);
        return false;
    }
    return true;
}

bool write_recording(const char *path, char *why, int why_size)
{
    size_t n = encode_recording(file_bytes, sizeof file_bytes);
    if (n == 0) {
        snprintf(why, why_size, "the recording is too large to write to %s", path);
        return false;
    }
    // A complete, synced file replaces the old one, or nothing changes.
    char temp[4096 + 8];
    snprintf(temp, sizeof temp, "%s.tmp", path);
    FILE *f = fopen(temp, "wb");
    bool written = f && fwrite(file_bytes, 1, n, f) == n;
    int error = errno;
    if (f) {
        written = written && fflush(f) == 0 && fsync(fileno(f)) == 0;
        written = fclose(f) == 0 && written;
    }
    if (written && rename(temp, path) == 0) return true;
    error = errno ? errno : error;
    remove(temp);
    snprintf(why, why_size, "the recording could not be written to %s: %s", path, strerror(error));
    return false;
}

// ---- playback ----

// The state at the end of "GET READY": the tables as a menu pass leaves them, a new game, and
// what the recording says survived from the games before.
static void set_starting_state(const replay_header &h)
{
    get_brumzel_pixels(); // the burst is made of them: sampled as the game samples them
    initialise_sprites();
    initialise_particles();
    initialise_explosions();
    initialise_rebound();
    Menu_Option = h.mode;
    initialise_newgame();
    carry_over(h.start);
    actual_frames = 0;
    reset_target_frames();
}

static bool keep_playing(bool watching, replay_outcome &o)
{
    if (playback_failed()) return false;
    if (watching && escape_held()) o.left = true;
    return !o.left;
}

replay_outcome play_back_recording(bool watching, void (*after_pass)())
{
    replay_outcome o = {};
    // The player's own run comes back afterwards.
    carried_state kept = carried_now();
    int kept_mode = Menu_Option;
    const replay_header &h = recording.head;
    set_starting_state(h);
    replay_end_reads = step_reads{};
    replay_end_reads.keys = STEP_KEY_ESC;
    watching_now = watching;
    start_course(REPLAY_PLAYING);

    while (keep_playing(watching, o) && game_continues()) {
        end_if_closed();
        play_pass();
        if (after_pass) after_pass();
    }
    if (keep_playing(watching, o)) {
        burst_bumpers();
        do {
            end_if_closed();
            gameover_logic_step();
            draw_paced(draw_gameover_frame);
            actual_frames++;
            if (after_pass) after_pass();
        } while (keep_playing(watching, o) && any_particle_alive());
    }
    if (replayed_reads_ran_out) went_out_of_step();
    bool finished = !o.left && !playback_failed();
    end_course();
    if (finished) {
        bool same = steps_done == h.steps && pass_now + 1 == h.passes && p1_score == h.p1_score &&
                    p2_score == h.p2_score;
        for (int n = 0; n < DAT_ENTRIES; n++)
            same = same && sample_plays[n] - samples_at_start[n] == h.samples[n];
        if (!same && out_of_step_at < 0) out_of_step_at = steps_done;
    }
    o.in_step = out_of_step_at < 0 && !o.left;
    o.out_of_step = out_of_step_at;
    o.steps = steps_done;
    o.passes = pass_now + 1;
    o.p1_score = p1_score;
    o.p2_score = p2_score;
    if (watching) {
        highcolor_fade_out(16);
        rest_unless_closed(500);
    }
    carry_over(kept);
    Menu_Option = kept_mode;
    return o;
}

// Says on standard error where a playback went out of step; false then.
static bool stayed_in_step(const replay_outcome &o)
{
    if (o.in_step || o.left) return true;
    fprintf(stderr, "brumzel-ball: the replay went out of step at step %d\n", o.out_of_step);
    return false;
}

void watch_recording()
{
    stayed_in_step(play_back_recording(true));
}

// ---- the timedemo ----

frame_time_figures figure_frame_times(float *ms, int frames)
{
    if (frames <= 0) return {0, 0, 0};
    double total = 0;
    for (int n = 0; n < frames; n++)
        total += ms[n];
    std::sort(ms, ms + frames);
    return {total / frames, ms[std::min(frames - 1, frames * 99 / 100)], ms[frames - 1]};
}

void note_fullest(fullest_moments *f)
{
    int balls = 0, live = 0, flashes = 0;
    for (int n = 0; n <= OVERFLOW_BALL_SLOT; n++)
        balls += sprite[n].type == KIND_P1_BALL || sprite[n].type == KIND_P2_BALL;
    for (const particle_record &p : particles)
        live += p.life > 0;
    for (const rebound_record &r : rebound) {
        if (r.life <= 0) continue;
        flashes++;
        int c = r.type - KIND_PAD_BOTTOM_LEFT;
        if (c >= 0 && c < PAD_CORNERS) f->corner[c] = true;
    }
    f->balls = std::max(f->balls, balls);
    f->particles = std::max(f->particles, live);
    f->flashes = std::max(f->flashes, flashes);
    f->burst |= sprite[FIRST_BUMPER_SLOT].type == KIND_FREE;
}

void print_timedemo(FILE *out, const char *path, const timedemo_figures &t)
{
    const replay_outcome &o = t.outcome;
    const replay_header &h = recording.head;
    fprintf(out, "timedemo %s: %d steps, %d frames in %.2f s: %.0f steps/s, %.0f frames/s\n", path,
            o.steps, t.frames, t.seconds, o.steps / t.seconds, t.frames / t.seconds);
    fprintf(out, "frame time: mean %.3f ms, 99th percentile %.3f ms, slowest %.3f ms\n",
            t.times.mean, t.times.p99, t.times.slowest);
    fprintf(out, "final scores: player 1 %d, player 2 %d (recorded %d and %d, %s game)\n",
            o.p1_score, o.p2_score, h.p1_score, h.p2_score,
            h.mode == 0 ? "one-player" : "two-player");
    const fullest_moments &f = t.fullest;
    int corners = 0;
    for (bool c : f.corner)
        corners += c;
    fprintf(out,
            "fullest moments: %d balls in flight, %d live particles, %d pad flashes at once, "
            "flashes at %d of 4 corners, %s\n",
            f.balls, f.particles, f.flashes, corners, f.burst ? "the burst" : "no burst");
    if (o.in_step) fprintf(out, "every checksum matched (%d)\n", h.checksums);
}

// The measuring: the time of every pass, and the fullest moments counted outside it.
static float pass_ms[REPLAY_MAX_PASSES];
static int timed_passes = 0;
static double pass_started_ms;
static fullest_moments fullest;

static double now_ms()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void time_pass()
{
    double now = now_ms();
    if (timed_passes < REPLAY_MAX_PASSES)
        pass_ms[timed_passes++] = static_cast<float>(now - pass_started_ms);
    note_fullest(&fullest);
    pass_started_ms = now_ms();
}

int play_timedemo(const char *path, FILE *out)
{
    timed_passes = 0;
    fullest = {};
    double started = now_ms();
    pass_started_ms = started;
    timedemo_figures t;
    t.outcome = play_back_recording(false, time_pass);
    t.seconds = (now_ms() - started) / 1e3;
    t.frames = timed_passes;
    t.times = figure_frame_times(pass_ms, timed_passes);
    t.fullest = fullest;
    print_timedemo(out, path, t);
    return stayed_in_step(t.outcome) ? 0 : 1;
}

int run_timedemo(const char *path)
{
    char why[512];
    if (!read_recording(path, why, sizeof why)) {
        fprintf(stderr, "brumzel-ball: %s\n", why);
        return 1;
    }
    if (!initialise_headless(GAMEDATA_FILE, why, sizeof why)) {
        fprintf(stderr, "brumzel-ball: the timedemo cannot start: %s\n", why);
        return 1;
    }
    return play_timedemo(path, stdout);
}
