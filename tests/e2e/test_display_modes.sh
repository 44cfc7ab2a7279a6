#!/bin/bash
# The display modes and the command line: --help and --version answer without a display (also
# through the launcher), a bad option is refused with status 2, no display gives a message and status 1; a 2x window shows the
# menu doubled and takes a click at a ball's doubled place; the close button ends the game; the
# desktop mode fills the height of a 1920x1080 screen, black at the sides.
source "$(dirname "$0")/lib.sh"
e2e_init display_modes

# The same X server at another size.
restart_xvfb() {
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    start_xvfb "$1"
}

# Runs the game to its end without a display: status in EXIT_STATUS, output in game.out/err.
run_without_display() {
    EXIT_STATUS=0
    (cd "$RUN" && env -u DISPLAY "$BRUMZEL_BIN" "$@" >"$WORK/game.out" 2>"$WORK/game.err") ||
        EXIT_STATUS=$?
}

run_without_display --help
[ "$EXIT_STATUS" = 0 ] || fail "--help: status $EXIT_STATUS"
grep -q -- "--window" "$WORK/game.out" && grep -q "highscores.bin" "$WORK/game.out" ||
    fail "--help does not describe the modes and the score file"
run_without_display --version
[ "$EXIT_STATUS" = 0 ] && grep -qx "Brumzel Ball [0-9.]*" "$WORK/game.out" ||
    fail "--version: status $EXIT_STATUS, said '$(cat "$WORK/game.out")'"
out=$(env -u DISPLAY "$(dirname "$0")/../../scripts/brumzel-launch" "$BRUMZEL_BIN" "$GAMEDATA" \
    --version 2>&1) && grep -qx "Brumzel Ball [0-9.]*" <<<"$out" ||
    fail "the launcher does not pass --version on: $out"
run_without_display --scale 9
[ "$EXIT_STATUS" = 2 ] && grep -q "bad scale" "$WORK/game.err" && grep -q Usage "$WORK/game.err" ||
    fail "a bad scale: status $EXIT_STATUS"
run_without_display
[ "$EXIT_STATUS" = 1 ] && grep -q "no display could be opened" "$WORK/game.err" &&
    grep -q DISPLAY "$WORK/game.err" || fail "no display: status $EXIT_STATUS, no message"
log "command line and no display: ok"

# ---- a window at twice the size ----
restart_xvfb 1700x1300
convert "$TITLE" -scale 200% "$WORK/title2x.png"
convert "$HELP" -scale 200% "$WORK/help2x.png"
start_game "$RUN" "$BRUMZEL_BIN" --window --scale 2
for i in $(seq 1 100); do
    WINDOW=$(xdotool search --name "^Brumzel Ball$" 2>/dev/null | head -1)
    [ -n "$WINDOW" ] && break
    sleep 0.1
done
[ -n "$WINDOW" ] || fail "no window titled Brumzel Ball"
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
[ "$WIDTH"x"$HEIGHT" = 1600x1200 ] || fail "the window is ${WIDTH}x$HEIGHT, not 1600x1200"
# The doubled title corner, and a spinning ball over the doubled one-player ball.
menu_2x_shown() {
    region_matches "$1" "$WORK/title2x.png" 180x120+0+0 &&
        ! region_matches "$1" "$WORK/title2x.png" 100x100+170+570 20
}
wait_until menu_2x 60 menu_2x_shown
# The help ball (599, 503) at its doubled place opens the help page.
click_at $((X + 1198)) $((Y + 1006))
wait_until help_2x 20 shows_region "$WORK/help2x.png" 600x300+0+0 5
log "2x window: menu doubled, the help ball opens the help page"

# The close button: the window manager's request to close the window.
python3 - "$WINDOW" <<'PY' || fail "cannot send the close request"
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
class ClientMessage(ctypes.Structure):  # XClientMessageEvent, padded to an XEvent
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("l", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]
w = int(sys.argv[1])
e = ClientMessage(type=33, window=w, message_type=x.XInternAtom(d, b"WM_PROTOCOLS", 0), format=32)
e.l[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, w, 0, 0, ctypes.byref(e))
x.XFlush(d)
x.XCloseDisplay(d)
PY
wait_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "closing the window: status $EXIT_STATUS"
log "close button: the game ended with status 0"

# ---- the desktop filled: 1440x1080 in the middle of 1920x1080 ----
restart_xvfb 1920x1080
convert "$TITLE" -sample 1440x1080 "$WORK/title-fill.png"
convert -size 1920x1080 xc:black "$WORK/title-fill.png" -geometry +240+0 -composite \
    "$WORK/desktop.png"
start_game "$RUN" "$BRUMZEL_BIN" --desktop
# The title's top-left corner at the top of the picture and its bottom-left corner (clear of the
# balls) on the screen's last lines: the picture fills the height. The sampling of the reference
# may fall a pixel beside the game's at the logo's fine edges.
fill_shown() {
    region_matches "$1" "$WORK/desktop.png" 160x100+240+0 15 &&
        region_matches "$1" "$WORK/desktop.png" 320x100+240+980 15
}
wait_until desktop_fill 60 fill_shown
for bar in 240x1080+0+0 240x1080+1680+0; do
    [ "$(region_mean "$SHOT" "$bar")" = "0 0 0" ] || fail "the bar $bar is not black"
done
log "desktop: the picture fills the height, the sides are black"
echo "display modes, command line and close button"
