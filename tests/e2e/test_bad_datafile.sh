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
    log "$what: refused with status 1: $(head -1 "$WORK/game.err")"
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

# A data file whose entries are all of the wrong kind: the real one nested as one object.
rm -f "$RUN/GAMEDATA.DAT"
(cd "$WORK" && cp "$GAMEDATA" inner.dat && dat -a -t DATA -s1 "$RUN/GAMEDATA.DAT" inner.dat >/dev/null)
expect_refusal "one entry of the wrong kind"
echo "bad data files refused"
