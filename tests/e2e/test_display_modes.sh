#!/bin/bash
# The display modes and the command line: --help and --version answer without a display, no
# display gives a message and status 1; a 2x window shows the menu doubled and takes a click at
# a ball's doubled place; the close button ends the game. (test_present.sh fills a desktop.)
source "$(dirname "$0")/lib.sh"
e2e_init display_modes

# Runs the game to its end without a display: status in EXIT_STATUS, output in game.out/err.
run_without_display() {
    EXIT_STATUS=0
    (cd "$RUN" && env -u DISPLAY "$BRUMZEL_BIN" "$@" >"$WORK/game.out" 2>"$WORK/game.err") ||
        EXIT_STATUS=$?
}

run_without_display --help
[ "$EXIT_STATUS" = 0 ] && grep -q -- "--window" "$WORK/game.out" && grep -q "highscores.bin" "$WORK/game.out" ||
    fail "--help: status $EXIT_STATUS, no word of the modes and the score file"
run_without_display --version
[ "$EXIT_STATUS" = 0 ] && grep -qx "Brumzel Ball [0-9.]*" "$WORK/game.out" ||
    fail "--version: status $EXIT_STATUS, said '$(cat "$WORK/game.out")'"
run_without_display
[ "$EXIT_STATUS" = 1 ] && grep -q "no display could be opened" "$WORK/game.err" &&
    grep -q DISPLAY "$WORK/game.err" || fail "no display: status $EXIT_STATUS, no message"

# ---- a window at twice the size: the doubled title corner, a spinning ball over the doubled
# one-player ball; the help ball (599, 503) at its doubled place opens the help page ----
restart_xvfb 1700x1300
convert "$TITLE" -scale 200% "$WORK/title2x.png"
convert "$HELP" -scale 200% "$WORK/help2x.png"
start_game "$RUN" "$BRUMZEL_BIN" --window --scale 2
WINDOW=$(timeout 10 xdotool search --sync --name "^Brumzel Ball$" 2>/dev/null | head -1)
[ -n "$WINDOW" ] || fail "no window titled Brumzel Ball"
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
[ "$WIDTH"x"$HEIGHT" = 1600x1200 ] || fail "the window is ${WIDTH}x$HEIGHT, not 1600x1200"
menu_2x_shown() {
    region_matches "$1" "$WORK/title2x.png" 180x120+0+0 &&
        ! region_matches "$1" "$WORK/title2x.png" 100x100+170+570 20
}
wait_until menu_2x 60 menu_2x_shown
click_at $((X + 1198)) $((Y + 1006))
wait_until help_2x 20 shows_region "$WORK/help2x.png" 600x300+0+0 5

# The close button: the window manager's request to close the window, a WM_DELETE_WINDOW message.
python3 - "$WINDOW" <<'PY' || fail "cannot send the close request"
import ctypes, sys
from ctypes import c_int, c_long, c_ulong, c_void_p
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = c_void_p
x.XInternAtom.restype = c_ulong
x.XInternAtom.argtypes = [c_void_p, ctypes.c_char_p, c_int]
x.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, c_void_p]
x.XCloseDisplay.argtypes = [c_void_p]
class ClientMessage(ctypes.Structure):  # XClientMessageEvent, padded to an XEvent
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("window", c_ulong), ("message_type", c_ulong), ("format", c_int),
                ("l", c_long * 5), ("pad", c_long * 12)]
d, w = x.XOpenDisplay(None), int(sys.argv[1])
e = ClientMessage(type=33, window=w, message_type=x.XInternAtom(d, b"WM_PROTOCOLS", 0), format=32)
e.l[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, w, 0, 0, ctypes.byref(e))
x.XCloseDisplay(d)  # flushes the request
PY
wait_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "closing the window: status $EXIT_STATUS"

echo "display modes, command line and close button"
