# lib.sh -- shared helpers of the end-to-end tests: a private X server, the real game process,
# screenshots compared against the game's own backdrops, and the sound it plays captured to a file.
# Needs from CTest: BRUMZEL_BIN, GAMEDATA, E2E_OUT, DUMP_ENTRY.

set -u
: "${BRUMZEL_BIN:?}" "${GAMEDATA:?}" "${E2E_OUT:?}" "${DUMP_ENTRY:?}"

GAME_PID=""
XVFB_PID=""
SOUND_RATE=44100   # the capture is forced to 16-bit stereo at this rate
SHOT_COUNT=0

log() { echo "[$(date +%H:%M:%S)] $*" >&2; }

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${WORK:-}" ]; then
        shot "failure" >/dev/null 2>&1 || true
        echo "screenshots and logs are in $WORK" >&2
        [ -f "$WORK/game.err" ] && tail -5 "$WORK/game.err" >&2
    fi
    exit 1
}

e2e_cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    pkill -f "xmessage.*" -P $$ 2>/dev/null
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
    cat > "$HOME/.asoundrc" <<ASOUND
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
}

start_xvfb() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb did not start"
}

# Starts the game in its working folder; its output goes to game.out and game.err.
start_game() {
    (cd "$RUN" && exec "$BRUMZEL_BIN" >"$WORK/game.out" 2>"$WORK/game.err") &
    GAME_PID=$!
    log "game started, pid $GAME_PID"
}

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }

# Waits for the game to end; prints its exit status, or fails after the time-out.
wait_exit() {
    local timeout=$1 i
    for i in $(seq 1 $((timeout * 10))); do
        if ! game_running; then
            local status=0
            wait "$GAME_PID" || status=$?
            GAME_PID=""
            echo "$status"
            return 0
        fi
        sleep 0.1
    done
    fail "the game did not end within ${timeout}s"
}

# Screenshot of the whole display; prints the file name.
shot() {
    SHOT_COUNT=$((SHOT_COUNT + 1))
    local f
    f="$WORK/$(printf %03d $SHOT_COUNT)-$1.png"
    import -window root "$f" 2>/dev/null || return 1
    echo "$f"
}

# A bitmap of the data file as the 16-bit game sees it, as PNG; prints the file name.
backdrop() {
    local f="$WORK/entry$1.png"
    if [ ! -f "$f" ]; then
        "$DUMP_ENTRY" "$GAMEDATA" "$1" "$WORK/entry$1.bmp" || fail "cannot dump entry $1"
        convert "$WORK/entry$1.bmp" "$f"
    fi
    echo "$f"
}

# Share (in per cent) of the pixels of region WxH+X+Y that differ between two pictures by
# more than the colour tolerance (a 16-bit display rounds colours a little).
region_diff_percent() {
    local a=$1 b=$2 geom=$3 ae
    ae=$(compare -metric AE -fuzz 6% <(convert "$a" -crop "$geom" +repage png:-) \
        <(convert "$b" -crop "$geom" +repage png:-) null: 2>&1 >/dev/null | cut -d' ' -f1)
    local w=${geom%%x*} rest=${geom#*x}
    local h=${rest%%+*}
    echo $((${ae%.*} * 100 / (w * h)))
}

# True when region WxH+X+Y of a screenshot shows the same picture as the backdrop
# (at most MAXBAD per cent of its pixels differ; default 5).
region_matches() {
    local s=$1 ref=$2 geom=$3 maxbad=${4:-5}
    [ "$(region_diff_percent "$s" "$ref" "$geom")" -le "$maxbad" ]
}

# Polls screenshots until region WxH+X+Y matches the backdrop picture; prints the shot.
wait_for_region() {
    local label=$1 ref=$2 geom=$3 timeout=${4:-60} maxbad=${5:-5}
    local end=$((SECONDS + timeout)) s
    while [ $SECONDS -lt $end ]; do
        s=$(shot "$label") && region_matches "$s" "$ref" "$geom" "$maxbad" && {
            echo "$s"
            return 0
        }
        game_running || fail "the game ended while waiting for $label"
        sleep 0.3
    done
    fail "$label did not appear within ${timeout}s (region $geom of $ref)"
}

# Polls until region WxH+X+Y no longer matches the backdrop picture.
wait_for_region_gone() {
    local label=$1 ref=$2 geom=$3 timeout=${4:-60}
    local end=$((SECONDS + timeout)) s
    while [ $SECONDS -lt $end ]; do
        s=$(shot "$label") && ! region_matches "$s" "$ref" "$geom" 20 && {
            echo "$s"
            return 0
        }
        sleep 0.3
    done
    fail "$label: region $geom still showed $ref after ${timeout}s"
}

# "r g b" of one pixel of a picture.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Mean "r g b" (0-255) of region WxH+X+Y.
region_mean() {
    convert "$1" -crop "$2" +repage -resize 1x1\! -depth 8 \
        -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Pointer moves, clicks that last long enough for the game's polling to see them.
move_to() { xdotool mousemove "$1" "$2"; sleep 0.15; }
click_at() {
    local button=${3:-1}
    move_to "$1" "$2"
    xdotool mousedown "$button"
    sleep 0.25
    xdotool mouseup "$button"
    sleep 0.1
}
press_key() {
    xdotool keydown "$1"
    sleep "${2:-0.15}"
    xdotool keyup "$1"
    sleep 0.05
}

# Seconds of sound captured so far.
sound_seconds() {
    local bytes
    bytes=$(stat -c %s "$SOUND_FILE" 2>/dev/null || echo 0)
    echo $((bytes / (SOUND_RATE * 4)))
}

# RMS amplitude (0-1) of the captured sound between two times in seconds.
sound_rms() {
    local from=$1 to=$2
    [ -f "$SOUND_FILE" ] || { echo 0; return; }
    sox -t raw -r $SOUND_RATE -e signed -b 16 -c 2 "$SOUND_FILE" -n trim "$from" "=$to" stat 2>&1 |
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
    for w in $(xdotool search --name xmessage 2>/dev/null) $(xdotool search --class Xmessage 2>/dev/null); do
        xdotool windowactivate --sync "$w" 2>/dev/null
        xdotool key --window "$w" Return 2>/dev/null
    done
}
