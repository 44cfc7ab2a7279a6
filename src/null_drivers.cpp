// null_drivers -- the library without a display, a clock or a sound device: display modes set in
// memory, ticks the caller gives and voices mixed into nothing, so the whole game runs headless
#include "null_drivers.h"

#include <allegro/internal/aintern.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

bool (*null_mode_refused)(int, int, int, bool) = nullptr;
int null_display_blits = 0;
char null_display_title[64] = "";
static char window_title[64] = ""; // as the library was last told
int null_desktop_w = 0, null_desktop_h = 0, null_desktop_depth = 0;
null_sound_answer null_sound = NULL_SOUND_TAKEN;
void (*null_rested)(unsigned int ms) = nullptr;
void (*null_close_button)() = nullptr;

// ---- the display: a memory bitmap whose blits are counted ----

// The display's drawing functions are the memory bitmap's, but for the blits, which count: the
// library hands a blit between two memory bitmaps of one depth to the target's blit_to_self.
static GFX_VTABLE display_vtable;
static void (*plain_blit)(BITMAP *, BITMAP *, int, int, int, int, int, int);

static void counted_blit(BITMAP *s, BITMAP *d, int sx, int sy, int dx, int dy, int w, int h)
{
    null_display_blits++;
    plain_blit(s, d, sx, sy, dx, dy, w, h);
}

// Any size at any depth the library draws at, unless the caller refuses it.
static BITMAP *opened_display;
static BITMAP *open_display(int w, int h, int, int, int depth)
{
    BITMAP *display = nullptr;
    if (!null_mode_refused || !null_mode_refused(w, h, depth, gfx_driver->windowed))
        display = create_bitmap_ex(depth, w, h);
    if (!display) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "the null display refuses this mode");
        return nullptr;
    }
    display_vtable = *display->vtable;
    plain_blit = display_vtable.blit_to_self;
    display_vtable.blit_to_self = counted_blit;
    display->vtable = &display_vtable;
    gfx_driver->w = w, gfx_driver->h = h;
    null_display_blits = 0;
    ustrzcpy(null_display_title, sizeof null_display_title, window_title);
    return opened_display = display;
}

// The library closes a display with the bitmap it opened; a real driver given another one would
// free memory not its own. Said here, so that a game that left its frame as the screen shows.
static void close_display(BITMAP *b)
{
    if (b != opened_display)
        fputs("the null display was closed with a bitmap not its own\n", stderr);
    opened_display = nullptr;
}

static void no_retrace() {}
static void no_palette(const RGB *, int, int, int) {}

// One driver for windows and one for full-screen modes: the library picks by what it is asked.
static GFX_DRIVER null_window, null_full_screen;

static void set_up_display_driver(GFX_DRIVER &d, const char *name, bool windowed)
{
    d.id = windowed ? AL_ID('N', 'W', 'I', 'N') : AL_ID('N', 'F', 'U', 'L');
    d.name = d.desc = d.ascii_name = name;
    d.init = open_display, d.exit = close_display;
    d.vsync = no_retrace;
    d.set_palette = no_palette; // an 8-bit mode's colours are the bitmap's own numbers
    d.linear = TRUE;
    d.windowed = windowed;
}

static _DRIVER_INFO display_drivers[] = {{AL_ID('N', 'W', 'I', 'N'), &null_window, TRUE},
                                         {AL_ID('N', 'F', 'U', 'L'), &null_full_screen, TRUE},
                                         {0, nullptr, 0}};

static int desktop_size(int *w, int *h)
{
    *w = null_desktop_w, *h = null_desktop_h;
    return null_desktop_w > 0 ? 0 : -1;
}

static int reported_desktop_depth()
{
    return null_desktop_depth;
}

// ---- the clock: callbacks that run when the caller says time went by ----

static struct {
    void (*proc)();
    long speed;   // timer units between two calls
    long elapsed; // timer units (times 1000) rested since its last call
} timers[MAX_TIMERS];

static int timer_start()
{
    for (auto &t : timers)
        t = {};
    return 0;
}

static void timer_stop() {}

// A callback installed again keeps its slot and takes its new speed, as the library's own do.
static int install_timer_callback(void (*proc)(), long speed)
{
    for (auto &t : timers)
        if (t.proc == proc) return t.speed = speed, 0;
    for (auto &t : timers)
        if (!t.proc) return t = {proc, speed, 0}, 0;
    return -1; // every slot taken
}

static void remove_timer_callback(void (*proc)())
{
    for (auto &t : timers)
        if (t.proc == proc) t = {};
}

void null_tick(int n)
{
    for (auto &t : timers) {
        t.elapsed = 0;
        for (int k = 0; k < n && t.proc; k++)
            t.proc();
    }
}

static void rest_without_time(unsigned int ms, void (*)())
{
    if (null_rested) null_rested(ms);
    for (auto &t : timers) {
        if (!t.proc) continue;
        t.elapsed += long(ms) * TIMERS_PER_SECOND;
        for (; t.proc && t.elapsed >= t.speed * 1000; t.elapsed -= t.speed * 1000)
            t.proc();
    }
}

static TIMER_DRIVER null_timer;
static _DRIVER_INFO timer_drivers[] = {{AL_ID('N', 'T', 'I', 'M'), &null_timer, TRUE},
                                       {0, nullptr, 0}};

