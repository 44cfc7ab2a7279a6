#!/bin/bash
# A whole run of the game as a player plays it, driven only by mouse and keyboard: intro, menu,
# help, the high-score table, a one-player game with a name entered, a two-player game with both
# names entered, quit and the credits. Then a second run whose table no score can beat, which
# asks for no name. Screens are told apart by their backdrops, the high-score file is read back,
# the sound is compared with the title music, and the game's memory is measured.
source "$(dirname "$0")/lib.sh"
e2e_init playthrough

CORNER=90x60+0+0            # top-left corner: plain backdrop on the title, help and table
ONE_PLAYER_BALL=50x50+85+285 # middle of the one-player ball, plain title in the intro
GET_READY_TEXT=120x30+265+105  # under "GET READY"; plain floor once play runs
OPEN_FIELD=120x90+150+420   # empty floor of the field, below the launch line
BUMPERS=200x190+305+205     # the starting triangle of bumpers
CAPTION=330x60+245+95       # where "GAME OVER" is printed
P1_HUNDREDS=48x19+10+30     # the first three of player 1's five score digits
P2_HUNDREDS=48x19+690+30    # the same for player 2
BARREL_LOW=30x20+768+303    # behind the right launcher's pivot, below and above its level
BARREL_HIGH=30x20+768+268
PANEL=600x125+5+460         # the name-entry panel: entry 8 from (5,5) drawn at (5,460)
PANEL_PLAIN=170x35+195+495  # a part of the panel that no text covers
HEADING=200x20+18+473       # "Player N-A new hi-score"
HEADING_DIGIT=14x16+74+476  # the N of that heading
NAME_BOX=200x50+370+500     # the box the typed name is drawn in
UNDER_PANEL=300x100+10+480   # the table backdrop where the panel lies during name entry
TABLE_BALL=60x60+676+473    # the middle of the table screen's spinning quit ball

MAX_MIB=100
START=$SECONDS

place_backdrop 8 600x125+5+5 5 460
PANEL_REF=$PLACED
export_sample 37
TITLE_MUSIC=$SAMPLE_WAV

# Name and score columns of table row A (0-9), as drawn with its shadow (which stops at y 454).
row_geom() { echo "300x28+278+$((156 + 30 * $1))"; }

panel_shown() {
    region_matches "$1" "$PANEL_REF" "$PANEL" 25 && region_matches "$1" "$PANEL_REF" "$PANEL_PLAIN" 2 &&
        region_matches "$1" "$TABLE" "$CORNER"
}
# The table screen on its own: its backdrop where the panel would lie, and the spinning ball.
table_shown() {
    region_matches "$1" "$TABLE" "$CORNER" && region_matches "$1" "$TABLE" "$UNDER_PANEL" 5 &&
        ! region_matches "$1" "$TABLE" "$TABLE_BALL" 20
}
game_over_shown() {
    colour_above "rgb(255,255,255)" "$CAPTION" 400 "$1" && region_matches "$1" "$FIELD" "$OPEN_FIELD" 40
}
# The first three score digits no longer show the zeros of the start: at least 100 points.
hundreds_reached() { [ "$(region_diff_percent "$3" "$1" "$2")" -ge 3 ]; }

# Holds a fire control (a mouse button, or a key) until that side's score shows at least 100
# points on two screenshots in a row.
fire_until_hundred() {
    local label=$1 start_shot=$2 digits=$3 how=$4 control=$5 seen=0 end=$((SECONDS + 120))
    xdotool "${how}down" "$control"
    while [ $seen -lt 2 ]; do
        [ $SECONDS -lt $end ] || { xdotool "${how}up" "$control"; fail "$label: no 100 points in 120s"; }
        sleep 1
        shot "$label"
        if hundreds_reached "$start_shot" "$digits" "$SHOT"; then seen=$((seen + 1)); else seen=0; fi
    done
    xdotool "${how}up" "$control"
}

