#ifndef INTRO_H
#define INTRO_H
// intro -- the opening card: title picture, maker lines and a sound for six seconds

// The maker line that opens the intro and closes the credits.
constexpr const char *MAKER_LINE = "Brumzel Games 2007 - brumzel ball team";

void intro();

#endif
