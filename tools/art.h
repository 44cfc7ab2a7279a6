#ifndef ART_H
#define ART_H
// art -- every picture of the data file, drawn from shapes, light and text in code
#include "canvas.h"

// Screen places the pictures are made for.
constexpr int PAD_BOTTOM_LEFT_X = 28, PAD_BOTTOM_LEFT_Y = 451;
constexpr int PAD_TOP_LEFT_X = 31, PAD_TOP_LEFT_Y = 17;
constexpr int PAD_TOP_RIGHT_X = 651, PAD_TOP_RIGHT_Y = 15;
constexpr int PAD_BOTTOM_RIGHT_X = 647, PAD_BOTTOM_RIGHT_Y = 450;
constexpr int LAUNCHER_W = 70, LAUNCHER_H = 21; // pivot 10 px from the muzzle end, mid-height
constexpr int BALL_SIZE = 10, LOGO_SIZE = 60, TITLE_BALL_SIZE = 170;

// The colour that anti-aliased sprite edges are blended towards: the field's dark blue.
colour sprite_under();

// ---- the play field (art_field.cpp) ----
canvas field_background();
// The glowing corner pad for one corner (0 bottom-left, 1 top-left, 2 top-right,
// 3 bottom-right), cut to the rectangle that is drawn at its screen place; the field
// behind it is baked in so the flash blends exactly with the background.
canvas pad_highlight(int corner, const canvas &background, int *x, int *y);
canvas ball(colour base);
canvas launcher(colour accent, bool facing_left);
// The bumper logo at any size (60 for the game, larger for the desktop icons).
canvas logo(int size);

// ---- menus and screens (art_screens.cpp) ----
canvas title_backdrop();
canvas help_page();
canvas hiscore_backdrop();
canvas entername_panel();
canvas title_ball();
// A menu label: one or two lines of text centred in a w x h picture.
canvas menu_label(int w, int h, const char *big, const char *small, colour tint);
canvas mouse_pointer();

#endif
