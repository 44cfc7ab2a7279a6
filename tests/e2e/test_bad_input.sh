#!/bin/bash
# Bad input of every kind around the high-score table, through the real game:
# - highscores.bin empty, 399 or 401 bytes, random bytes, names without a terminator, or a
#   folder in its place: the game runs, shows a table (the built-in one where the file holds
#   no ten whole records) and leaves the file as it was;
# - a save into a read-only folder, or over a folder named like the file, fails and leaves the
#   old file byte for byte; a save that works keeps every old record that stays in the table;
# - name entry under a storm of keys, keys outside printable ASCII and mouse clicks: the name
#   is exactly what was typed, at most 8 characters;
# - clicks and keys on screens that ignore them (intro, help, count, closing scene, table,
#   credits).
source "$(dirname "$0")/lib.sh"
# A run killed before its exit trap may have left the folder read-only: undo that first.
chattr -R -i "$E2E_OUT/bad_input" 2>/dev/null
umount "$E2E_OUT/bad_input/run" 2>/dev/null
e2e_init bad_input

CORNER=90x60+0+0              # plain backdrop on the title, help and table screens
ONE_PLAYER_BALL=50x50+85+285  # middle of the one-player ball: plain title in intro and credits
TABLE_TEXT=420x290+190+150    # the names and scores of the table, left of its quit ball
OPEN_FIELD=120x90+150+420     # empty floor of the field
GET_READY_TEXT=120x30+265+105 # under "GET READY"; plain floor once play runs
CAPTION=330x60+245+95         # where "GAME OVER" is printed
NAME=Soak1234                 # the name every entry ends with

# ---- a folder that not even root can write to ----
READ_ONLY=""
make_read_only() {
    if chattr +i "$1/highscores.bin" "$1" 2>/dev/null; then
        READ_ONLY=chattr
    elif mount --bind "$1" "$1" 2>/dev/null && mount -o remount,bind,ro "$1" 2>/dev/null; then
        READ_ONLY=mount
    else
        fail "cannot make $1 read-only (neither chattr +i nor a read-only bind mount)"
    fi
    touch "$1/probe" 2>/dev/null && fail "$1 is still writable after $READ_ONLY"
    log "folder made read-only with $READ_ONLY"
}
make_writable() {
    case $READ_ONLY in
    chattr) chattr -i "$1" "$1/highscores.bin" 2>/dev/null ;;
    mount) umount "$1" 2>/dev/null ;;
    esac
    READ_ONLY=""
}
trap 'make_writable "$RUN"; e2e_cleanup' EXIT

# ---- score files ----
# Ten records of score and name, with bytes behind each terminator that a save must keep.
write_keeper_table() {
    local a
    for a in 0 1 2 3 4 5 6 7 8 9; do
        local s=(5000 4000 3000 2000 1000 500 200 100 50 20)
        printf "$(printf '\\x%02x\\x%02x\\x00\\x00' $((s[a] & 255)) $((s[a] >> 8)))"
        printf 'Keeper%d\0' "$a"
        printf 'behind-the-name-%02d:-----------' "$a" | head -c 25
        printf 'pad'
    done >"$1"
}

# Ten records whose names fill all 33 bytes with no terminator.
write_unterminated_table() {
    local a
    for a in 0 1 2 3 4 5 6 7 8 9; do
        printf '\x64\x00\x00\x00'
        printf 'W%.0s' $(seq 1 33)
        printf 'pad'
    done >"$1"
}

# ---- screens ----
name_box_shown() {
    local r g b
    read -r r g b < <(pixel "$1" 370 525)
    [ "$r" -ge 230 ] && [ "$g" -ge 230 ] && [ "$b" -ge 230 ] || return 1
    read -r r g b < <(pixel "$1" 569 525)
    [ "$r" -ge 230 ] && [ "$g" -ge 230 ] && [ "$b" -ge 230 ] || return 1
    read -r r g b < <(pixel "$1" 470 546)
    [ "$r" -le 20 ] && [ "$g" -le 20 ] && [ "$b" -le 20 ]
}