# Types NAME plus one stray letter and takes that letter back with Backspace, checking the name
# box after each step; then Enter.
enter_name() {
    local name=$1 typed stray
    type_text "$name"
    sleep 0.5
    shot "typed-$name"
    typed=$SHOT
    colour_above "rgb(255,255,255)" 180x30+380+510 20 "$typed" || fail "the name box shows no typed name"
    type_text q
    sleep 0.5
    shot stray-letter
    stray=$SHOT
    [ "$(region_diff_percent "$stray" "$typed" "$NAME_BOX")" -ge 1 ] ||
        fail "a stray letter did not show in the name box"
    press_key BackSpace
    sleep 0.5
    shot backspace
    region_matches "$SHOT" "$typed" "$NAME_BOX" 0 || fail "Backspace did not take the stray letter back"
    press_key Return
}

# After a name entry: the table shows the new row at a place where the earlier table had
# a lower score, the rows above unchanged and the rows below moved down by one. Sets ROW.
check_new_row() {
    local before=$1 after=$2 a d
    ROW=-1
    for a in $(seq 0 9); do
        d=$(regions_diff_percent "$before" "$(row_geom $a)" "$after" "$(row_geom $a)")
        if [ "$d" -gt 1 ]; then ROW=$a; break; fi
    done
    [ $ROW -ge 0 ] || fail "the table shows no new row"
    for a in $(seq $((ROW + 1)) 9); do
        d=$(regions_diff_percent "$before" "$(row_geom $((a - 1)))" "$after" "$(row_geom $a)")
        [ "$d" -le 1 ] || fail "row $((a + 1)) of the table is not the earlier row $a moved down"
    done
    log "the new name is in place $((ROW + 1))"
}

# One qualifying player's turn after a game: the panel with its heading, the name typed, the
# table with the name in its place, a click on the ball. Sets HEADING_SHOT and ROW.
name_turn() {
    local name=$1 entry
    wait_until "entry-$name" 90 panel_shown
    entry=$SHOT
    HEADING_SHOT=$entry
    log "name entry for $name: $entry"
    enter_name "$name"
    move_to 706 503
    wait_until "table-$name" 30 table_shown
    check_new_row "$entry" "$SHOT"
    click_at 706 503
}

# The name in place ROW of the saved table must be NAME.
check_saved_name() {
    local got
    got=$(score_file_lines "$RUN/highscores.bin" | sed -n "$(($2 + 1))p" | cut -f2)
    [ "$got" = "$1" ] || fail "place $(($2 + 1)) of highscores.bin holds '$got', not '$1'"
}

# Waits for the first frame of play: the field, then "GET READY" gone. Sets PLAY_SHOT.
wait_for_play() {
    wait_for_region "field-$1" "$FIELD" "$OPEN_FIELD" 30
    wait_for_region "play-$1" "$FIELD" "$GET_READY_TEXT" 30
    PLAY_SHOT=$SHOT
    region_matches "$PLAY_SHOT" "$FIELD" "$BUMPERS" 10 && fail "no bumpers on the field"
}

# ================= first run: a clean folder with no high-score file =================
start_game

# --- the intro: the plain title picture with its yellow lines ---
wait_for_region intro "$TITLE" "$ONE_PLAYER_BALL" 60 2
colour_above "rgb(255,255,0)" 600x70+100+175 300 "$SHOT" || fail "the intro shows no yellow lines"

# --- the menu, and the title music playing while it is open ---
wait_for_menu 60
menu_from=$(sound_position)
sleep 3
menu_to=$(sound_position)
menu_rms=$(sound_rms "$menu_from" "$menu_to")
sound_like_sample "$menu_from" "$menu_to" "$TITLE_MUSIC"
log "menu sound $menu_from-${menu_to}s: RMS $menu_rms; against the title music: loudness" \
    "$SOUND_ENVELOPE, waveform $SOUND_WAVE at ${SOUND_AT}s into it"
