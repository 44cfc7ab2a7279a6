# lib.sh -- end-to-end helpers: a private X server, the real game, screenshots compared against
# the game's own backdrops, its sound captured. Needs BRUMZEL_BIN, GAMEDATA, E2E_OUT, DUMP_ENTRY.
# Helpers that can fail hand back results in SHOT or EXIT_STATUS: a failing $(...) ends a subshell.

set -u
: "${BRUMZEL_BIN:?}" "${GAMEDATA:?}" "${E2E_OUT:?}" "${DUMP_ENTRY:?}"

GAME_PID="" XVFB_PID="" SHOT_COUNT=0
SOUND_RATE=44100 # the capture is forced to 16-bit stereo at this rate

log() { echo "[$(date +%H:%M:%S)] $*" >&2; }

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${WORK:-}" ]; then
        shot failure 2>/dev/null || true
        echo "screenshots and logs are in $WORK" >&2
        [ -f "$WORK/game.err" ] && grep -v '^ALSA lib' "$WORK/game.err" | tail -5 >&2
    fi
    exit 1
}

e2e_cleanup() {
    # A game stuck in a loop may ignore a polite signal: end it for certain.
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    return 0
}

# Fresh working folders, a private sound capture, a private X server of 800x600 and the four
# full-screen backdrops as the 16-bit game sees them: play field, help page, table, title.
e2e_init() {
    local n
    WORK="$E2E_OUT/$1"
    RUN="$WORK/run"
    rm -rf "$WORK"
    mkdir -p "$RUN" "$WORK/home"
    cp "$GAMEDATA" "$RUN/GAMEDATA.DAT"
    export HOME="$WORK/home"
    SOUND_FILE="$WORK/sound.raw"
    cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default {
    type plug
    slave { pcm "capture"; format S16_LE; rate $SOUND_RATE; channels 2 }
}
pcm.capture { type file; slave.pcm "null"; file "$SOUND_FILE"; format "raw" }
ASOUND
    trap e2e_cleanup EXIT
    start_xvfb
    for n in 0 14 15 30; do
        "$DUMP_ENTRY" "$GAMEDATA" $n "$WORK/entry$n.bmp" && convert "$WORK/entry$n.bmp" "$WORK/entry$n.png" ||
            fail "cannot dump entry $n"
    done
    FIELD="$WORK/entry0.png" HELP="$WORK/entry14.png" TABLE="$WORK/entry15.png" TITLE="$WORK/entry30.png"
}

# start_xvfb [WxH]: a private X server, 800x600 unless another size is given. The server picks a
# free display number itself and reports it once it listens: a number that merely looks free here
# may belong to a server this process cannot see (another /tmp, the same abstract socket), and
# the game would then talk to a stranger. No reset as a client leaves: a game connecting then was
# refused. No key repeat: on a loaded machine a held key could double a letter of a typed name.
start_xvfb() {
    local size=${1:-800x600} number="$WORK/xvfb.display" i
    rm -f "$number"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset -r 3>"$number" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for i in $(seq 1 100); do
        if grep -q '^[0-9][0-9]*$' "$number" 2>/dev/null; then
            export DISPLAY=":$(cat "$number")"
            [ "$(xdotool getdisplaygeometry 2>/dev/null)" = "${size/x/ }" ] && return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    fail "Xvfb did not start (see $WORK/xvfb.log)"
}

# A private X server of another size in place of the running one.
restart_xvfb() { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; start_xvfb "$1"; }

