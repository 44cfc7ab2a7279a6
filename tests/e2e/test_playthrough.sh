#!/bin/bash
# A whole run of the game as a player plays it, by mouse and keyboard alone: the intro, the menu
# and its music, help, the high-score table, a one-player game with a name entered, a two-player
# game with both names entered, quit and the credits. Screens are told apart by their backdrops,
# the saved table is read back, the sound is captured and the game's memory measured.
source "$(dirname "$0")/lib.sh"
e2e_init playthrough

CORNER=90x60+0+0              # plain backdrop on the title, help and table screens
ONE_PLAYER_BALL=50x50+85+285  # middle of the one-player ball: plain title in the intro
GET_READY_TEXT=120x30+265+105 # under "GET READY": plain floor once play runs
OPEN_FIELD=120x90+150+420     # empty floor of the field
BUMPERS=200x190+305+205       # the starting triangle of bumpers
CAPTION=330x60+245+95         # where "GAME OVER" is printed
P1_HUNDREDS=48x19+10+30       # the first three of player 1's five score digits
P2_HUNDREDS=48x19+690+30      # the same for player 2
BODY_LOW=30x20+768+303        # the right launcher's body, below and above its level
BODY_HIGH=30x20+768+268
HEADING=200x20+18+473         # "Player N-A new hi-score"
HEADING_DIGIT=14x16+74+476    # its N
UNDER_PANEL=300x100+10+480    # the table backdrop where the name-entry panel lies
TABLE_BALL=60x60+676+473      # the middle of the table screen's spinning quit ball
WHITE="rgb(255,255,255)"
START=$SECONDS

# Name entry: the table's backdrop and the white top edge of the name box.
panel_shown() { region_matches "$1" "$TABLE" "$CORNER" && colour_above "$WHITE" 200x1+370+500 190 "$1"; }
table_shown() {
    region_matches "$1" "$TABLE" "$CORNER" && region_matches "$1" "$TABLE" "$UNDER_PANEL" 5 &&
        ! region_matches "$1" "$TABLE" "$TABLE_BALL" 20
}
game_over_shown() { colour_above "$WHITE" "$CAPTION" 400 "$1"; }
# At least 100 points: the first three digits no longer show the zeros of the start.
hundreds() { [ "$(region_diff_percent "$PLAY_SHOT" "$SHOT" "$1")" -ge 3 ]; }

# Waits for the first frame of play: the field, then "GET READY" gone. Sets PLAY_SHOT.
wait_for_play() {
    wait_for_region "field-$1" "$FIELD" "$OPEN_FIELD" 30
    wait_for_region "play-$1" "$FIELD" "$GET_READY_TEXT" 30
    PLAY_SHOT=$SHOT
}

# Holds a fire control (a mouse button or a key) until the side's score shows 100 points on two
# screenshots in a row (a floating number may pass over the digits).
fire_until_hundred() {
    local digits=$1 how=$2 control=$3 seen=0 end=$((SECONDS + 120))
    xdotool "${how}down" "$control"
    while [ $seen -lt 2 ]; do
        [ $SECONDS -lt $end ] || fail "no 100 points within 120s"
        sleep 1
        shot firing
        if hundreds "$digits"; then seen=$((seen + 1)); else seen=0; fi
    done
    xdotool "${how}up" "$control"
}

# One player's name entry: the panel, the name typed with a stray letter taken back, Enter, the
# table, left by its ball. The panel's screenshot goes into ENTRY_SHOT.
name_turn() {
    wait_until "entry-$1" 90 panel_shown
    ENTRY_SHOT=$SHOT
    type_text "${1}q"
    press_key BackSpace
    press_key Return
    move_to 706 503
    wait_until "table-$1" 30 table_shown
    click_at 706 503
}

start_game
wait_for_region intro "$TITLE" "$ONE_PLAYER_BALL" 60 2
colour_above "rgb(255,255,0)" 600x70+100+175 300 "$SHOT" || fail "the intro shows no yellow lines"
wait_for_menu 60
from=$(sound_position)
sleep 2
sound_not_silent "$from" "$(sound_position)" || fail "no music with the menu"
menu_rms=$(sound_rms "$from" "$(sound_position)")
click_at 599 503
wait_for_region help "$HELP" "$CORNER" 30
click_at 706 503
wait_for_menu 30
click_at 386 206
wait_until table 30 table_shown
click_at 706 503
wait_for_menu 30
[ -e "$RUN/highscores.bin" ] && fail "highscores.bin was written before any score qualified"

