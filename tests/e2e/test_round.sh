#!/bin/bash
# The round trip through the game: intro, the title menu and its five balls, a one-player game
# with player 1 firing, a two-player game with player 2 firing, Escape, quit and the credits.
source "$(dirname "$0")/lib.sh"
e2e_init round

# Regions that tell the screens apart.
CORNER=90x60+0+0            # top-left corner: plain backdrop on the title, help and table
ONE_PLAYER_BALL=50x50+85+285 # middle of the one-player ball, plain title in the intro
OPEN_FIELD=120x90+150+420   # empty floor of the field, below the launch line
LEFT_BAR_END="110 80"       # last pixel of the full left balls-left bar (400 balls)
RIGHT_BAR_END="785 80"      # the same on the right

# True when pixel X Y of a screenshot is the grey LEVEL of a balls-left bar, within the
# rounding of a 16-bit display.
is_grey() {
    local c
    for c in $(pixel "$1" "$2" "$3"); do
        [ $((c - $4)) -ge -6 ] && [ $((c - $4)) -le 6 ] || return 1
    done
}

write_unbeatable_table "$RUN/highscores.bin"
start_game

# --- intro, then the menu ---
wait_for_region intro "$TITLE" "$ONE_PLAYER_BALL" 30; s=$SHOT
log "intro: $s"
wait_for_menu 40; s=$SHOT
log "menu: $s"

# --- a click off every ball does nothing ---
click_at 450 380
click_at 10 590
click_at 790 10
# Both buttons together on a ball are no click, and the keyboard does nothing here.
move_to 110 310
xdotool mousedown 3 && sleep 0.1 && xdotool mousedown 1 && sleep 0.3
xdotool mouseup 1 && sleep 0.1 && xdotool mouseup 3
press_key Return
press_key Escape
press_key space
sleep 1.5
shot after-clicks-off; s=$SHOT
menu_shown "$s" || fail "a click off the balls, both buttons or a key left the menu"

# --- high scores and back ---
click_at 386 206
wait_for_region hiscores "$TABLE" "$CORNER" 20; s=$SHOT
log "high-score table: $s"
click_at 706 503
wait_for_menu 20; s=$SHOT
log "back at the menu from the table"

# --- help and back ---
click_at 599 503
wait_for_region help "$HELP" "$CORNER" 20; s=$SHOT
log "help: $s"
click_at 706 503
wait_for_menu 20; s=$SHOT
log "back at the menu from help"

# --- a one-player game: get ready, player 1 fires, Escape ---
GET_READY_TEXT=120x30+265+105  # under "GET READY"; plain floor once play runs
FLIGHT_LINE=150x30+80+278      # in front of the left launcher, where its balls fly

click_at 110 310
wait_for_region field "$FIELD" "$OPEN_FIELD" 20; s=$SHOT
sleep 1.5
shot countdown; s=$SHOT
log "countdown: $s"
region_matches "$s" "$FIELD" "$GET_READY_TEXT" && fail "no GET READY over the field"
wait_for_region play "$FIELD" "$GET_READY_TEXT" 20; s=$SHOT
log "play: $s"
is_grey "$s" $LEFT_BAR_END 64 || fail "the left balls-left bar is not full at the start"
is_grey "$s" $RIGHT_BAR_END 32 || fail "the right balls-left bar is not full at the start"

move_to 10 80
shot before-firing; before=$SHOT
xdotool mousedown 1
sleep 2
shot firing; s=$SHOT
xdotool mouseup 1
log "firing: $s"
[ "$(region_diff_percent "$s" "$before" "$FLIGHT_LINE")" -ge 1 ] ||
    fail "no balls in flight in front of the left launcher"
is_grey "$s" $LEFT_BAR_END 64 && fail "the left balls-left bar did not shrink"

press_key s 0.3
[ "$(identify -format %wx%h "$RUN/dump.pcx" 2>/dev/null)" = 800x600 ] ||
    fail "S did not save an 800x600 dump.pcx"

press_key Escape
wait_for_region_gone game-over "$FIELD" "$GET_READY_TEXT" 10; s=$SHOT
log "game over: $s"
wait_for_menu 90; s=$SHOT
log "back at the menu after the game"

# --- a two-player game: player 2 fires with the left Ctrl key ---
click_at 283 511
wait_for_region field2 "$FIELD" "$OPEN_FIELD" 20; s=$SHOT
wait_for_region play2 "$FIELD" "$GET_READY_TEXT" 20; s=$SHOT
is_grey "$s" $RIGHT_BAR_END 32 || fail "the right balls-left bar is not full at the start"
xdotool keydown Control_L
sleep 2
shot p2-firing; s=$SHOT
xdotool keyup Control_L
log "player 2 firing: $s"
is_grey "$s" $RIGHT_BAR_END 32 && fail "the right balls-left bar did not shrink"
press_key Escape
wait_for_menu 90; s=$SHOT

# --- quit: the credits, then the end ---
click_at 696 264
wait_for_region credits "$TITLE" "$ONE_PLAYER_BALL" 20; s=$SHOT
log "credits: $s"
sleep 1
click_at 706 503
wait_exit 30
status=$EXIT_STATUS
[ "$status" = 0 ] || fail "exit status $status after quitting, expected 0"
echo "round trip done"
