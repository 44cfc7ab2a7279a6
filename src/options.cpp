// options -- the command line and the settings file: the display mode and sound the player chose
#include "options.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

#include "audio.h"
#include "version.h"

static const struct {
    const char *name;
    int mode;
} mode_names[] = {
    {"fullscreen", DISPLAY_FULLSCREEN},
    {"window", DISPLAY_WINDOW},
    {"desktop", DISPLAY_DESKTOP},
};

replay_files chosen_replay = {nullptr, nullptr, nullptr};

// The recording options, each with a file: "--record FILE" or "--record=FILE".
static const struct {
    const char *name;
    const char *replay_files::*file;
} replay_options[] = {
    {"--record", &replay_files::record},
    {"--replay", &replay_files::replay},
    {"--timedemo", &replay_files::timedemo},
};

// Takes a recording option at argv[*n], moving *n past its file. 0: not one; -1: no file.
static int take_replay_option(int argc, char *const argv[], int *n)
{
    const char *arg = argv[*n];
    for (const auto &o : replay_options) {
        size_t len = strlen(o.name);
        if (strncmp(arg, o.name, len) != 0) continue;
        const char *file = nullptr;
        if (arg[len] == '=')
            file = arg + len + 1;
        else if (arg[len] == '\0' && *n + 1 < argc)
            file = argv[++*n];
        else if (arg[len] != '\0')
            continue;
        if (!file || !*file) return -1;
        chosen_replay.*o.file = file;
        return 1;
    }
    return 0;
}

// A scale of 1 to 4 written in plain digits; SCALE_UNSET for anything else.
static int scale_from_text(const char *text)
{
    if (!text || strlen(text) != 1 || text[0] < '1' || text[0] > '0' + MAX_WINDOW_SCALE)
        return SCALE_UNSET;
    return text[0] - '0';
}

// ---- the sound's options and settings ----

enum { SOUND_OPTION_NONE, SOUND_OPTION_TAKEN, SOUND_OPTION_BAD };

// Takes --mute, --volume N or --volume=N at argv[*n] into chosen_sound (stepping *n past a
// separate value); SOUND_OPTION_NONE for any other option.
static int sound_option(int argc, char *const argv[], int *n, char *why, int why_size)
{
    const char *arg = argv[*n], *value;
    if (!strcmp(arg, "--mute")) {
        chosen_sound.mute = 1;
        return SOUND_OPTION_TAKEN;
    }
    if (!strcmp(arg, "--volume")) {
        if (*n + 1 >= argc) {
            snprintf(why, why_size, "--volume needs a number from 0 to %d", MAX_VOLUME);
            return SOUND_OPTION_BAD;
        }
        value = argv[++*n];
    } else if (!strncmp(arg, "--volume=", 9)) {
        value = arg + 9;
    } else {
        return SOUND_OPTION_NONE;
    }
    chosen_sound.volume = volume_from_text(value);
    if (chosen_sound.volume == VOLUME_UNSET) {
        snprintf(why, why_size, "bad volume '%s': the volume is 0 to %d", value, MAX_VOLUME);
        return SOUND_OPTION_BAD;
    }
    return SOUND_OPTION_TAKEN;
}

// Fills the volume and mute the command line left unset from the settings file's values, if
// it has them (nullptr otherwise). False after a warning on standard error for a bad value.
static bool sound_settings(const char *path, const char *volume, const char *mute)
{
    bool good = true;
    if (volume) {
        int found = volume_from_text(volume);
        if (found == VOLUME_UNSET) {
            fprintf(stderr, "%s: volume '%s' is not 0 to %d; ignored\n", path, volume, MAX_VOLUME);
            good = false;
        } else if (chosen_sound.volume == VOLUME_UNSET) {
            chosen_sound.volume = found;
        }
    }
    if (mute) {
        int found = !strcasecmp(mute, "yes") ? 1 : !strcasecmp(mute, "no") ? 0 : MUTE_UNSET;
        if (found == MUTE_UNSET) {
            fprintf(stderr, "%s: mute '%s' is not yes or no; ignored\n", path, mute);
            good = false;
        } else if (chosen_sound.mute == MUTE_UNSET) {
            chosen_sound.mute = found;
        }
    }
    return good;
}

