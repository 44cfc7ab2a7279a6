// hiscore -- the high-score table and its file, the table screen and name entry
#include "hiscore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "audio.h"
#include "display.h"
#include "fade.h"
#include "gamedata.h"
#include "gamepad.h"
#include "help.h"
#include "init.h"

Score score_table[SCORE_ENTRIES];
volatile int hiscore_frames = 0;

// Names entered since the table was last loaded, which is once per game: it tells two players
// with the same score apart.
static int names_entered = 0;

// ---- the table and its file ----

struct default_place {
    const char *name;
    int score;
};
static const default_place default_places[SCORE_ENTRIES] = {
    {"Elephant", 90}, {"Hippo", 80},  {"Giraffe", 70},   {"Zebra", 60},
    {"Lion", 50},     {"Wombat", 40}, {"Kangaroo", 40},  {"Echidna", 40},
    {"Emu", 40},      {"Possum", 40}, {"enter name", 0},
};

// Where the fields of a record lie in the file.
constexpr int NAME_OFFSET = 4;
constexpr int PADDING_OFFSET = NAME_OFFSET + NAME_FIELD;

void set_default_scores()
{
    // Only the bytes up to each terminator change; what lies behind stays as it was.
    for (int a = 0; a < SCORE_ENTRIES; a++) {
        strcpy(score_table[a].player_name, default_places[a].name);
        score_table[a].player_score = default_places[a].score;
    }
}

static void reset_candidate()
{
    strcpy(score_table[CANDIDATE_ENTRY].player_name, default_places[CANDIDATE_ENTRY].name);
    score_table[CANDIDATE_ENTRY].player_score = default_places[CANDIDATE_ENTRY].score;
}

// The score is little-endian two's complement; name and padding go as they stand in memory.
static void encode_record(const Score &s, unsigned char *record)
{
    uint32_t v = static_cast<uint32_t>(s.player_score);
    for (int i = 0; i < 4; i++)
        record[i] = static_cast<unsigned char>(v >> (8 * i));
    memcpy(record + NAME_OFFSET, s.player_name, NAME_FIELD);
    memcpy(record + PADDING_OFFSET, s.padding, RECORD_PADDING);
}

static void decode_record(const unsigned char *record, Score &s)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; i++)
        v |= static_cast<uint32_t>(record[i]) << (8 * i);
    s.player_score = static_cast<int32_t>(v);
    memcpy(s.player_name, record + NAME_OFFSET, NAME_FIELD);
    memcpy(s.padding, record + PADDING_OFFSET, RECORD_PADDING);
    // A name that fills its whole field is cut at 32 characters, so nothing reads past it.
    if (!memchr(s.player_name, '\0', NAME_FIELD)) s.player_name[NAME_FIELD - 1] = '\0';
}

bool load_scores()
{
    names_entered = 0;
    // Read into a scratch copy first: a short or failing read leaves nothing half-loaded.
    unsigned char file_bytes[SCORE_FILE_SIZE];
    size_t records = 0;
    FILE *f = fopen(SCORE_FILE, "rb");
    if (f) {
        records = fread(file_bytes, SCORE_RECORD_SIZE, SCORE_PLACES, f);
        fclose(f);
    }
    if (records < static_cast<size_t>(SCORE_PLACES)) {
        set_default_scores();
        return false;
    }
    for (int a = 0; a < SCORE_PLACES; a++)
        decode_record(file_bytes + a * SCORE_RECORD_SIZE, score_table[a]);
    reset_candidate();
    return true;
}

// Makes the rename of a save last through a power cut. A folder that cannot be synced is no
// failure of the save: the complete new file is already in place.
static void sync_folder()
{
    int dir = open(".", O_RDONLY | O_DIRECTORY);
    if (dir < 0) return;
    fsync(dir);
    close(dir);
}

bool save_scores()
{
    unsigned char file_bytes[SCORE_FILE_SIZE];
    for (int a = 0; a < SCORE_PLACES; a++)
        encode_record(score_table[a], file_bytes + a * SCORE_RECORD_SIZE);

    // The old file is replaced only by a complete, synced new one.
    FILE *f = fopen(SCORE_TEMP_FILE, "wb");
    if (!f) return false;
    bool written = fwrite(file_bytes, 1, SCORE_FILE_SIZE, f) == SCORE_FILE_SIZE;
    written = written && fflush(f) == 0 && fsync(fileno(f)) == 0;
    written = fclose(f) == 0 && written;
    if (written && rename(SCORE_TEMP_FILE, SCORE_FILE) == 0) {
        sync_folder();
        return true;
    }
    remove(SCORE_TEMP_FILE);
    return false;
}

