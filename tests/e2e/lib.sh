# lib.sh -- shared helpers of the end-to-end tests: a private X server, the real game process,
# screenshots compared against the game's own backdrops, and the sound it plays captured to a file.
# Needs from CTest: BRUMZEL_BIN, GAMEDATA, E2E_OUT, DUMP_ENTRY.
#
# Helpers that can fail the test run in the test's own shell and hand back their result in a
# variable (SHOT, EXIT_STATUS): a failure inside $(...) would only end a subshell.

set -u
: "${BRUMZEL_BIN:?}" "${GAMEDATA:?}" "${E2E_OUT:?}" "${DUMP_ENTRY:?}"

GAME_PID=""
XVFB_PID=""
SOUND_RATE=44100   # the capture is forced to 16-bit stereo at this rate
SHOT_COUNT=0
SHOT=""
EXIT_STATUS=""

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

# Fresh working folders, a private sound capture and a private X server of 800x600.
e2e_init() {
    WORK="$E2E_OUT/$1"
    rm -rf "$WORK"
    mkdir -p "$WORK/run" "$WORK/home"
    RUN="$WORK/run"
    cp "$GAMEDATA" "$RUN/GAMEDATA.DAT"
    export HOME="$WORK/home"
    SOUND_FILE="$WORK/sound.raw"
    cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default {
    type plug
    slave { pcm "capture"; format S16_LE; rate $SOUND_RATE; channels 2 }
}
pcm.capture {
    type file
    slave.pcm "null"
    file "$SOUND_FILE"
    format "raw"
}
ASOUND
    trap e2e_cleanup EXIT
    start_xvfb
    load_backdrops
}

# start_xvfb [WxH]: a private X server, 800x600 unless another size is given.
start_xvfb() {
    local n=90 i size=${1:-800x600}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    # No key repeat: on a loaded machine a key may stay down long enough to repeat, and a
    # name typed into the game would come out with a doubled letter.
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -r >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 1 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb did not start"
}

# The data file's bitmap ENTRY as the 16-bit game sees it, as a PNG at $WORK/entryN.png.
dump_backdrop() {
    local f="$WORK/entry$1.png"
    [ -f "$f" ] && return 0
    "$DUMP_ENTRY" "$GAMEDATA" "$1" "$WORK/entry$1.bmp" || fail "cannot dump entry $1"
    convert "$WORK/entry$1.bmp" "$f" || fail "cannot convert entry $1"
}

# The four full-screen backdrops: play field, help page, high-score table, title.
load_backdrops() {
    local n
    for n in 0 14 15 30; do dump_backdrop $n; done
    FIELD="$WORK/entry0.png"
    HELP="$WORK/entry14.png"
    TABLE="$WORK/entry15.png"
    TITLE="$WORK/entry30.png"
}

