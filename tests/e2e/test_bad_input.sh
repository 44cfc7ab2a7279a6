#!/bin/bash
# Bad input that only the running game shows: a missing or damaged data file stops it with
# status 1 and a message naming the file; a table it cannot read does not stop it; a score
# folder it cannot write leaves the old file as it was, and the game goes on.
source "$(dirname "$0")/lib.sh"
# A run killed before its exit trap may have left the folder read-only: undo that first.
chattr -R -i "$E2E_OUT/bad_input" 2>/dev/null
umount "$E2E_OUT/bad_input/run" 2>/dev/null
e2e_init bad_input
READ_ONLY=""
trap '[ "$READ_ONLY" = chattr ] && chattr -i "$RUN" "$RUN/highscores.bin"
      [ "$READ_ONLY" = mount ] && umount "$RUN"; e2e_cleanup' EXIT

refused() {
    local w end=$((SECONDS + 30))
    start_game
    while game_running && [ $SECONDS -lt $end ]; do
        # The library may show its message in a box (an xmessage window) that waits for OK.
        for w in $(xdotool search --class Xmessage 2>/dev/null); do xdotool key --window "$w" Return; done
        sleep 0.1
    done
    wait_exit 30
    [ "$EXIT_STATUS" = 1 ] || fail "$1: exit status $EXIT_STATUS, expected 1"
    grep -q "cannot start: GAMEDATA.DAT" "$WORK/game.err" || fail "$1: no message naming the file"
}
rm "$RUN/GAMEDATA.DAT"
refused "no data file"
head -c 100000 "$GAMEDATA" >"$RUN/GAMEDATA.DAT"
refused "a data file cut short"
cp "$GAMEDATA" "$RUN/GAMEDATA.DAT"

# A folder in place of the table: the game comes up all the same and ends as usual.
mkdir "$RUN/highscores.bin"
start_game
wait_for_menu 60
quit_through_credits
rmdir "$RUN/highscores.bin"

# A folder not even root can write to, with a table any score beats (1 point in every place).
for a in 0 1 2 3 4 5 6 7 8 9; do printf '\x01\0\0\0Old%d\0%31s' $a ''; done >"$WORK/old.bin"
cp "$WORK/old.bin" "$RUN/highscores.bin"
if chattr +i "$RUN/highscores.bin" "$RUN" 2>/dev/null; then
    READ_ONLY=chattr
elif mount --bind "$RUN" "$RUN" && mount -o remount,bind,ro "$RUN"; then
    READ_ONLY=mount
fi
touch "$RUN/probe" 2>/dev/null && fail "cannot make the folder read-only"
start_game
wait_for_menu 60
click_at 110 310
wait_for_region play "$FIELD" 120x30+265+105 40
move_to 10 80
xdotool mousedown 1
sleep 4
xdotool mouseup 1
press_key Escape
wait_until name-entry 90 colour_above "rgb(255,255,255)" 200x1+370+500 190
type_text Bad
press_key Return
wait_for_region table "$TABLE" 90x60+0+0 30
click_at 706 503
wait_for_menu 60
cmp -s "$RUN/highscores.bin" "$WORK/old.bin" || fail "the failed save changed highscores.bin"
[ -e "$RUN/highscores.bin.tmp" ] && fail "the failed save left a temporary file"
quit_through_credits
echo "bad data files refused; an unreadable table and a failed save survived"