# Starts the game, pokes at the intro, which must run its course, and waits for the menu.
start_to_menu() {
    start_game
    wait_for_region intro "$TITLE" "$ONE_PLAYER_BALL" 30
    click_at 450 380
    press_key Return
    press_key Escape
    press_key space
    wait_for_menu 40
}

# Opens the table from the menu; its screenshot is left in TABLE_SHOT.
view_table() {
    click_at 386 206
    wait_for_region "$1-table" "$TABLE" "$CORNER" 20
    move_to 795 595
    sleep 0.5
    shot "$1-table"
    TABLE_SHOT=$SHOT
    click_at 706 503
    wait_for_menu 20
}

# The help page leaves by its ball alone: keys and clicks off the ball change nothing.
help_ignores_input() {
    click_at 599 503
    wait_for_region help "$HELP" "$CORNER" 20
    press_key Return
    press_key Escape
    type_text hq
    click_at 100 300
    sleep 1
    shot help-still
    region_matches "$SHOT" "$HELP" "$CORNER" || fail "a key or a click off the ball left help"
    click_at 706 503
    wait_for_menu 20
}

# Quits through the credits, which wait for their ball alone; exit status 0.
quit_game() {
    click_at 696 264
    wait_for_region credits "$TITLE" "$ONE_PLAYER_BALL" 20
    press_key Return
    press_key Escape
    click_at 100 100
    sleep 1
    game_running || fail "a key or a click off the ball ended the credits"
    click_at 706 503
    wait_exit 30
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after quitting"
}

# A one-player game in which player 1 scores, then name entry under a storm of keys, then the
# table, which only its ball leaves. Back at the menu afterwards.
play_and_enter_name() {
    click_at 110 310
    wait_for_region "$1-field" "$FIELD" "$OPEN_FIELD" 20
    click_at 400 300 # during the count: nothing happens
    press_key Return
    wait_for_region "$1-play" "$FIELD" "$GET_READY_TEXT" 20
    move_to 10 80
    xdotool mousedown 1
    sleep 10
    xdotool mouseup 1
    press_key Escape
    wait_until "$1-gameover" 20 colour_above "rgb(255,255,255)" "$CAPTION" 400
    # Keys typed during the closing scene are thrown away before the name is asked for.
    type_text qqqq
    click_at 400 300
    wait_until "$1-name-entry" 90 name_box_shown
    # Keys that type nothing: editing keys on an empty name, function keys, characters
    # outside ASCII; and clicks, which name entry ignores.
    local k
    for k in Left Right Home End Up Down BackSpace Delete Insert Insert F1 F5 Tab Escape \
        Prior Next Menu; do
        press_key "$k" 0.05
    done
    xdotool type --delay 80 'éüßñ'
    click_at 300 200
    click_at 470 525 3
    type_text "${NAME}XY"
    # A storm into the full name: 400 printable characters and arrows as fast as they come, and
    # characters beyond 8 bits, which the keyboard hands over as '^'.
    local storm
    storm=$(LC_ALL=C tr -dc 'A-Za-z0-9 !#%&()*+,./:;<=>?@[]^_{|}~-' </dev/urandom | head -c 400)
    xdotool type --delay 1 "$storm"
    xdotool type --delay 20 '€日😀'
    xdotool key --delay 1 Left Left Left Right Home End Left Right Right Right
    sleep 1
    shot "$1-name-typed"
    press_key Return
    wait_for_region "$1-table-after" "$TABLE" "$CORNER" 20
    press_key Return
    press_key Escape
    type_text zz
    sleep 1
    shot "$1-table-still"
    region_matches "$SHOT" "$TABLE" "$CORNER" || fail "$1: a key left the table screen"
    click_at 706 503
    wait_for_menu 60
}

# ---- a table from every kind of file ----
table_case() {
    local label=$1
    log "--- highscores.bin: $label"
    [ -e "$RUN/highscores.bin" ] && cp -a "$RUN/highscores.bin" "$WORK/before.bin"
    start_to_menu
    [ "${2:-}" = help ] && help_ignores_input
    view_table "$label"
    quit_game
}