int qsort_helper_by_score(const void *e1, const void *e2)
{
    int32_t s1 = static_cast<const Score *>(e1)->player_score;
    int32_t s2 = static_cast<const Score *>(e2)->player_score;
    // Compared, not subtracted: the difference of two scores read from a file can overflow.
    return (s2 > s1) - (s2 < s1);
}

void sort_scores()
{
    qsort(score_table, SCORE_ENTRIES, sizeof(Score), qsort_helper_by_score);
}

// ---- the table screen ----

constexpr int HEADING_Y = 110, FIRST_ROW_Y = 160, ROW_SPACING = 30;
constexpr int PLACE_X = 200, NAME_X = 280, SCORE_X = 460;
// The shadowed area: a copy of its top 600x350 is laid 2 pixels right and down over a darkened
// version of all of it.
constexpr int SHADOW_LEFT = 100, SHADOW_TOP = 100, SHADOW_RIGHT = 699, SHADOW_BOTTOM = 454;
constexpr int SHADOW_COPY_W = 600, SHADOW_COPY_H = 350;
constexpr int SHADOW_OFFSET = 2;
constexpr int SHADOW_DARKEN = 100; // taken off red and green of bright pixels
constexpr int BALL_TURN = 4;       // angle units a frame; 256 is a full turn

// The fonts hold the printable ASCII characters alone, and the library reads text as UTF-8: bytes
// of 128 and above from a file are no valid UTF-8, and reading them the library ran past the
// name's end or never finished. Every byte outside 32-126 is shown as '^', the mark the library
// itself draws for a character its font lacks. The table keeps the bytes as they are.
static void shown_name(const char *name, char *shown)
{
    int i = 0;
    for (; i < NAME_FIELD - 1 && name[i] != '\0'; i++) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        shown[i] = c >= 32 && c < 127 ? static_cast<char>(c) : '^';
    }
    shown[i] = '\0';
}

static void draw_table_text()
{
    FONT *f = data_font(DAT_FONT_SCORE);
    int white = makecol(255, 255, 255), yellow = makecol(255, 255, 0);
    textprintf_ex(buffer, f, PLACE_X, HEADING_Y, white, -1, "PSN");
    textprintf_ex(buffer, f, NAME_X, HEADING_Y, white, -1, "NAME");
    textprintf_ex(buffer, f, SCORE_X, HEADING_Y, white, -1, "SCORE");
    for (int a = 0; a < SCORE_PLACES; a++) {
        int y = FIRST_ROW_Y + ROW_SPACING * a;
        textprintf_ex(buffer, f, PLACE_X, y, yellow, -1, "%02i", a + 1);
        char name[NAME_FIELD];
        shown_name(score_table[a].player_name, name);
        textprintf_ex(buffer, f, NAME_X, y, yellow, -1, "%s", name);
        textprintf_ex(buffer, f, SCORE_X, y, yellow, -1, "%05i",
                      static_cast<int>(score_table[a].player_score));
    }
}

// True when every pixel of the area lies inside bmp and its clip rectangle, so that writing it
// directly sets exactly the pixels putpixel would.
static bool area_writable(BITMAP *bmp, int left, int top, int right, int bottom)
{
    if (left < 0 || top < 0 || right >= bmp->w || bottom >= bmp->h) return false;
    return !bmp->clip || (left >= bmp->cl && top >= bmp->ct && right < bmp->cr && bottom < bmp->cb);
}

// The shadow effect visits 420 000 pixels a frame. On 15-, 16- or 32-bit memory bitmaps at the
// display's colour depth it works on the bitmaps' lines with that depth's own colour functions,
// the ones getpixel, getr and makecol come down to; any other bitmap goes through the library
// pixel by pixel. Either way the pictures come out the same.
template <typename Pixel, int (*red)(int), int (*green)(int), int (*blue)(int),
          int (*make)(int, int, int)>
static void shadow_on_lines()
{
    Pixel mask = static_cast<Pixel>(bitmap_mask_color(stretch));
    for (int y = 0; y < SHADOW_COPY_H; y++) {
        Pixel *row = reinterpret_cast<Pixel *>(stretch->line[y]);
        for (int x = 0; x < SHADOW_COPY_W; x++)
            if (row[x] == 0) row[x] = mask;
    }
    for (int y = SHADOW_TOP; y <= SHADOW_BOTTOM; y++) {
        Pixel *row = reinterpret_cast<Pixel *>(buffer->line[y]);
        for (int x = SHADOW_LEFT; x <= SHADOW_RIGHT; x++) {
            int c = row[x];
            if (c == 0) continue;
            int r = red(c), g = green(c);
            if (r > SHADOW_DARKEN && g > SHADOW_DARKEN)
                row[x] = static_cast<Pixel>(make(r - SHADOW_DARKEN, g - SHADOW_DARKEN, blue(c)));
        }
    }
}

