#!/bin/bash
# A whole run by mouse and keyboard alone, recorded with --record: the intro, the menu and its
# music, a one-player game with a name entered, a two-player game (its S picture saved) with both
# names entered, the saved table read back, the credits. Then the recordings: --timedemo ends the
# two-player game on the scores the table kept and saves the same S picture; --replay shows the
# one-player game in a window, with its sounds, back to the menu, the table untouched. Screens are told apart
# by their backdrops; the sound is captured.
source "$(dirname "$0")/lib.sh"
e2e_init playthrough

P1_HUNDREDS=48x19+10+30  # the first three of player 1's five score digits
P2_HUNDREDS=48x19+690+30 # the same for player 2

game_over_shown() { colour_above "$WHITE" 330x60+245+95 400 "$1"; }

# Waits for the first frame of play (the floor under "GET READY" plain; the sound position then
# in PLAY_FROM), then for each "DIGITS mouse|key CONTROL" holds the fire control until that
# side's score shows 100 points on two screenshots in a row (a floating number may pass over).
play_to_hundred() {
    local side digits how control seen end
    wait_for_region "play-$1" "$FIELD" 120x30+265+105 40
    PLAY_SHOT=$SHOT PLAY_FROM=$(sound_position)
    move_to 10 80
    shift
    for side in "$@"; do
        read -r digits how control <<<"$side"
        seen=0 end=$((SECONDS + 120))
        xdotool "${how}down" "$control"
        while [ $seen -lt 2 ]; do
            [ $SECONDS -lt $end ] || fail "no 100 points within 120s"
            sleep 1
            shot firing
            if [ "$(region_diff_percent "$PLAY_SHOT" "$SHOT" "$digits")" -ge 3 ]; then seen=$((seen + 1)); else seen=0; fi
        done
        xdotool "${how}up" "$control"
    done
}


start_game "$RUN" "$BRUMZEL_BIN" --record game.rec
wait_for_region intro "$TITLE" 50x50+85+285 60 2 # the plain title where the menu's balls will be
colour_above "rgb(255,255,0)" 600x70+100+175 300 "$SHOT" || fail "the intro shows no yellow lines"
wait_for_menu 60
from=$(sound_position)
sleep 2
sound_not_silent "$from" "$(sound_position)" || fail "no music with the menu"

# --- a one-player game: a volley at the bumpers, Escape, a name ---
click_at 110 310
play_to_hundred one "$P1_HUNDREDS mouse 1"
sound_not_silent "$PLAY_FROM" "$(sound_position)" || fail "the game is silent during play"
press_key Escape
wait_until game-over 30 game_over_shown
name_turn Rita
wait_for_menu 60

# --- a two-player game: player 1 fires with the mouse, player 2 with Left Ctrl ---
click_at 283 511
play_to_hundred two "$P1_HUNDREDS mouse 1" "$P2_HUNDREDS key Control_L"
press_key s 0.2
press_key Escape
wait_until game-over2 30 game_over_shown
name_turn Max7
name_turn Zoe2
wait_for_menu 60

# --- the saved table: 400 bytes of ten records (score, name), three names of 100 points or more,
# highest first ---
[ "$(stat -c %s "$RUN/highscores.bin")" = 400 ] || fail "highscores.bin is not 400 bytes"
python3 - "$RUN/highscores.bin" >"$WORK/table.txt" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
for n in range(10):
    score, name = struct.unpack_from("<i33s", data, 40 * n)
    print("%d\t%s" % (score, name.split(b"\0")[0].decode("latin-1")))
PY
log "saved table: $(tr '\t\n' ' ;' <"$WORK/table.txt")"
for name in Rita Max7 Zoe2; do
    score=$(awk -F'\t' -v n="$name" '$2 == n {print $1}' "$WORK/table.txt")
    [ -n "$score" ] && [ "$score" -ge 100 ] || fail "$name is not in the table with 100 points or more"
done
sort -s -t$'\t' -k1,1nr "$WORK/table.txt" | cmp -s - "$WORK/table.txt" || fail "not highest first"

quit_through_credits
cp "$RUN/dump.pcx" "$WORK/game-dump.pcx" || fail "S saved no picture"

# --- the two-player game's recording: the timedemo to the table's scores and the S picture ---
(cd "$RUN" && "$BRUMZEL_BIN" --timedemo game-2.rec) >"$WORK/timedemo.out" 2>&1 ||
    fail "the timedemo did not play the game back exactly: $(cat "$WORK/timedemo.out")"
cat "$WORK/timedemo.out" >&2
kept=$(awk -F'\t' '$2 == "Max7" {a = $1} $2 == "Zoe2" {b = $1} END {print a, b}' "$WORK/table.txt")
played=$(sed -n 's/^final scores: player 1 \([0-9]*\), player 2 \([0-9]*\).*/\1 \2/p' "$WORK/timedemo.out")
[ "$played" = "$kept" ] || fail "the timedemo ends on $played, the game kept $kept"
[ "$(compare -metric AE "$WORK/game-dump.pcx" "$RUN/dump.pcx" null: 2>&1)" = 0 ] ||
    fail "the timedemo's S picture differs from the game's"

# --- the replay in a window, back to the menu. The capture may run ahead of real time: its
# sounds are sought from the start of this run's capture to "GAME OVER", before the menu's music.
cp "$RUN/highscores.bin" "$WORK/table-before"
start_game "$RUN" "$BRUMZEL_BIN" --window --replay game.rec
wait_for_region replay "$FIELD" 120x30+265+105 30
wait_until replay-over 90 game_over_shown
sound_not_silent 0 "$(sound_position)" || fail "the replay is silent"
wait_for_menu 90
! grep -q "out of step" "$WORK/game.err" || fail "the watched replay went out of step"
cmp -s "$RUN/highscores.bin" "$WORK/table-before" || fail "the replay changed the table"
quit_through_credits
echo "whole play-through, its timedemo and its replay done in ${SECONDS}s"