awk -v w="$SOUND_WAVE" 'BEGIN { exit !(w >= 0.8) }' ||
    fail "the sound while the menu is open is not the title music (waveform correlation $SOUND_WAVE)"
music_wave=$SOUND_WAVE

# --- help and back ---
click_at 599 503
wait_for_region help "$HELP" "$CORNER" 30
region_matches "$SHOT" "$HELP" 300x300+100+150 10 || fail "the help page is not the help picture"
click_at 706 503
wait_for_menu 30

# --- the high-score table and back ---
click_at 386 206
wait_until table-defaults 30 table_shown
default_table=$SHOT
click_at 706 503
wait_for_menu 30
[ -e "$RUN/highscores.bin" ] && fail "highscores.bin was written before any score qualified"

# --- a one-player game: a volley at the bumpers until the score bar shows 100 points ---
click_at 110 310
wait_for_play one
move_to 10 80
play_from=$(sound_position)
fire_until_hundred p1-firing "$PLAY_SHOT" "$P1_HUNDREDS" mouse 1
play_to=$(sound_position)
play_rms=$(sound_rms "$play_from" "$play_to")
log "player 1 reached 100 points: $SHOT; sound while firing RMS $play_rms"
sound_not_silent "$play_from" "$play_to" || fail "the game is silent during play"
[ "$(region_diff_percent "$SHOT" "$PLAY_SHOT" "$BUMPERS")" -ge 10 ] || fail "the bumpers did not move"

press_key Escape
wait_until game-over 30 game_over_shown
burst=$(region_diff_percent "$SHOT" "$FIELD" "$BUMPERS")
[ "$burst" -ge 10 ] || fail "no burst of particles where the bumpers were"

# --- name entry for player 1, then the table with the name in its place ---
name_turn Rita
player1_heading=$HEADING_SHOT
for a in $(seq 0 9); do
    [ "$(regions_diff_percent "$default_table" "$(row_geom $a)" "$player1_heading" "$(row_geom $a)")" -le 1 ] ||
        fail "the name entry's backdrop is not the table shown from the menu (row $((a + 1)))"
done
wait_for_menu 60
[ "$(stat -c %s "$RUN/highscores.bin")" = 400 ] || fail "highscores.bin is not 400 bytes"
[ $ROW = 0 ] || fail "100 points or more did not take the first place from the defaults"
check_saved_name Rita 0

# --- a two-player game: player 1 fires with the mouse, player 2 with Left Ctrl ---
click_at 283 511
wait_for_play two
move_to 10 80
fire_until_hundred p1-firing2 "$PLAY_SHOT" "$P1_HUNDREDS" mouse 1
log "player 1 reached 100 points: $SHOT"
fire_until_hundred p2-firing "$PLAY_SHOT" "$P2_HUNDREDS" key Control_L
log "player 2 reached 100 points: $SHOT"
# Player 2 aims with Up and Down: Up turns the right launcher's muzzle upward (its barrel
# then lies below the pivot), Down the other way.
sleep 0.5
shot aim-level
level=$SHOT
press_key Up 1.2
shot aim-up
up=$SHOT
press_key Down 2.4
shot aim-down
down=$SHOT
shows_region "$FIELD" "$BARREL_LOW" 5 "$level" && shows_region "$FIELD" "$BARREL_HIGH" 5 "$level" ||
    fail "the right launcher does not start level"
lacks_region "$FIELD" "$BARREL_LOW" 20 "$up" && shows_region "$FIELD" "$BARREL_HIGH" 5 "$up" ||
    fail "Up did not turn the right launcher's muzzle upward"
lacks_region "$FIELD" "$BARREL_HIGH" 20 "$down" && shows_region "$FIELD" "$BARREL_LOW" 5 "$down" ||
    fail "Down did not turn the right launcher's muzzle downward"

press_key Escape
wait_until game-over2 30 game_over_shown

