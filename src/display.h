#ifndef DISPLAY_H
#define DISPLAY_H
// display -- the game's 800x600 frame, the display mode that shows it, the present step, the
// mouse in game coordinates, the full-screen switch and the window's close button
#include <allegro.h>

constexpr int SCREEN_WIDTH = 800, SCREEN_HEIGHT = 600;
constexpr int MAX_WINDOW_SCALE = 4;

// ---- the player's choice ----
enum display_mode_kind { DISPLAY_UNSET = -1, DISPLAY_FULLSCREEN, DISPLAY_WINDOW, DISPLAY_DESKTOP };
constexpr int SCALE_UNSET = -1, SCALE_LARGEST = 0; // SCALE_LARGEST: the largest window that fits
struct display_choice {
    int mode, scale;
};
// Filled from the command line, then from the settings file where the command line is silent.
extern display_choice chosen_display;

// ---- where the game's frame lies on the display ----
struct display_view {
    int x, y, w, h; // display pixels
};
extern display_view frame_view;
// The display itself while the frame is scaled onto it (screen is then the game's 800x600 frame);
// nullptr while the game draws straight onto the display, as at 800x600 and headless.
extern BITMAP *display_bitmap;

// A window of 800x600 times scale, the frame filling it.
display_view window_view(int scale);
// The largest scale (1 at least) whose window fits on a desktop, with room for its frame.
int largest_window_scale(int desktop_w, int desktop_h);
// The frame as large as fits on the desktop with its 4:3 shape kept, centred.
display_view desktop_fill_view(int desktop_w, int desktop_h);
// Takes a view for the mapping and the present step (the fill's row and column maps included).
void use_display_view(const display_view &v);

// Says on standard error that no display could be opened, and where the game looks for one.
void report_no_display();
// Sets the chosen display mode. The default is the 800x600 full-screen mode at 16, 24 or 32
// bits, the first the system takes. When the mode cannot be set, says so on standard error and
// in the library's message box and ends the process with status 1.
void set_display_mode();
// Text mode again, with screen back on the display, before a start-up failure is reported.
void leave_display_mode();

// ---- the present step ----
// Scales frame (800x600) into display at frame_view: whole-number scales repeat pixels and
// lines, any other size takes the nearest pixel. Both bitmaps at the same colour depth.
void present_frame(BITMAP *frame, BITMAP *display);
// Called, when set, after every picture the game puts on screen: the tests watch the screens
// through it, and may move the pointer or press a button for the screen's next pass.
extern void (*picture_shown)();
// The present step's clock: 150 ticks a second beside the game's own, never reset. A picture
// goes to the display at most once a tick.
extern volatile int display_ticks;
// From here on the game draws into frame (800x600, in memory), which becomes screen, and its
// pictures are scaled onto display at v; the bars around v are cleared once. False, and nothing
// changed, when there is no memory for the scaled picture.
bool scale_frame_onto(BITMAP *frame, BITMAP *display, const display_view &v);
// Takes the picture in screen for the display: sent when the clock has ticked since the last
// look and it differs from the picture sent last, held for the next chance within the same tick.
void offer_picture();
// Sends a held picture once its tick has come. True while a picture is still held.
bool send_held_picture();
// Offers the game's frame (screen) to the display at the chosen size; nothing to do while the
// game draws straight onto the display. Called after every picture the game puts on screen.
inline void present_screen()
{
    if (picture_shown) picture_shown();
    if (display_bitmap) offer_picture();
}

// ---- the mouse in game coordinates ----
int to_game_x(int display_x);
int to_game_y(int display_y);
// The first display pixel that shows a game pixel.
int to_display_x(int game_x);
int to_display_y(int game_y);
int game_mouse_x();
int game_mouse_y();
// The library's set_mouse_range and position_mouse, given game coordinates.
void set_game_mouse_range(int x1, int y1, int x2, int y2);
void position_game_mouse(int x, int y);

// ---- the full-screen switch ----
// The desktop's own size, read before the first mode is set (0 when it is not known).
extern int desktop_width, desktop_height;
// Switches between a window (the chosen scale, or the largest that fits) and the desktop fill;
// from the 800x600 full-screen mode, to a window. The frame, and with it the picture, stays; the
// mouse is mapped anew and the mode is kept in the settings file. When the new mode cannot be
// set the game stays in the old one, with a word on standard error, and it returns false.
bool switch_display_mode();
// Switches once for each press of Alt+Enter or F11.
void switch_display_if_asked();
// True while Enter belongs to the switch: Alt is down, or the Enter that switched is still down.
bool enter_belongs_to_switch();
// Installs what a mode change drops: the close button (which asks the game to end at its next
// safe point), the window's title and, in the window and desktop modes, the note of a lost
// keyboard focus. Called after every mode set.
void install_display_hooks();
// True when the window lost the keyboard focus since the last look; the look forgets it.
bool focus_was_lost();

// ---- the window's close button ----
// True once the close button was pressed.
bool close_requested();
// While a score is being named and saved, the close button lets that finish first: the screens
// on that path return early, and end_if_closed leaves the ending to the next safe point.
extern int keeping_score;
// The safe point of every loop: acts on the full-screen switch, and ends the game (status 0)
// when the close button was pressed, unless a score is being kept.
void end_if_closed();
// Rests ms milliseconds in short slices, ending the game meanwhile when the window is closed; a
// held picture goes out on the way.
void rest_unless_closed(int ms);
// One pass of a screen's waiting loop: the safe point, 1 ms of rest, then a held picture sent.
void wait_a_moment();

#endif