static void shadow_by_pixel()
{
    int mask = bitmap_mask_color(stretch);
    for (int y = 0; y < SHADOW_COPY_H; y++)
        for (int x = 0; x < SHADOW_COPY_W; x++)
            if (getpixel(stretch, x, y) == 0) putpixel(stretch, x, y, mask);

    for (int y = SHADOW_TOP; y <= SHADOW_BOTTOM; y++)
        for (int x = SHADOW_LEFT; x <= SHADOW_RIGHT; x++) {
            int c = getpixel(buffer, x, y);
            if (c == 0) continue;
            int r = getr(c), g = getg(c), b = getb(c);
            if (r > SHADOW_DARKEN && g > SHADOW_DARKEN)
                putpixel(buffer, x, y, makecol(r - SHADOW_DARKEN, g - SHADOW_DARKEN, b));
        }
}

static bool lines_reachable()
{
    int depth = get_color_depth();
    return is_memory_bitmap(buffer) && is_memory_bitmap(stretch) &&
           bitmap_color_depth(buffer) == depth && bitmap_color_depth(stretch) == depth &&
           area_writable(stretch, 0, 0, SHADOW_COPY_W - 1, SHADOW_COPY_H - 1) &&
           area_writable(buffer, SHADOW_LEFT, SHADOW_TOP, SHADOW_RIGHT, SHADOW_BOTTOM);
}

// Bright pixels are darkened, then the undarkened picture, black left out, is laid over them
// shifted down-right, so every bright shape gets a dark edge above and to its left.
static void shadow_table_area()
{
    blit(buffer, stretch, SHADOW_LEFT, SHADOW_TOP, 0, 0, SHADOW_COPY_W, SHADOW_COPY_H);
    int depth = lines_reachable() ? get_color_depth() : 0;
    if (depth == 15)
        shadow_on_lines<uint16_t, getr15, getg15, getb15, makecol15>();
    else if (depth == 16)
        shadow_on_lines<uint16_t, getr16, getg16, getb16, makecol16>();
    else if (depth == 32)
        shadow_on_lines<uint32_t, getr32, getg32, getb32, makecol32>();
    else
        shadow_by_pixel();
    draw_sprite(buffer, stretch, SHADOW_LEFT + SHADOW_OFFSET, SHADOW_TOP + SHADOW_OFFSET);
}

