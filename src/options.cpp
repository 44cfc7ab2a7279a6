// options -- the command line and the settings file: the display mode the player chose
#include "options.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

#include "version.h"

static const struct {
    const char *name;
    int mode;
} mode_names[] = {
    {"fullscreen", DISPLAY_FULLSCREEN},
    {"window", DISPLAY_WINDOW},
    {"desktop", DISPLAY_DESKTOP},
};

// A scale of 1 to 4 written in plain digits; SCALE_UNSET for anything else.
static int scale_from_text(const char *text)
{
    if (!text || strlen(text) != 1 || text[0] < '1' || text[0] > '0' + MAX_WINDOW_SCALE)
        return SCALE_UNSET;
    return text[0] - '0';
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
            "  --help        show this help and exit\n"
            "  --version     show the game's name and version and exit\n"
            "Alt+Enter or F11 switches between a window and the desktop filled at any\n"
            "screen (from the 800x600 full-screen mode, to a window); the mode switched to\n"
            "is written to the settings file for the next start.\n"
            "\n"
            "Settings file: %s in the game's folder, in Allegro's configuration\n"
            "format; the command line wins over it. For example, a window at twice the size:\n"
            "  mode = window\n"
            "  scale = 2\n"
            "The mode is fullscreen, window or desktop; the scale 1 to %d, or auto.\n"
            "\n"
            "The game's folder is the folder it runs in. The brumzel-ball command runs it\n"
            "in $XDG_DATA_HOME/brumzel-ball (normally ~/.local/share/brumzel-ball), which\n"
            "keeps the high-score table highscores.bin, the settings file and the\n"
            "screenshot dump.pcx.\n",
            GAME_NAME, MAX_WINDOW_SCALE, SETTINGS_FILE, MAX_WINDOW_SCALE);
}

void print_version(FILE *out)
{
    fprintf(out, "%s %s\n", GAME_NAME, GAME_VERSION);
}