option_result parse_command_line(int argc, char *const argv[], display_choice *choice, char *why,
                                 int why_size)
{
    bool mode_named = false;
    for (int n = 1; n < argc; n++) {
        const char *arg = argv[n];
        if (!strcmp(arg, "--help") || !strcmp(arg, "-h")) return OPTIONS_HELP;
        if (!strcmp(arg, "--version")) return OPTIONS_VERSION;
        bool known_mode = false;
        for (const auto &m : mode_names) {
            if (arg[0] == '-' && arg[1] == '-' && !strcmp(arg + 2, m.name)) {
                choice->mode = m.mode;
                mode_named = known_mode = true;
            }
        }
        if (known_mode) continue;
        int replay_option = take_replay_option(argc, argv, &n);
        if (replay_option < 0) {
            snprintf(why, why_size, "%s needs a file", arg);
            return OPTIONS_BAD;
        }
        if (replay_option > 0) continue;
        int sound = sound_option(argc, argv, &n, why, why_size);
        if (sound == SOUND_OPTION_BAD) return OPTIONS_BAD;
        if (sound == SOUND_OPTION_TAKEN) continue;
        const char *value = nullptr;
        if (!strcmp(arg, "--scale")) {
            if (n + 1 >= argc) {
                snprintf(why, why_size, "--scale needs a number from 1 to %d", MAX_WINDOW_SCALE);
                return OPTIONS_BAD;
            }
            value = argv[++n];
        } else if (!strncmp(arg, "--scale=", 8)) {
            value = arg + 8;
        } else {
            snprintf(why, why_size, "unknown option '%s'", arg);
            return OPTIONS_BAD;
        }
        choice->scale = scale_from_text(value);
        if (choice->scale == SCALE_UNSET) {
            snprintf(why, why_size, "bad scale '%s': the window's scale is 1 to %d", value,
                     MAX_WINDOW_SCALE);
            return OPTIONS_BAD;
        }
    }
    // A scale alone asks for a window; with another mode it makes no sense.
    if (choice->scale != SCALE_UNSET) {
        if (!mode_named) choice->mode = DISPLAY_WINDOW;
        if (choice->mode != DISPLAY_WINDOW) {
            snprintf(why, why_size, "--scale sets the window's size and goes with --window");
            return OPTIONS_BAD;
        }
    }
    // The timedemo plays a recording headless and ends: nothing else goes with it.
    if (chosen_replay.timedemo && (mode_named || choice->scale != SCALE_UNSET ||
                                   chosen_replay.record || chosen_replay.replay)) {
        snprintf(why, why_size, "--timedemo plays a recording without a display and goes alone");
        return OPTIONS_BAD;
    }
    return OPTIONS_PLAY;
}

bool read_settings_file(const char *path, display_choice *choice)
{
    if (!exists(path)) return true;
    bool good = true;
    push_config_state();
    set_config_file(path);
    const char *mode = get_config_string(nullptr, "mode", nullptr);
    const char *scale = get_config_string(nullptr, "scale", nullptr);
    if (mode) {
        int found = DISPLAY_UNSET;
        for (const auto &m : mode_names)
            if (!strcasecmp(mode, m.name)) found = m.mode;
        if (found == DISPLAY_UNSET) {
            fprintf(stderr, "%s: mode '%s' is not fullscreen, window or desktop; ignored\n", path,
                    mode);
            good = false;
        } else if (choice->mode == DISPLAY_UNSET) {
            choice->mode = found;
        }
    }
    if (scale) {
        int found = !strcasecmp(scale, "auto") ? SCALE_LARGEST : scale_from_text(scale);
        if (found == SCALE_UNSET) {
            fprintf(stderr, "%s: scale '%s' is not 1 to %d or auto; ignored\n", path, scale,
                    MAX_WINDOW_SCALE);
            good = false;
        } else if (choice->scale == SCALE_UNSET) {
            choice->scale = found;
        }
    }
    good = sound_settings(path, get_config_string(nullptr, "volume", nullptr),
                          get_config_string(nullptr, "mute", nullptr)) &&
           good;
    pop_config_state();
    return good;
}

