#!/bin/bash
# A missing, empty, truncated or wrongly built GAMEDATA.DAT keeps the game from starting:
# exit status 1 and a message that names the file.
source "$(dirname "$0")/lib.sh"
e2e_init bad_datafile

expect_refusal() {
    local what=$1 status i
    : >"$WORK/game.err"
    start_game
    # The library may show its message in a box that waits for OK: press it.
    for i in $(seq 1 300); do
        game_running || break
        dismiss_message_box
        sleep 0.1
    done
    wait_exit 30
    [ "$EXIT_STATUS" = 1 ] || fail "$what: exit status $EXIT_STATUS, expected 1"
    grep -q "GAMEDATA.DAT" "$WORK/game.err" || fail "$what: no message naming GAMEDATA.DAT"
    log "$what: refused with status 1: $(grep -m1 GAMEDATA.DAT "$WORK/game.err")"
}

rm -f "$RUN/GAMEDATA.DAT"
expect_refusal "missing file"

: >"$RUN/GAMEDATA.DAT"
expect_refusal "empty file"

size=$(stat -c %s "$GAMEDATA")
head -c $((size / 2)) "$GAMEDATA" >"$RUN/GAMEDATA.DAT"
expect_refusal "file cut in half"

head -c 1000 "$GAMEDATA" >"$RUN/GAMEDATA.DAT"
expect_refusal "file cut after 1000 bytes"

head -c 4 "$GAMEDATA" >"$RUN/GAMEDATA.DAT"
expect_refusal "file cut after its magic number"

head -c $((size - 1)) "$GAMEDATA" >"$RUN/GAMEDATA.DAT"
expect_refusal "file one byte short"

rm -f "$RUN/GAMEDATA.DAT"
mkdir "$RUN/GAMEDATA.DAT"
expect_refusal "a folder in place of the file"
rmdir "$RUN/GAMEDATA.DAT"

# The real file with its first font (entry 24) swapped for a bitmap under the same number.
cp "$GAMEDATA" "$RUN/GAMEDATA.DAT"
convert -size 8x8 xc:red -type truecolor "BMP3:$WORK/e24_not_a_font.bmp"
dat "$RUN/GAMEDATA.DAT" -d E24_FONT_TEXT_BMP >/dev/null
(cd "$WORK" && dat "$RUN/GAMEDATA.DAT" -t BMP -a e24_not_a_font.bmp >/dev/null)
dat -l "$RUN/GAMEDATA.DAT" | grep -q "E24_NOT_A_FONT_BMP *- bitmap" || fail "could not build the file"
expect_refusal "a bitmap where a font belongs"
grep -q "entry 24 is not a font" "$WORK/game.err" || fail "the message does not name entry 24"

# A data file of one entry: the real one nested as one object.
rm -f "$RUN/GAMEDATA.DAT"
(cd "$WORK" && cp "$GAMEDATA" inner.dat && dat -a -t DATA -s1 "$RUN/GAMEDATA.DAT" inner.dat >/dev/null)
expect_refusal "the whole file nested as one entry"
echo "bad data files refused"
