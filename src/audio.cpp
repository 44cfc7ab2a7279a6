// audio -- the sound device started without the sound library's chatter, the master volume and
// mute
#include "audio.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

sound_choice chosen_sound = {VOLUME_UNSET, MUTE_UNSET};
bool sound_muted = false;
bool keys_are_text = false;

int volume_from_text(const char *text)
{
    if (!text || !text[0] || strlen(text) > 3) return VOLUME_UNSET;
    int volume = 0;
    for (const char *c = text; *c; c++) {
        if (*c < '0' || *c > '9') return VOLUME_UNSET;
        volume = volume * 10 + (*c - '0');
    }
    return volume <= MAX_VOLUME ? volume : VOLUME_UNSET;
}

// ---- a quiet start ----

// The first thing the ALSA library complained of: the reason when no device answers.
static char sound_library_says[160];

// Takes the ALSA library's error messages instead of its printing them on standard error.
static void keep_alsa_message(const char *, int, const char *, int, const char *fmt, ...)
{
    if (sound_library_says[0]) return;
    va_list args;
    va_start(args, fmt);
    vsnprintf(sound_library_says, sizeof sound_library_says, fmt, args);
    va_end(args);
}

// The library's sound module loads the ALSA library itself; loaded first, it takes our handler
// into the same instance. Without the ALSA library there is nothing to quieten.
static void quieten_alsa()
{
    typedef void (*alsa_handler)(const char *, int, const char *, int, const char *, ...);
    void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa) return;
    auto set_handler =
        reinterpret_cast<int (*)(alsa_handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler) set_handler(keep_alsa_message);
}

static void say_no_sound(const char *reason)
{
    fprintf(stderr, "no sound: %s; the game plays silent\n", reason);
}

void start_sound()
{
    quieten_alsa();
    // A sound system that refuses to start at all stops the game, as it always has; a machine
    // without a sound device is not that case: the library then picks its silent driver.
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0) {
        allegro_exit();
        printf("Error setting up Sound\n%s\n\n", allegro_error);
        exit(1);
    }
    // With no device the library falls back to its silent driver by itself.
    if (digi_driver && digi_driver->id == DIGI_NONE) {
        char why[200];
        if (sound_library_says[0])
            snprintf(why, sizeof why, "no sound device answered (ALSA: %s)", sound_library_says);
        else
            snprintf(why, sizeof why, "no sound device was found");
        say_no_sound(why);
    }
}

void apply_sound_choice()
{
    int volume = chosen_sound.volume == VOLUME_UNSET ? MAX_VOLUME : chosen_sound.volume;
    // At 100 the library's volume is left as it is: the samples play at their own volumes.
    if (volume < MAX_VOLUME) set_volume(volume * 255 / MAX_VOLUME, -1);
    set_muted(chosen_sound.mute == 1);
}

// ---- mute ----

// The library numbers the voices it plays 0 to 255. For each voice the game started, the volume
// it was asked for and the sample, so that unmuting can give it back its volume.
constexpr int VOICE_SLOTS = 256;
static struct {
    SAMPLE *sample;
    int vol;
} voice_played[VOICE_SLOTS];

void play_heard(SAMPLE *sample, int vol, int pan, int freq)
{
    int voice = play_sample(sample, sound_muted ? 0 : vol, pan, freq, 0);
    if (voice >= 0 && voice < VOICE_SLOTS) voice_played[voice] = {sample, vol};
}

// A voice at volume 0 keeps playing and takes its volume back later; the library's master
// volume set to 0 would lose every playing voice's volume for good.
void set_muted(bool on)
{
    sound_muted = on;
    for (int voice = 0; voice < VOICE_SLOTS; voice++) {
        SAMPLE *sample = voice_played[voice].sample;
        if (!sample) continue;
        if (voice_check(voice) == sample)
            voice_set_volume(voice, on ? 0 : voice_played[voice].vol);
        else
            voice_played[voice].sample = nullptr; // finished: the library freed the voice
    }
}

static bool mute_key_was_down = false;

void check_mute_key()
{
    bool down = key[KEY_M] != 0;
    if (down && !mute_key_was_down && !keys_are_text) set_muted(!sound_muted);
    mute_key_was_down = down;
}