# start_game [FOLDER COMMAND...]: the game, or a launcher that ends by executing it, in its
# folder; GAME_PID is the game's process, its output goes to game.out and game.err.
start_game() {
    local dir=${1:-$RUN}
    [ $# -gt 0 ] && shift
    [ $# -gt 0 ] || set -- "$BRUMZEL_BIN"
    (cd "$dir" && exec "$@" >"$WORK/game.out" 2>"$WORK/game.err") &
    GAME_PID=$!
}

game_running() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

# Waits for the game to end and sets EXIT_STATUS; fails after the time-out.
wait_exit() {
    local end=$((SECONDS + $1))
    while game_running; do
        [ $SECONDS -lt $end ] || fail "the game did not end within ${1}s"
        sleep 0.1
    done
    EXIT_STATUS=0
    wait "$GAME_PID" || EXIT_STATUS=$?
    GAME_PID=""
}

shot() {
    SHOT_COUNT=$((SHOT_COUNT + 1))
    SHOT="$WORK/$(printf %03d $SHOT_COUNT)-$1.png"
    import -window root "$SHOT" 2>/dev/null || fail "cannot take a screenshot"
}

# Per cent of the pixels of region WxH+X+Y that differ between two pictures beyond a tolerance
# (a 16-bit display rounds colours). Cropped inside ImageMagick: its policy refuses /dev/fd.
region_diff_percent() {
    local ae w=${3%%x*} rest=${3#*x}
    ae=$(compare -metric AE -fuzz 6% "$1[$3]" "$2[$3]" null: 2>&1)
    [[ "$ae" =~ ^[0-9.e+]+$ ]] || { echo 100; return; }
    echo $((${ae%.*} * 100 / (w * ${rest%%+*})))
}

# True when region WxH+X+Y shows the same picture in both (at most MAXBAD per cent differs).
region_matches() { [ "$(region_diff_percent "$1" "$2" "$3")" -le "${4:-5}" ]; }

# Takes screenshots until CHECK... holds for one (the shot is passed last); leaves it in SHOT.
# Fails after the time-out or if the game ends meanwhile.
wait_until() {
    local label=$1 timeout=$2 end=$((SECONDS + $2))
    shift 2
    while [ $SECONDS -lt $end ]; do
        shot "$label"
        "$@" "$SHOT" && return 0
        game_running || fail "the game ended while waiting for $label"
        sleep 0.3
    done
    fail "$label did not appear within ${timeout}s"
}

shows_region() { region_matches "$4" "$1" "$2" "$3"; }
# wait_for_region LABEL PICTURE WxH+X+Y [TIMEOUT MAXBAD]: until the region shows the picture.
wait_for_region() { wait_until "$1" "${4:-60}" shows_region "$2" "$3" "${5:-5}"; }

# colour_above COLOUR WxH+X+Y N PICTURE: at least N pixels of the region near the colour.
colour_above() {
    [ "$(convert "$4" -crop "$2" +repage -fuzz 8% -fill black +opaque "$1" -fill white -opaque "$1" \
        -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:)" -ge "$3" ]
}

# The title menu: the title picture in its top-left corner, a spinning ball over the middle of
# the one-player ball (the intro and the credits show the plain title picture there).
menu_shown() {
    region_matches "$1" "$TITLE" 90x60+0+0 && ! region_matches "$1" "$TITLE" 50x50+85+285 20
}
wait_for_menu() { wait_until menu "${1:-60}" menu_shown; }

# The quit ball shows the credits' red text over the plain title; a click then ends the game
# with status 0.
quit_through_credits() {
    click_at 696 264
    wait_until credits 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
    region_matches "$SHOT" "$TITLE" 50x50+85+285 2 || fail "the credits are not over the title"
    sleep 1
    click_at 706 503
    wait_exit 30
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the credits"
}

WHITE="rgb(255,255,255)"
# Name entry: the table's backdrop and the white top edge of the name box.
panel_shown() { region_matches "$1" "$TABLE" 90x60+0+0 && colour_above "$WHITE" 200x1+370+500 190 "$1"; }
# The table: no panel over its backdrop, a spinning quit ball.
table_shown() {
    region_matches "$1" "$TABLE" 300x100+10+480 && ! region_matches "$1" "$TABLE" 60x60+676+473 20
}
# name_turn NAME [TIMEOUT]: one player's name entry: the panel, the name typed with a stray
# letter taken back, Enter, the table, left by its ball.
name_turn() {
    wait_until "entry-$1" "${2:-90}" panel_shown
    type_text "${1}q"
    press_key BackSpace
    press_key Return
    move_to 706 503
    wait_until "table-$1" 30 table_shown
    click_at 706 503
}

# Pointer moves, clicks and keys that last long enough for the game's polling to see them.
move_to() { xdotool mousemove "$1" "$2"; sleep 0.15; }
click_at() { move_to "$1" "$2"; xdotool mousedown 1; sleep 0.25; xdotool mouseup 1; sleep 0.1; }
press_key() { xdotool keydown "$1"; sleep "${2:-0.15}"; xdotool keyup "$1"; sleep 0.05; }
type_text() {
    local i
    for ((i = 0; i < ${#1}; i++)); do press_key "${1:i:1}" 0.08; done
}

# Position of the sound capture in seconds (two decimals). The capture is not paced by a clock
# and may run ahead of real time: mark positions, do not count on seconds.
sound_position() {
    awk -v b="$(stat -c %s "$SOUND_FILE" 2>/dev/null || echo 0)" -v r=$SOUND_RATE \
        'BEGIN { printf "%.2f\n", b / (r * 4) }'
}

# True when the captured sound between two positions is louder than near silence (RMS > 0.002).
sound_not_silent() {
    sox -t raw -r $SOUND_RATE -e signed -b 16 -c 2 "$SOUND_FILE" -n trim "$1" "=$2" stat 2>&1 |
        awk '/RMS +amplitude/ { r = $3 } END { print "sound RMS " r >"/dev/stderr"; exit !(r + 0 > 0.002) }'
}
