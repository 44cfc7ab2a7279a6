#ifndef AUDIO_H
#define AUDIO_H
// audio -- the sound device started without the sound library's chatter, the master volume and
// mute
#include <allegro.h>

// The master volume runs from 0 to 100; 100 plays the samples at their own volumes.
constexpr int MAX_VOLUME = 100;
constexpr int VOLUME_UNSET = -1, MUTE_UNSET = -1;
struct sound_choice {
    int volume; // 0 to MAX_VOLUME, or VOLUME_UNSET for the default, MAX_VOLUME
    int mute;   // 1 muted, 0 not, or MUTE_UNSET for the default, not muted
};
// Filled from the command line, then from the settings file where the command line is silent.
extern sound_choice chosen_sound;

// The volume in plain digits, 0 to MAX_VOLUME; VOLUME_UNSET for anything else.
int volume_from_text(const char *text);

// Starts the sound device. The ALSA library's own messages are kept off the terminal; without a
// device the game says "no sound: " and the reason in one line on standard error and plays
// silent. When the sound system cannot be started at all, the game ends with status 1.
void start_sound();
// Sets the chosen master volume and mute.
void apply_sound_choice();

extern bool sound_muted;
// Mutes or unmutes every sample, those playing included.
void set_muted(bool on);
// Plays a sample once at the master volume, silently while muted.
void play_heard(SAMPLE *sample, int vol, int pan, int freq);

// While set, keys are text (name entry): M types a letter there instead of muting.
extern bool keys_are_text;
// M mutes and unmutes: every screen looks at it here, at its safe points.
void check_mute_key();

#endif