# Starts the game in its working folder; its output goes to game.out and game.err.
# start_game FOLDER COMMAND... starts another command that ends by executing the game (a
# launcher) in FOLDER instead; GAME_PID is then the game's process all the same.
start_game() {
    local dir=${1:-$RUN}
    [ $# -gt 0 ] && shift
    [ $# -gt 0 ] || set -- "$BRUMZEL_BIN"
    (cd "$dir" && exec "$@" >"$WORK/game.out" 2>"$WORK/game.err") &
    GAME_PID=$!
    log "game started, pid $GAME_PID"
}

game_running() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

# Waits for the game to end and sets EXIT_STATUS; fails after the time-out.
wait_exit() {
    local timeout=$1 i
    for i in $(seq 1 $((timeout * 10))); do
        if ! game_running; then
            EXIT_STATUS=0
            wait "$GAME_PID" || EXIT_STATUS=$?
            GAME_PID=""
            return 0
        fi
        sleep 0.1
    done
    fail "the game did not end within ${timeout}s"
}

# Screenshot of the whole display into SHOT.
shot() {
    SHOT_COUNT=$((SHOT_COUNT + 1))
    SHOT="$WORK/$(printf %03d $SHOT_COUNT)-$1.png"
    import -window root "$SHOT" 2>/dev/null || fail "cannot take a screenshot"
}

# Share (in per cent) of the pixels of region WxH+X+Y that differ between two pictures by more
# than a colour tolerance (a 16-bit display rounds colours a little). Cropped inside
# ImageMagick: its policy here refuses /dev/fd paths.
region_diff_percent() {
    local a=$1 b=$2 geom=$3 ae w h rest
    ae=$(compare -metric AE -fuzz 6% "$a[$geom]" "$b[$geom]" null: 2>&1)
    [[ "$ae" =~ ^[0-9.e+]+$ ]] || { echo 100; return; }
    w=${geom%%x*} rest=${geom#*x}
    h=${rest%%+*}
    echo $((${ae%.*} * 100 / (w * h)))
}

# True when region WxH+X+Y shows the same picture in both (at most MAXBAD per cent differs).
region_matches() {
    [ "$(region_diff_percent "$1" "$2" "$3")" -le "${4:-5}" ]
}

# Takes screenshots until a check holds for one of them (the shot is passed as the last
# argument); leaves it in SHOT. Fails after the time-out or if the game ends meanwhile.
wait_until() {
    local label=$1 timeout=$2
    shift 2
    local end=$((SECONDS + timeout))
    while [ $SECONDS -lt $end ]; do
        shot "$label"
        "$@" "$SHOT" && return 0
        game_running || fail "the game ended while waiting for $label"
        sleep 0.3
    done
    fail "$label did not appear within ${timeout}s"
}

shows_region() { region_matches "$4" "$1" "$2" "$3"; }

# Waits until region WxH+X+Y shows the backdrop picture.
wait_for_region() { wait_until "$1" "${4:-60}" shows_region "$2" "$3" "${5:-5}"; }

# "r g b" of one pixel of a picture.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Mean "r g b" (0-255) of region WxH+X+Y.
region_mean() {
    convert "$1" -crop "$2" +repage -resize 1x1\! -depth 8 \
        -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Pixels of region WxH+X+Y within a tolerance of a colour.
colour_pixels() {
    convert "$1" -crop "$2" +repage -fuzz "${4:-4}%" -fill black +opaque "$3" -fill white \
        -opaque "$3" -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}

# True when region WxH+X+Y of a picture holds at least N pixels near a colour.
colour_above() { [ "$(colour_pixels "$4" "$2" "$1" 8)" -ge "$3" ]; }

# The title menu: the title picture in its top-left corner, a spinning ball over the middle of
# the one-player ball (the intro and the credits show the plain title picture there).
menu_shown() {
    region_matches "$1" "$TITLE" 90x60+0+0 && ! region_matches "$1" "$TITLE" 50x50+85+285 20
}
wait_for_menu() { wait_until menu "${1:-60}" menu_shown; }

# Pointer moves, clicks and keys that last long enough for the game's polling to see them.
move_to() { xdotool mousemove "$1" "$2"; sleep 0.15; }
click_at() {
    move_to "$1" "$2"
    xdotool mousedown "${3:-1}"
    sleep 0.25
    xdotool mouseup "${3:-1}"
    sleep 0.1
}
press_key() {
    xdotool keydown "$1"
    sleep "${2:-0.15}"
    xdotool keyup "$1"
    sleep 0.05
}
type_text() {
    local i
    for ((i = 0; i < ${#1}; i++)); do press_key "${1:i:1}" 0.08; done
}

# RMS amplitude (0-1) of the captured sound between two times in seconds.
sound_rms() {
    [ -f "$SOUND_FILE" ] || { echo 0; return; }
    sox -t raw -r $SOUND_RATE -e signed -b 16 -c 2 "$SOUND_FILE" -n trim "$1" "=$2" stat 2>&1 |
        awk '/RMS +amplitude/ {print $3}'
}

# True when the captured sound between two times is louder than near silence.
sound_not_silent() {
    awk -v r="$(sound_rms "$1" "$2")" 'BEGIN { exit !(r + 0 > 0.002) }'
}

# Peak resident memory of the game in MiB.
game_peak_mib() {
    awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$GAME_PID/status" 2>/dev/null || echo 0
}

# Closes a library message box (an xmessage window) if one is open.
dismiss_message_box() {
    local w
    for w in $(xdotool search --class Xmessage 2>/dev/null); do
        xdotool key --window "$w" Return 2>/dev/null
    done
}

# Position of the sound capture in seconds of sound (two decimals). The capture is not paced
# by a clock, so it can run ahead of real time: mark positions, do not count on seconds.
sound_position() {
    local bytes
    bytes=$(stat -c %s "$SOUND_FILE" 2>/dev/null || echo 0)
    awk -v b="$bytes" -v r=$SOUND_RATE 'BEGIN { printf "%.2f\n", b / (r * 4) }'
}

# The records of a high-score file, one line each: score, a tab, the name.
score_file_lines() {
    python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
for n in range(len(data) // 40):
    score, name = struct.unpack_from("<i33s", data, 40 * n)
    print("%d\t%s" % (score, name.split(b"\0")[0].decode("latin-1")))
PY
}
