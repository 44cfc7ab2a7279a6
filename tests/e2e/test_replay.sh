#!/bin/bash
# A game recorded by hand: a two-player volley under --record, ended by Escape, names entered;
# --timedemo of the file must end on the scores the game kept and save the same S picture; then
# --replay of it shows the game in a window, with its sounds, and returns to the menu without
# touching the table.
source "$(dirname "$0")/lib.sh"
e2e_init replay

# After a game: names for each side whose score entered the table, until the menu is back.
name_sides() {
    local side=1
    while :; do
        wait_until after-game 90 panel_or_menu
        menu_shown "$SHOT" && return 0
        name_turn "P$side" 10
        side=$((side + 1))
    done
}
panel_or_menu() { panel_shown "$1" || menu_shown "$1"; }
# The score the table keeps under a name; 40 (the tenth place, not entered) when it has none.
table_score() {
    python3 - "$RUN/highscores.bin" "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
scores = [struct.unpack_from("<i33s", data, 40 * n) for n in range(10)]
print(next((s for s, n in scores if n.split(b"\0")[0] == sys.argv[2].encode()), 40))
PY
}

start_game "$RUN" "$BRUMZEL_BIN" --record "$RUN/game.rec"
wait_for_menu 60
click_at 283 511
wait_for_region play "$FIELD" 120x30+265+105 40
move_to 10 40
xdotool mousedown 1 keydown Control_L
sleep 4
press_key s 0.2
xdotool keydown Down
sleep 4
xdotool mouseup 1 keyup Control_L keyup Down
press_key Escape
name_sides
cp "$RUN/dump.pcx" "$WORK/game-dump.pcx" || fail "S saved no picture"
[ -s "$RUN/game.rec" ] || fail "no recording was written"

p1=$(table_score P1) p2=$(table_score P2)
log "the table keeps player 1 at $p1, player 2 at $p2"
(cd "$RUN" && "$BRUMZEL_BIN" --timedemo game.rec) >"$WORK/timedemo.out" 2>&1 ||
    fail "the timedemo did not play the game back exactly: $(cat "$WORK/timedemo.out")"
cat "$WORK/timedemo.out" >&2
read -r t1 t2 < <(sed -n 's/^final scores: player 1 \([0-9]*\), player 2 \([0-9]*\).*/\1 \2/p' "$WORK/timedemo.out")
# A side below the table's tenth place has no name there: its score is at most 40.
for pair in "$p1 $t1" "$p2 $t2"; do
    read -r kept played <<<"$pair"
    [ "$played" = "$kept" ] || { [ "$kept" = 40 ] && [ "$played" -le 40 ]; } ||
        fail "the timedemo ends on $t1 and $t2, the game on $p1 and $p2"
done
[ "$(compare -metric AE "$WORK/game-dump.pcx" "$RUN/dump.pcx" null: 2>&1)" = 0 ] ||
    fail "the timedemo's S picture differs from the game's"

# --- the replay, in a window, back to the menu ---
quit_through_credits
cp "$RUN/highscores.bin" "$WORK/table-before"
# The capture may run ahead of real time: the replay's sounds are sought from the start of the
# game's capture (each run of the game starts it afresh) to its "GAME OVER", before the menu's
# music.
start_game "$RUN" "$BRUMZEL_BIN" --window --replay game.rec
wait_for_region replay "$FIELD" 120x30+265+105 30
wait_until replay-over 60 colour_above "$WHITE" 330x60+245+95 400
sound_not_silent 0 "$(sound_position)" || fail "the replay is silent"
wait_for_menu 90
! grep -q "out of step" "$WORK/game.err" || fail "the watched replay went out of step"
cmp -s "$RUN/highscores.bin" "$WORK/table-before" || fail "the replay changed the table"
quit_through_credits
echo "recorded, timed and watched in ${SECONDS}s"
