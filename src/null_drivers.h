#ifndef NULL_DRIVERS_H
#define NULL_DRIVERS_H
// null_drivers -- the library without a display, a clock or a sound device: display modes set in
// memory, ticks the caller gives and voices mixed into nothing, so the whole game runs headless
#include <allegro.h>

// Starts the library under SYSTEM_NONE with the null drivers in the lists it searches: the
// display, timer and sound drivers below, and a desktop of w x h at depth bits. False, with the
// reason in allegro_error, when the library does not start.
bool start_null_library(int desktop_w, int desktop_h, int desktop_depth);

// ---- the display ----
// Windowed and full-screen modes of any size at 8, 15, 16, 24 or 32 bits, each a memory bitmap
// (screen while the mode is set). Asked before each mode is set, when set: true refuses it.
extern bool (*null_mode_refused)(int w, int h, int depth, bool windowed);
// Blits sent to the display since its mode was set, as an X server counts requests.
extern int null_display_blits;
// The window title the display opened with last, as the library was told it before.
extern char null_display_title[64];
// The window's close button: the callback the game gave the library, called to press it.
extern void (*null_close_button)();
// The desktop the system reports (get_desktop_resolution, desktop_color_depth).
extern int null_desktop_w, null_desktop_h, null_desktop_depth;

// ---- the clock ----
// n ticks go by: every installed timer callback runs n times, and the time rested since the last
// tick starts again from nothing. A rest takes no real time: the callbacks run as often as they
// would have in the time rested.
void null_tick(int n);
// Called, when set, at the start of every rest with its length: the tests act on the game's waits.
extern void (*null_rested)(unsigned int ms);

// ---- the sound ----
// How the null sound device answers the sound start: taken, not there (the library falls back to
// its silent driver) or there but failing to start.
enum null_sound_answer { NULL_SOUND_TAKEN, NULL_SOUND_ABSENT, NULL_SOUND_BROKEN };
extern null_sound_answer null_sound;
// A voice the mixer is playing, as the mixer has it.
struct null_voice {
    int volume, pan, frequency;
};
// The latest voice playing sample s; false when none is.
bool null_voice_playing(const SAMPLE *s, null_voice *out);

#endif