void hiscore_display(int wait)
{
    bool hit = false, exit_flag = false;
    int angle = 0;
    hiscore_frames = 0;
    text_mode_transparent();
    clear_keybuf();
    set_game_mouse_range(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    // Any button leaves once the pointer was on the ball in the frame before. A closed window
    // leaves at once: from the menu the game then ends; after name entry the score is saved first.
    while (!exit_flag && !(hit && pointer_buttons() != 0) && !close_requested()) {
        blit(hiscore_table1, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        draw_table_text();
        shadow_table_area();
        hit = draw_exit_ball(angle);
        angle = angle > 254 ? 0 : angle + BALL_TURN;
        if (wait == 1) draw_sprite(buffer, mouse_ptr1, pointer_x(), pointer_y());
        blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        present_screen();
        wait_a_moment();
        hiscore_frames = hiscore_frames + 1;
        if (wait == 0) exit_flag = true;
    }
    // Let go of the left button first, so the click does not reach the next screen.
    while (pointer_buttons() == 1 && !close_requested())
        wait_a_moment();
    if (wait == 1) highcolor_fade_out(16);
    rest_unless_closed(500);
}

// ---- name entry ----

constexpr int PANEL_SRC = 5, PANEL_X = 5, PANEL_Y = 460, PANEL_W = 600, PANEL_H = 125;
constexpr int NAME_BOX_X = 370, NAME_BOX_Y = 500, NAME_BOX_W = 200, NAME_BOX_H = 50;
constexpr int NAME_TEXT_INSET = 10;

static const char *const player_headings[] = {"Player 1-A new hi-score", "Player 2-A new hi-score"};

int name_entry_player(int score)
{
    bool p1 = score == p1_score, p2 = score == p2_score;
    if (p1 && p2) return Menu_Option != 0 && names_entered > 0 ? 2 : 1;
    return p1 ? 1 : p2 ? 2 : 0;
}

static void draw_entry_panel(int score)
{
    blit(entername1, buffer, PANEL_SRC, PANEL_SRC, PANEL_X, PANEL_Y, PANEL_W, PANEL_H);
    FONT *text_font = data_font(DAT_FONT_TEXT);
    int player = name_entry_player(score);
    if (player != 0) {
        textprintf_ex(buffer, text_font, 20, 475, makecol(128, 32, 0), -1, "%s",
                      player_headings[player - 1]);
        textprintf_ex(buffer, data_font(DAT_FONT_NAME), 100, 505, makecol(64, 0, 64), -1, "%05i",
                      score);
    }
    int yellow = makecol(255, 255, 0);
    textprintf_ex(buffer, text_font, 15, 545, yellow, -1, "Please use the keyboard");
    textprintf_ex(buffer, text_font, 20, 560, yellow, -1, "to enter your name");
}

// Repaints the name box over the panel and shows the whole picture. The caret is not shown.
static void draw_name_box(const name_editor &ed)
{
    int white = makecol(255, 255, 255);
    clear_to_color(text_buffer, makecol(0, 0, 0));
    rect(text_buffer, 0, 0, NAME_BOX_W - 1, NAME_BOX_H - 1, white);
    textprintf_ex(text_buffer, data_font(DAT_FONT_NAME), NAME_TEXT_INSET, NAME_TEXT_INSET, white,
                  -1, "%s", ed.text);
    blit(text_buffer, buffer, 0, 0, NAME_BOX_X, NAME_BOX_Y, NAME_BOX_W, NAME_BOX_H);
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
}

void hiscore_enter_name(int score)
{
    play_data_sample(DAT_ENTERNAME_SOUND);
    name_editor ed;
    name_editor_reset(&ed);
    int flag = -1;
    for (int a = 0; a < SCORE_PLACES; a++)
        if (score_table[a].player_score < score) flag = a;
    if (flag == -1) return;

    // Every key is text here, M included.
    keys_are_text = true;
    hiscore_display(0);
    draw_entry_panel(score);
    // Keys are applied as they come; Enter is read from the live key state, not the buffer, and
    // Alt+Enter switches the display instead. A closed window ends the entry as Enter would: the
    // name typed so far is kept.
    do {
        while (keypressed()) {
            int newkey = readkey();
            play_data_sample(DAT_KEY_CLICK);
            name_editor_key(&ed, newkey);
        }
        draw_name_box(ed);
        switch_display_if_asked();
    } while (!(key[KEY_ENTER] && !enter_belongs_to_switch()) && !close_requested());
    strcpy(score_table[CANDIDATE_ENTRY].player_name, ed.text);
    keys_are_text = false;
    names_entered++;
}

// ---- the line editor of name entry ----

void name_editor_reset(name_editor *ed)
{
    ed->text[0] = '\0';
    ed->caret = 0;
    ed->insert = true;
}

static void remove_char(name_editor *ed, int at)
{
    int len = static_cast<int>(strlen(ed->text));
    memmove(ed->text + at, ed->text + at + 1, len - at);
}

static void type_char(name_editor *ed, char c)
{
    int len = static_cast<int>(strlen(ed->text));
    if (ed->insert || ed->caret == len)
        memmove(ed->text + ed->caret + 1, ed->text + ed->caret, len - ed->caret + 1);
    ed->text[ed->caret] = c;
    ed->caret++;
}

void name_editor_key(name_editor *ed, int newkey)
{
    int ASCII = newkey & 0xff;
    int scancode = newkey >> 8;
    int len = static_cast<int>(strlen(ed->text));
    // Only plain ASCII 32-126 is typed; every other key is looked up by its scancode.
    if (ASCII > 31 && ASCII < 127) {
        type_char(ed, static_cast<char>(ASCII));
    } else if (scancode == KEY_BACKSPACE) {
        if (ed->caret > 0) remove_char(ed, --ed->caret);
    } else if (scancode == KEY_DEL) {
        if (ed->caret < len) remove_char(ed, ed->caret);
    } else if (scancode == KEY_LEFT) {
        if (ed->caret > 0) ed->caret--;
    } else if (scancode == KEY_RIGHT) {
        if (ed->caret < len) ed->caret++;
    } else if (scancode == KEY_INSERT) {
        ed->insert = !ed->insert;
    }
    // Over the limit the character just typed goes again.
    if (static_cast<int>(strlen(ed->text)) > MAX_NAME_LENGTH) remove_char(ed, --ed->caret);
}