// ---- keeping the mode in the settings file ----

// Reads up to size bytes of the next line, its newline included.
static size_t read_chunk(FILE *in, char *chunk, size_t size)
{
    size_t n = 0;
    int c;
    while (n < size && (c = getc(in)) != EOF) {
        chunk[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    return n;
}

// The line's first word, as the library's configuration reader takes it: after blanks, up to a
// blank or '='. Comments start with '#', sections with '['.
static size_t first_word(const char *line, size_t len, const char **word)
{
    size_t at = 0;
    while (at < len && (line[at] == ' ' || line[at] == '\t'))
        at++;
    size_t end = at;
    while (end < len && !strchr(" \t=\r\n", line[end]))
        end++;
    *word = line + at;
    return end - at;
}

// Copies the settings from in (none: an empty file) to out with the mode line set; false on a
// read or write error.
static bool copy_with_mode(FILE *in, FILE *out, const char *name)
{
    char chunk[256];
    bool line_start = true, global = true, mode_written = false, skipping = false;
    bool last_ended = true; // the last line read ended with a newline
    size_t len;
    while (in && (len = read_chunk(in, chunk, sizeof chunk)) > 0) {
        bool ends = chunk[len - 1] == '\n';
        if (line_start && global) {
            const char *word;
            size_t n = first_word(chunk, len, &word);
            if (n > 0 && word[0] == '[') {
                global = false;
                if (!mode_written) fprintf(out, "mode = %s\n", name);
                mode_written = true;
            } else if (!mode_written && n == 4 && !strncasecmp(word, "mode", 4)) {
                fprintf(out, "mode = %s", name);
                mode_written = skipping = true;
            }
        }
        if (!skipping) {
            fwrite(chunk, 1, len, out);
        } else if (ends) {
            // The replaced line keeps its own ending.
            fputs(len > 1 && chunk[len - 2] == '\r' ? "\r\n" : "\n", out);
            skipping = false;
        }
        line_start = last_ended = ends;
    }
    if (!mode_written) fprintf(out, "%smode = %s\n", last_ended ? "" : "\n", name);
    return !(in && ferror(in)) && !ferror(out);
}

bool write_settings_mode(const char *path, int mode, char *why, int why_size)
{
    const char *name = nullptr;
    for (const auto &m : mode_names)
        if (m.mode == mode) name = m.name;
    char temp[4096];
    if (!name || snprintf(temp, sizeof temp, "%s.tmp", path) >= int(sizeof temp)) {
        snprintf(why, why_size, "no such mode or path");
        return false;
    }
    FILE *in = fopen(path, "rb");
    if (!in && errno != ENOENT) {
        snprintf(why, why_size, "cannot read it: %s", strerror(errno));
        return false;
    }
    FILE *out = fopen(temp, "wb");
    if (!out) {
        snprintf(why, why_size, "cannot write %s: %s", temp, strerror(errno));
        if (in) fclose(in);
        return false;
    }
    bool good = copy_with_mode(in, out, name);
    if (in) fclose(in);
    good = good && fflush(out) == 0 && fsync(fileno(out)) == 0;
    good = fclose(out) == 0 && good;
    if (good && rename(temp, path) == 0) return true;
    snprintf(why, why_size, "cannot write %s: %s", temp, strerror(errno));
    remove(temp);
    return false;
}

void print_usage(FILE *out)
{
    fprintf(out,
            "Usage: brumzel-ball [--fullscreen | --window [--scale N] | --desktop]\n"
            "                    [--volume N] [--mute] [--record FILE] [--replay FILE]\n"
            "       brumzel-ball --timedemo FILE\n"
            "       brumzel-ball --help | --version\n"
            "\n"
            "%s: knock the bumpers over your opponent's line, one or two players.\n"
            "\n"
            "Display modes:\n"
            "  --fullscreen  the 800x600 full-screen mode (the default)\n"
            "  --window      a desktop window of 800x600 times a whole-number scale\n"
            "  --scale N     the window's scale, 1 to %d (implies --window); without it,\n"
            "                the largest window that fits on the desktop\n"
            "  --desktop     full screen at the desktop's own size, the picture as large\n"
            "                as fits with its shape kept and the rest black\n"
            "Sound:\n"
            "  --volume N    the master volume, 0 to %d (the default, full volume)\n"
            "  --mute        start with the sound muted (M unmutes)\n"
            "Recordings:\n"
            "  --record FILE    record the games of this run: the first into FILE, the\n"
            "                   next into FILE-2, FILE-3, ... (the number before the\n"
            "                   extension), each written when its game is over\n"
            "  --replay FILE    show a recorded game, with its sounds, then the title\n"
            "                   menu; Escape leaves it; the score table is not touched\n"
            "  --timedemo FILE  play a recording back as fast as possible without a\n"
            "                   display; print the speed, the frame times and the\n"
            "                   final scores; exit status 0 when it played back exactly\n"
            "Information:\n"
            "  --help        show this help and exit\n"
            "  --version     show the game's name and version and exit\n"
            "Alt+Enter or F11 switches between a window and the desktop filled at any\n"
            "screen (from the 800x600 full-screen mode, to a window); the mode switched to\n"
            "is written to the settings file for the next start.\n"
            "\n"
            "Controls:\n"
            "  menus, help, high scores, credits: the mouse, click a spinning ball\n"
            "  player 1 (left launcher): the mouse, up and down to aim, left button fires\n"
            "  player 2 (right launcher): Left Ctrl fires, Up and Down aim\n"
            "  in a game: P or Pause pauses and goes on (a click goes on too), Escape\n"
            "  ends the game, S saves a screenshot to dump.pcx; in a window the game\n"
            "  also pauses when it loses the keyboard focus\n"
            "  M mutes and unmutes the sound, on every screen but name entry\n"
            "  name entry: type up to 8 characters; Left, Right, Backspace, Delete,\n"
            "  Insert (overwrite) edit; Enter ends\n"
            "Gamepads plugged in at start-up play too: in a one-player game the first\n"
            "plays player 1, in a two-player game the first plays player 2 and a second\n"
            "one player 1. The stick or d-pad aims, the first button fires, Start (the\n"
            "eighth button) pauses; in the menus the stick moves the pointer and the\n"
            "first button clicks.\n"
            "\n"
            "Settings file: %s in the game's folder, in Allegro's configuration\n"
            "format; the command line wins over it. For example, a window at twice the size,\n"
            "at half the volume:\n"
            "  mode = window\n"
            "  scale = 2\n"
            "  volume = 50\n"
            "The mode is fullscreen, window or desktop; the scale 1 to %d, or auto; the\n"
            "volume 0 to %d; mute yes or no.\n"
            "\n"
            "The game's folder is the folder it runs in. The brumzel-ball command runs it\n"
            "in $XDG_DATA_HOME/brumzel-ball (normally ~/.local/share/brumzel-ball), which\n"
            "keeps the high-score table highscores.bin, the settings file and the\n"
            "screenshot dump.pcx.\n",
            GAME_NAME, MAX_WINDOW_SCALE, MAX_VOLUME, SETTINGS_FILE, MAX_WINDOW_SCALE, MAX_VOLUME);
}

void print_version(FILE *out)
{
    fprintf(out, "%s %s\n", GAME_NAME, GAME_VERSION);
}
