#!/bin/bash
# The game starts, shows its intro card with its sound, and a player leaves through the
# menu's quit ball and the credits with exit status 0.
source "$(dirname "$0")/lib.sh"
e2e_init foundation
TITLE=$(backdrop 30)

start_game
# The intro: the title picture straight on the screen, no menu balls over its lower half ...
s=$(wait_for_region intro "$TITLE" 800x200+0+400 60 2)
# ... with its lines of text over the top half: yellow lines at y 180 and 220.
text_share=$(region_diff_percent "$s" "$TITLE" 600x70+100+175)
[ "$text_share" -ge 3 ] || fail "the intro shows no text over the title picture ($text_share%)"
sleep 1
sound_not_silent 0 "$(sound_seconds)" || fail "the intro is silent"
log "intro shown with text, sound captured"

# The menu follows: its quit ball spins over the title picture on the right.
wait_for_region_gone menu "$TITLE" 170x170+611+179 30 >/dev/null
click_at 696 264
# The credits: the title picture with the exit ball at the lower right and the red heading.
s=$(wait_for_region credits "$TITLE" 600x40+100+440 30 3)
read -r r g b < <(region_mean "$s" 200x40+300+100)
log "credits heading mean colour $r $g $b"
click_at 706 503
status=$(wait_exit 30)
[ "$status" = 0 ] || fail "exit status $status after the credits"
echo "intro, menu, credits and exit status 0"