// ---- the sound: the library's mixer, its output never taken ----

constexpr int MIX_SAMPLES = 1024, MIX_FREQUENCY = 44100;
static DIGI_DRIVER null_sound_driver;
static const SAMPLE *voice_sample[MIXER_MAX_SFX];

static int sound_detect(int input)
{
    return !input && null_sound != NULL_SOUND_ABSENT;
}

static int sound_start(int input, int voices)
{
    if (input || null_sound == NULL_SOUND_BROKEN) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "the null sound device failed to start");
        return -1;
    }
    for (auto &s : voice_sample)
        s = nullptr;
    digi_driver->voices = voices;
    return _mixer_init(MIX_SAMPLES, MIX_FREQUENCY, TRUE, TRUE, &digi_driver->voices);
}

static void sound_stop(int)
{
    _mixer_exit();
}

static void sound_init_voice(int voice, const SAMPLE *s)
{
    voice_sample[voice] = s;
    _mixer_init_voice(voice, s);
}

static void sound_release_voice(int voice)
{
    voice_sample[voice] = nullptr;
    _mixer_release_voice(voice);
}

bool null_voice_playing(const SAMPLE *s, null_voice *out)
{
    for (int v = 0; digi_driver == &null_sound_driver && v < digi_driver->voices; v++) {
        if (voice_sample[v] != s || _mixer_get_position(v) < 0) continue;
        *out = {_mixer_get_volume(v), _mixer_get_pan(v), _mixer_get_frequency(v)};
        return true;
    }
    return false;
}

static _DRIVER_INFO sound_drivers[] = {{AL_ID('N', 'S', 'N', 'D'), &null_sound_driver, TRUE},
                                       {0, nullptr, 0}};

static void set_up_sound_driver(DIGI_DRIVER &d)
{
    d.id = AL_ID('N', 'S', 'N', 'D');
    d.name = d.desc = d.ascii_name = "null sound";
    d.max_voices = d.def_voices = MIXER_MAX_SFX;
    d.detect = sound_detect, d.init = sound_start, d.exit = sound_stop;
    d.init_voice = sound_init_voice, d.release_voice = sound_release_voice;
    d.start_voice = _mixer_start_voice, d.stop_voice = _mixer_stop_voice;
    d.loop_voice = _mixer_loop_voice;
    d.get_position = _mixer_get_position, d.set_position = _mixer_set_position;
    d.get_volume = _mixer_get_volume, d.set_volume = _mixer_set_volume;
    d.ramp_volume = _mixer_ramp_volume, d.stop_volume_ramp = _mixer_stop_volume_ramp;
    d.get_frequency = _mixer_get_frequency, d.set_frequency = _mixer_set_frequency;
    d.sweep_frequency = _mixer_sweep_frequency;
    d.stop_frequency_sweep = _mixer_stop_frequency_sweep;
    d.get_pan = _mixer_get_pan, d.set_pan = _mixer_set_pan;
    d.sweep_pan = _mixer_sweep_pan, d.stop_pan_sweep = _mixer_stop_pan_sweep;
    d.set_echo = _mixer_set_echo, d.set_tremolo = _mixer_set_tremolo;
    d.set_vibrato = _mixer_set_vibrato;
}

// ---- the system ----

// The library's timer takes a mutex; callbacks here run on the game's own thread, in its rests and
// ticks, so there is nothing to guard.
static int no_mutex;
static void *make_no_mutex()
{
    return &no_mutex;
}
static void no_mutex_op(void *) {}

bool start_null_library(int desktop_w, int desktop_h, int desktop_depth)
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
    null_desktop_w = desktop_w, null_desktop_h = desktop_h, null_desktop_depth = desktop_depth;
    set_up_display_driver(null_window, "null window", true);
    set_up_display_driver(null_full_screen, "null full screen", false);
    null_timer.id = AL_ID('N', 'T', 'I', 'M');
    null_timer.name = null_timer.desc = null_timer.ascii_name = "null timer";
    null_timer.init = timer_start, null_timer.exit = timer_stop;
    null_timer.install_int = install_timer_callback, null_timer.remove_int = remove_timer_callback;
    null_timer.rest = rest_without_time;
    set_up_sound_driver(null_sound_driver);
    system_driver->gfx_drivers = [] { return display_drivers; };
    system_driver->timer_drivers = [] { return timer_drivers; };
    system_driver->digi_drivers = [] { return sound_drivers; };
    // Display switches are the caller's to raise (the library's _switch_out, _switch_in).
    system_driver->set_display_switch_mode = [](int) { return 0; };
    system_driver->create_mutex = make_no_mutex;
    system_driver->destroy_mutex = system_driver->lock_mutex = system_driver->unlock_mutex =
        no_mutex_op;
    system_driver->get_desktop_resolution = desktop_size;
    system_driver->desktop_color_depth = reported_desktop_depth;
    system_driver->set_close_button_callback = [](void (*proc)()) {
        null_close_button = proc;
        return 0;
    };
    system_driver->set_window_title = [](const char *t) {
        ustrzcpy(window_title, sizeof window_title, t);
    };
    return true;
}