# The unchanged file (or folder, or absence) is still there after the game.
file_unchanged() {
    cmp -s "$RUN/highscores.bin" "$WORK/before.bin" || fail "$1: highscores.bin changed"
}
table_like_defaults() {
    local d
    d=$(region_diff_percent "$TABLE_SHOT" "$DEFAULTS_SHOT" "$TABLE_TEXT")
    [ "$d" -le 1 ] || fail "$1: the table is not the built-in one ($d% differs)"
}
table_unlike_defaults() {
    local d
    d=$(region_diff_percent "$TABLE_SHOT" "$DEFAULTS_SHOT" "$TABLE_TEXT")
    [ "$d" -ge 2 ] || fail "$1: the table shows the built-in one, not the file's ($d% differs)"
}

rm -f "$RUN/highscores.bin"
table_case "no file" help
DEFAULTS_SHOT=$TABLE_SHOT
[ "$(region_diff_percent "$DEFAULTS_SHOT" "$TABLE" "$TABLE_TEXT")" -ge 2 ] ||
    fail "no names and scores on the table"
[ -e "$RUN/highscores.bin" ] && fail "highscores.bin created without a new score"

: >"$RUN/highscores.bin"
table_case "0 bytes"
table_like_defaults "0 bytes"
file_unchanged "0 bytes"

write_keeper_table "$WORK/good.bin"
head -c 399 "$WORK/good.bin" >"$RUN/highscores.bin"
table_case "399 bytes"
table_like_defaults "399 bytes"
file_unchanged "399 bytes"

{ cat "$WORK/good.bin"; printf 'X'; } >"$RUN/highscores.bin"
table_case "401 bytes"
table_unlike_defaults "401 bytes"
file_unchanged "401 bytes"

head -c 400 /dev/urandom >"$RUN/highscores.bin"
table_case "400 random bytes"
file_unchanged "400 random bytes"

write_unterminated_table "$RUN/highscores.bin"
table_case "names without a terminator"
table_unlike_defaults "names without a terminator"
file_unchanged "names without a terminator"

# ---- a folder named like the file: the built-in table, and a save cannot replace it ----
rm -f "$RUN/highscores.bin"
mkdir "$RUN/highscores.bin"
touch "$RUN/highscores.bin/inside"
log "--- highscores.bin is a folder"
start_to_menu
view_table folder
table_like_defaults "a folder"
play_and_enter_name folder
[ -f "$RUN/highscores.bin/inside" ] || fail "the folder named highscores.bin was touched"
[ -e "$RUN/highscores.bin.tmp" ] && fail "a save over the folder left its temporary file"
quit_game

# ---- a read-only folder: the save fails and the old file stays; then a save that works ----
rm -rf "$RUN/highscores.bin"
cp "$WORK/good.bin" "$RUN/highscores.bin"
make_read_only "$RUN"
log "--- read-only folder"
start_to_menu
play_and_enter_name read-only
cmp -s "$RUN/highscores.bin" "$WORK/good.bin" || fail "the failed save changed highscores.bin"
[ -e "$RUN/highscores.bin.tmp" ] && fail "the failed save left a temporary file"
make_writable "$RUN"
log "--- the folder writable again"
play_and_enter_name writable
quit_game

# The saved file: 400 bytes, highest score first, the new name exactly as typed, and the nine
# old records that stay, byte for byte (bytes behind the names included).
python3 - "$RUN/highscores.bin" "$WORK/good.bin" "$NAME" <<'PY' || fail "the saved table is wrong"
import struct, sys
new, old, name = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read(), sys.argv[3]
assert len(new) == 400, f"{len(new)} bytes"
recs = [new[i:i + 40] for i in range(0, 400, 40)]
olds = [old[i:i + 40] for i in range(0, 400, 40)]
names = [r[4:37].split(b"\0")[0] for r in recs]
scores = [struct.unpack("<i", r[:4])[0] for r in recs]
print("saved table:", list(zip(names, scores)))
assert names.count(name.encode()) == 1, "the new name is not in the table exactly once"
assert scores == sorted(scores, reverse=True), "not highest first"
assert [r for r, n in zip(recs, names) if n != name.encode()] == olds[:9], "old records changed"
PY
echo "bad score files, failing saves, key storms and ignored input all handled"