# --- a one-player game: a volley at the bumpers, Escape, the burst, a name ---
click_at 110 310
wait_for_play one
move_to 10 80
from=$(sound_position)
fire_until_hundred "$P1_HUNDREDS" mouse 1
sound_not_silent "$from" "$(sound_position)" || fail "the game is silent during play"
play_rms=$(sound_rms "$from" "$(sound_position)")
[ "$(region_diff_percent "$SHOT" "$PLAY_SHOT" "$BUMPERS")" -ge 10 ] || fail "the bumpers did not move"
press_key Escape
wait_until game-over 30 game_over_shown
[ "$(region_diff_percent "$SHOT" "$FIELD" 600x400+100+100)" -ge 10 ] || fail "no burst over the field"
name_turn Rita
player1=$ENTRY_SHOT
wait_for_menu 60

# --- a two-player game: player 1 fires with the mouse, player 2 with Left Ctrl and aims ---
click_at 283 511
wait_for_play two
move_to 10 80
fire_until_hundred "$P1_HUNDREDS" mouse 1
fire_until_hundred "$P2_HUNDREDS" key Control_L
# Up turns the right launcher's muzzle upward, and its body behind the pivot down; Down back.
shot aim-level
region_matches "$SHOT" "$FIELD" "$BODY_LOW" 5 && region_matches "$SHOT" "$FIELD" "$BODY_HIGH" 5 ||
    fail "the right launcher does not start level"
press_key Up 1.2
shot aim-up
! region_matches "$SHOT" "$FIELD" "$BODY_LOW" 20 && region_matches "$SHOT" "$FIELD" "$BODY_HIGH" 5 ||
    fail "Up did not turn the right launcher upward"
press_key Down 2.4
shot aim-down
! region_matches "$SHOT" "$FIELD" "$BODY_HIGH" 20 && region_matches "$SHOT" "$FIELD" "$BODY_LOW" 5 ||
    fail "Down did not turn the right launcher downward"
press_key Escape
wait_until game-over2 30 game_over_shown
name_turn Max7
region_matches "$ENTRY_SHOT" "$player1" "$HEADING" 0 || fail "player 1 does not name first"
name_turn Zoe2
[ "$(region_diff_percent "$ENTRY_SHOT" "$player1" "$HEADING_DIGIT")" -ge 10 ] ||
    fail "the second name entry is not player 2's"
wait_for_menu 60

# --- the saved table: 400 bytes, three names of 100 points or more, highest first ---
[ "$(stat -c %s "$RUN/highscores.bin")" = 400 ] || fail "highscores.bin is not 400 bytes"
score_file_lines "$RUN/highscores.bin" >"$WORK/table.txt"
log "saved table: $(tr '\t\n' ' ;' <"$WORK/table.txt")"
for name in Rita Max7 Zoe2; do
    score=$(awk -F'\t' -v n="$name" '$2 == n {print $1}' "$WORK/table.txt")
    [ -n "$score" ] && [ "$score" -ge 100 ] || fail "$name is not in the table with 100 points or more"
done
sort -s -t$'\t' -k1,1nr "$WORK/table.txt" | cmp -s - "$WORK/table.txt" || fail "not highest first"
[ "$(grep -c $'^40\t' "$WORK/table.txt")" = 2 ] || fail "three new names leave two of the five 40s"

# --- quit through the credits: exit status 0 ---
peak=$(game_peak_mib)
[ "$peak" -gt 0 ] && [ "$peak" -le 100 ] || fail "the game used $peak MiB"
click_at 696 264
wait_until credits 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
region_matches "$SHOT" "$TITLE" "$ONE_PLAYER_BALL" 2 || fail "the credits are not over the title"
click_at 706 503
wait_exit 30
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the credits"
log "figures: $((SECONDS - START))s; peak memory $peak MiB; sound RMS $menu_rms with the menu," \
    "$play_rms while firing"
echo "whole play-through done"
