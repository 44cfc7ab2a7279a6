#ifndef PAUSE_H
#define PAUSE_H
// pause -- holds a game still: P, Pause, a gamepad's Start or a window losing the keyboard focus
// stops the play and closing loops, and their clock, until the player goes on

// The paused field is the last frame at this much of its brightness (of 255).
constexpr int PAUSE_SHADE = 96;
constexpr int PAUSE_POLL_MS = 10;

// Forgets requests made outside a game (a focus lost at the menu), so a new game starts running.
void forget_pause_requests();
// True when the player asked for a pause since the last look: a fresh press of P, Pause or a
// pad's Start, or the focus lost.
bool pause_asked();
// At the top of each pass of the play and closing loops: on a request, shows the paused field
// and waits until the player goes on (P, Pause, Start or a click, let go again; Escape at once,
// for the loop to end the game). The clock then stands where it stood. True when it paused.
bool pause_if_asked();
// Darkens the last frame (buffer) onto the screen under "PAUSED" and how to go on.
void show_pause_screen();
// Called on every pass of the pause's wait, when set: the tests act the player there.
extern void (*pause_waiting)();

#endif
