#!/bin/bash
# What the scaled modes send to the display, counted by the preloaded X request counter: on the
# menu and in a one-player game with player 1 firing, on a 1920x1080 desktop and in a 2x window,
# every X image request carries one whole picture and there are never more of them than ticks of
# the game's clock (150 a second). The fill reaches the desktop's last lines, black beside it. On
# the desktop, Alt+Enter turns the fill into an 800x600 window and back before the game, the
# menu answering clicks at each size, and each mode is kept in the settings file. The 2x window's
# close button ends the game with status 0.
source "$(dirname "$0")/lib.sh"
: "${XCOUNT_LIB:?}"
e2e_init present

# VIEW is "X Y W H", where the game's frame lies on the display; REF a display-sized reference.
view_of() { VIEW=($1); REF="$WORK/ref-${VIEW[2]}x${VIEW[3]}"; }
at() { echo $((VIEW[0] + $1 * VIEW[2] / 800)) $((VIEW[1] + $2 * VIEW[3] / 600)); }
in_view() { echo "$(($1 * VIEW[2] / 800))x$(($2 * VIEW[3] / 600))+$(at "$3" "$4" | tr ' ' +)"; }
scaled_ref() { # NAME PICTURE: the picture sampled to the view, on black
    convert -size "$(xdotool getdisplaygeometry | tr ' ' x)" xc:black \( "$2" \
        -sample "${VIEW[2]}x${VIEW[3]}!" \) -geometry "+${VIEW[0]}+${VIEW[1]}" -composite "$REF-$1.png"
}
# The title's corner with a spinning ball over the one-player ball; the help page; the
# play field with "GET READY" gone.
menu_in_view() {
    region_matches "$1" "$REF-title.png" "$(in_view 90 60 0 0)" 10 &&
        ! region_matches "$1" "$REF-title.png" "$(in_view 50 50 85 285)" 20
}
help_in_view() { region_matches "$1" "$REF-help.png" "$(in_view 600 300 0 0)" 10; }
play_in_view() {
    region_matches "$1" "$REF-field.png" "$(in_view 400 100 0 0)" 10 &&
        region_matches "$1" "$REF-field.png" "$(in_view 120 30 265 105)" 10
}

# Every second from FIRST to LAST (Unix time) sent whole pictures of AREA pixels, one request
# each, and no more than the clock's ticks of those seconds, with a tenth of a second to spare.
check_counts() {
    local what=$1 first=$2 last=$3 area=$4
    awk -v first="$first" -v last="$last" -v area="$area" -v what="$what" '
        $1 >= first && $1 <= last { n++; sent += $2; if ($4 != $2 * area) bad = bad " " $1 }
        END {
            printf "%s: %d pictures in %d seconds, %.0f a second\n", what, sent, n, n ? sent / n : 0
            if (bad != "") { print what ": requests of part of a picture in seconds" bad; exit 1 }
            if (n < 1 || sent < 1 || sent > 150 * n + 15) { print what ": wrong count"; exit 1 }
        }' "$WORK/xcount.log" >&2 || fail "$what: see $WORK/xcount.log"
}

alt_enter() { move_to $(at 400 300) && xdotool keydown alt keydown Return sleep 0.15 keyup Return keyup alt; }
# Alt+Enter turns the desktop fill into an 800x600 window, which opens the help page, and that
# into the fill again, where the help page's ball leads back to the menu.
switch_there_and_back() {
    alt_enter
    view_of "0 0 800 600"
    wait_for_menu 20
    eval "$(xdotool search --name '^Brumzel Ball$' getwindowgeometry --shell)"
    [ "${WIDTH}x$HEIGHT" = 800x600 ] || fail "the window is ${WIDTH}x$HEIGHT, not 800x600"
    grep -qx "mode = window" "$RUN/brumzel-ball.cfg" || fail "the window mode is not kept"
    click_at 599 503
    wait_for_region help "$HELP" 600x300+0+0 20
    alt_enter
    view_of "$1"
    wait_until help-filled 20 help_in_view
    grep -qx "mode = desktop" "$RUN/brumzel-ball.cfg" || fail "the desktop mode is not kept"
    click_at $(at 706 503)
    wait_until menu-filled 20 menu_in_view
}

# The window manager's request to close the game's window: a WM_DELETE_WINDOW message.
close_window() {
    python3 - "$(xdotool search --name '^Brumzel Ball$' | head -1)" <<'PY' || fail "cannot send the close request"
import ctypes as C, sys
x = C.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype, x.XInternAtom.restype = C.c_void_p, C.c_ulong
d, w = C.c_void_p(x.XOpenDisplay(None)), int(sys.argv[1])
# An XClientMessageEvent as longs: type, serial, send_event, display, window, message_type,
# format, then its data; the rest of the XEvent zero.
e = (C.c_long * 24)(33, 0, 0, 0, w, x.XInternAtom(d, b"WM_PROTOCOLS", 0), 32,
                    x.XInternAtom(d, b"WM_DELETE_WINDOW", 0))
x.XSendEvent(d, C.c_ulong(w), 0, C.c_long(0), e)
x.XCloseDisplay(d)  # flushes the request
PY
}

# The menu for a few seconds, [the switches,] then a one-player game, player 1 firing; it ends
# killed from the desktop, by the close button from a window.
count_a_game() {
    local name=$1 switch=$2 t_menu t_menu_end t_fire
    shift 2
    rm -f "$WORK/xcount.log"
    start_game "$RUN" env LD_PRELOAD="$XCOUNT_LIB" XCOUNT_LOG="$WORK/xcount.log" "$BRUMZEL_BIN" "$@"
    for ref in title:$TITLE field:$FIELD help:$HELP; do scaled_ref "${ref%%:*}" "${ref#*:}"; done
    wait_until "$name-menu" 60 menu_in_view
    # The title's bottom-left corner, clear of the balls, on the display's last lines; black bars.
    region_matches "$SHOT" "$REF-title.png" "$(in_view 160 50 0 550)" 15 && { [ "${VIEW[0]}" = 0 ] ||
        region_matches "$SHOT" "$REF-title.png" "${VIEW[0]}x${VIEW[3]}+0+0" 0; } || fail "no fill"
    t_menu=$(date +%s)
    sleep 2.5
    t_menu_end=$(date +%s)
    [ "$switch" = switch ] && switch_there_and_back "${VIEW[*]}"
    click_at $(at 110 310)
    wait_until "$name-play" 40 play_in_view
    move_to $(at 5 300)
    t_fire=$(date +%s)
    xdotool mousedown 1
    sleep 3.5
    xdotool mouseup 1
    check_counts "$name menu" $((t_menu + 1)) $((t_menu_end - 1)) $((VIEW[2] * VIEW[3]))
    check_counts "$name play" $((t_fire + 1)) $(($(date +%s) - 1)) $((VIEW[2] * VIEW[3]))
    if [ "$switch" = switch ]; then
        kill -9 "$GAME_PID" && wait "$GAME_PID" 2>/dev/null
        GAME_PID=""
    else
        close_window
        wait_exit 10
        [ "$EXIT_STATUS" = 0 ] || fail "closing the window: status $EXIT_STATUS"
    fi
}

restart_xvfb 1920x1080
view_of "240 0 1440 1080"
count_a_game desktop switch --desktop
restart_xvfb 1700x1300
view_of "0 0 1600 1200"
count_a_game window-2x no --window --scale 2
echo "present step counted; Alt+Enter switched to a window and back; the close button ended it"
