#ifndef OPTIONS_H
#define OPTIONS_H
// options -- the command line and the settings file: the display mode and sound the player chose
#include <cstdio>

#include "display.h"

// The settings file in the game's folder, in the library's configuration format.
constexpr char SETTINGS_FILE[] = "brumzel-ball.cfg";

// The recordings the command line names (nullptr: none): --record FILE, --replay FILE and
// --timedemo FILE.
struct replay_files {
    const char *record, *replay, *timedemo;
};
extern replay_files chosen_replay;

enum option_result { OPTIONS_PLAY, OPTIONS_HELP, OPTIONS_VERSION, OPTIONS_BAD };

// Reads the command line into choice and the sound's options into chosen_sound (what it does not
// name stays unset). On OPTIONS_BAD the one-line reason is in why. Needs nothing of the library, so
// --help works without a display.
option_result parse_command_line(int argc, char *const argv[], display_choice *choice, char *why,
                                 int why_size);
// Fills what the command line left unset (choice and chosen_sound) from the settings file at
// path, if there is one. A value the game does not know is ignored with a warning on standard
// error; returns false then.
// Needs the library started.
bool read_settings_file(const char *path, display_choice *choice);

// Keeps mode (DISPLAY_FULLSCREEN, _WINDOW or _DESKTOP) in the settings file at path: the first
// mode line before any [section], which is the one read, replaced where it stands, or one added
// at the end of that part; every other line kept byte for byte. Written to a temporary file that
// replaces the old one only when complete. False, with the reason in why, when that fails; the
// old file then stays as it was.
bool write_settings_mode(const char *path, int mode, char *why, int why_size);

// The usage, the display modes, the settings file and where the scores are kept.
void print_usage(FILE *out);
// The game's name and version.
void print_version(FILE *out);

#endif
