#ifndef FONTS_H
#define FONTS_H
// fonts -- text rendered from scalable fonts: anti-aliased masks for pictures, and the
// game's bitmap fonts written as grabber font grids
#include <string>

#include "canvas.h"

// The scalable faces the data file's text is rendered from.
enum face_id { FACE_SANS_BOLD, FACE_SANS_CONDENSED_BOLD, FACE_SANS, FACE_MONO_BOLD, FACE_COUNT };

// Starts the font renderer; font_dir holds the DejaVu faces. False when a face is missing.
bool start_fonts(const std::string &font_dir);

// Anti-aliased text in a mask as tall as the face's line; `baseline` is the row of the
// baseline. `spacing` adds pixels between letters.
struct text_mask {
    mask m;
    int baseline = 0;
};
text_mask render_text(face_id face, int px_size, const std::string &text, float spacing = 0);

// Writes the printable ASCII characters (32-126) of a face as an 8-bit BMP in the grabber's
// font grid: cells of background colour 0 with glyph pixels in colour 1, separated by lines of
// colour 255. Glyphs are hinted for one-bit rendering, so the game's mono font stays crisp.
// Returns the cell height, or 0 on failure.
int write_font_grid(face_id face, int px_size, const std::string &path);
// The width in pixels that the game will measure for `text` in that one-bit font.
int mono_text_width(face_id face, int px_size, const std::string &text);

#endif