# --- both players qualify: player 1 names first, then player 2 ---
name_turn Max7
region_matches "$HEADING_SHOT" "$player1_heading" "$HEADING" 0 ||
    fail "the first name entry after a two-player game is not player 1's"
row1=$ROW
name_turn Zoe2
[ "$(region_diff_percent "$HEADING_SHOT" "$player1_heading" "$HEADING_DIGIT")" -ge 10 ] ||
    fail "the second name entry after a two-player game is not player 2's"
row2=$ROW
wait_for_menu 60

# --- the saved table: 400 bytes, the three names in place, scores in descending order ---
size=$(stat -c %s "$RUN/highscores.bin")
[ "$size" = 400 ] || fail "highscores.bin is $size bytes, not 400"
score_file_lines "$RUN/highscores.bin" >"$WORK/table.txt"
log "saved table: $(tr '\t\n' ' ;' <"$WORK/table.txt")"
check_saved_name Zoe2 $row2
for name in Rita Max7 Zoe2; do
    score=$(awk -F'\t' -v n="$name" '$2 == n {print $1}' "$WORK/table.txt")
    [ -n "$score" ] && [ "$score" -ge 100 ] || fail "$name is not in the saved table with 100 points or more"
done
sort -s -t$'\t' -k1,1nr "$WORK/table.txt" | cmp -s - "$WORK/table.txt" ||
    fail "the saved scores are not in descending order"
[ "$(cut -f1 "$WORK/table.txt" | grep -c '^40$')" = 2 ] ||
    fail "three new names should leave two of the five 40-point places"
[ $row1 -le 1 ] && [ $row2 -le 2 ] || fail "new names of 100 points or more below the earlier ones' places"

# --- quit, the credits, a click on the ball, exit status 0 ---
peak=$(game_peak_mib)
log "peak memory of the first run: $peak MiB"
[ "$peak" -gt 0 ] && [ "$peak" -le $MAX_MIB ] || fail "the game used $peak MiB"
click_at 696 264
wait_until credits 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
region_matches "$SHOT" "$TITLE" "$ONE_PLAYER_BALL" 2 || fail "the credits are not over the title picture"
sleep 1
click_at 706 503
wait_exit 30
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the credits"

# ================= second run: a table no reachable score beats =================
RUN="$WORK/run2"
mkdir -p "$RUN"
cp "$GAMEDATA" "$RUN/GAMEDATA.DAT"
write_unbeatable_table "$RUN/highscores.bin"
cp "$RUN/highscores.bin" "$WORK/unbeatable.bin"
start_game
wait_for_menu 60
click_at 110 310
wait_for_play unbeatable
move_to 10 80
fire_until_hundred p1-unbeatable "$PLAY_SHOT" "$P1_HUNDREDS" mouse 1
press_key Escape
wait_until game-over3 30 game_over_shown
# From the burst straight back to the menu: no name entry, no table on the way.
end=$((SECONDS + 90))
while :; do
    [ $SECONDS -lt $end ] || fail "the menu did not come back after the game"
    shot after-game
    menu_shown "$SHOT" && break
    panel_shown "$SHOT" && fail "a name was asked for although no score beats the table"
    region_matches "$SHOT" "$TABLE" "$CORNER" && fail "the table was shown although no score beats it"
    game_running || fail "the game ended after the game over"
    sleep 0.3
done
cmp -s "$RUN/highscores.bin" "$WORK/unbeatable.bin" || fail "the unbeaten high-score file changed"
peak2=$(game_peak_mib)
[ "$peak2" -gt 0 ] && [ "$peak2" -le $MAX_MIB ] || fail "the second run used $peak2 MiB"
click_at 696 264
wait_until credits2 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
sleep 1
click_at 706 503
wait_exit 30
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the second run"

log "figures: $((SECONDS - START))s in all; peak memory $peak and $peak2 MiB;" \
    "menu sound RMS $menu_rms (title music waveform correlation $music_wave);" \
    "sound while firing RMS $play_rms"
echo "whole play-through done"
