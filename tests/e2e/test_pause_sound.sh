#!/bin/bash
# A quiet terminal and a pause: a bad volume is refused with the usage; without a sound device
# the game says one line of its own and plays on; with sound it says nothing; P holds a running
# game still, the count on the score bar included, and P goes on.
source "$(dirname "$0")/lib.sh"
e2e_init pause_sound

"$BRUMZEL_BIN" --volume 500 >"$WORK/volume.out" 2>&1
status=$?
[ $status = 2 ] && grep -q "^Usage:" "$WORK/volume.out" || fail "--volume 500: status $status"

# No sound device: ALSA's default is a card that is not there.
mkdir -p "$WORK/silent"
printf 'pcm.!default { type hw; card 99 }\nctl.!default { type hw; card 99 }\n' >"$WORK/silent/.asoundrc"
HOME="$WORK/silent" start_game
wait_for_region intro "$TITLE" 50x50+85+285 60 2
kill -9 "$GAME_PID" && wait "$GAME_PID" 2>/dev/null
GAME_PID=""
[ "$(wc -l <"$WORK/game.err")" = 1 ] && grep -q "^no sound: " "$WORK/game.err" ||
    fail "without a sound device: $(head -3 "$WORK/game.err")"

start_game
wait_for_menu 60
click_at 110 310
wait_for_region play "$FIELD" 120x30+265+105 40
sleep 1
press_key p
sleep 0.5
shot paused
PAUSED_SHOT=$SHOT
colour_above "rgb(255,255,255)" 300x60+250+400 400 "$SHOT" || fail "no PAUSED over the field"
sleep 4
shot still-paused
[ "$(compare -metric AE "$PAUSED_SHOT" "$SHOT" null: 2>&1)" = 0 ] || fail "the paused game moved"
press_key p
sleep 1
shot going-on
region_matches "$SHOT" "$FIELD" 120x30+265+105 || fail "the game did not go on"
[ ! -s "$WORK/game.err" ] || fail "a start with sound printed: $(head -3 "$WORK/game.err")"
