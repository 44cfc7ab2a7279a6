#!/bin/bash
# A one-player game under X: player 1 fires at the bumpers, which are knocked about while
# points reach the score bar; Escape ends the game and the bumpers burst under "GAME OVER".
source "$(dirname "$0")/lib.sh"
e2e_init simulation

BUMPERS="200x190+305+205"     # the starting triangle of bumpers
P1_SCORE="110x30+5+25"        # player 1's score on the bar
CAPTION="330x60+245+95"       # where "GAME OVER" is printed

# Per cent of region differing from a picture, within limits.
differs_between() {
    local d
    d=$(region_diff_percent "$5" "$1" "$2")
    [ "$d" -ge "$3" ] && [ "$d" -le "$4" ]
}

write_unbeatable_table "$RUN/highscores.bin"
start_game
# The menu: the title picture with the one-player ball spinning over it (the intro has none).
wait_for_menu 60
click_at 110 310

# The field appears under "GET READY"; play starts once the count is over.
wait_until field 40 differs_between "$FIELD" 150x100+600+400 0 20
sleep 5
shot play-start
before=$SHOT
[ "$(region_diff_percent "$before" "$FIELD" "$BUMPERS")" -ge 10 ] || fail "no bumpers drawn"

# Hold the left button: a ball every 16 logic steps, straight at the triangle.
move_to 10 80
xdotool mousedown 1
sleep 4
xdotool mouseup 1
sleep 1.5
shot after-firing
after=$SHOT
moved=$(region_diff_percent "$before" "$after" "$BUMPERS")
log "bumper area changed by $moved%"
[ "$moved" -ge 10 ] || fail "the bumpers did not move (only $moved% of their area changed)"
scored=$(region_diff_percent "$before" "$after" "$P1_SCORE")
log "player 1's score area changed by $scored%"
[ "$scored" -ge 2 ] || fail "no points reached player 1's score on the bar"

press_key Escape
wait_until gameover 20 colour_above "rgb(255,255,255)" "$CAPTION" 400
over=$SHOT
burst=$(region_diff_percent "$over" "$FIELD" "$BUMPERS")
log "game over at $over; the bumper area differs from the bare field by $burst%"
[ "$burst" -ge 10 ] || fail "no burst of particles where the bumpers were"
colours=$(convert "$over" -crop "$BUMPERS" +repage -colors 64 -unique-colors -format '%w' info:)
log "colours in the burst: $colours"
[ "$colours" -ge 16 ] || fail "the burst is not in the logo's colours ($colours colours)"
echo "bumpers knocked about, points scored, game over with the burst"
