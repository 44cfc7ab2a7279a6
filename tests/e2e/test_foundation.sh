#!/bin/bash
# The game starts, shows its intro card with its sound, and a player leaves through the
# menu's quit ball and the credits with exit status 0.
source "$(dirname "$0")/lib.sh"
e2e_init foundation

start_game
# The intro: the title picture straight on the screen, with no menu balls over its lower half ...
wait_for_region intro "$TITLE" 800x200+0+400 60 2
# ... and its lines of text over the top half: yellow lines at y 180 and 220.
yellow=$(colour_pixels "$SHOT" 600x70+100+175 "rgb(255,255,0)" 8)
[ "$yellow" -ge 300 ] || fail "the intro shows no yellow lines over the title picture ($yellow)"
log "intro: $SHOT, $yellow yellow text pixels"
sleep 1
sound_not_silent 0 "$(sound_seconds)" || fail "the intro is silent"
log "intro sound captured: RMS $(sound_rms 0 "$(sound_seconds)")"

# The menu follows: its quit ball spins over the title picture on the right.
wait_for_region_gone menu "$TITLE" 170x170+611+179 30
click_at 696 264
# The credits: the title picture, the exit ball at the lower right and the red heading.
wait_until credits 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
log "credits: $SHOT"
click_at 706 503
wait_exit 30
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the credits"
echo "intro, menu, credits and exit status 0"
