// dump_entry -- saves one bitmap of GAMEDATA.DAT, converted as the 16-bit game sees it, as BMP
// so the end-to-end tests can compare screenshots against the real backdrops.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4 || install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "usage: dump_entry GAMEDATA.DAT ENTRY OUT.bmp\n");
        return 2;
    }
    set_color_depth(16);
    DATAFILE *dat = load_datafile(argv[1]);
    int entry = atoi(argv[2]);
    int n = 0;
    while (dat && n < entry && dat[n].type != DAT_END)
        n++;
    if (!dat || n != entry || dat[entry].type != DAT_BITMAP) {
        fprintf(stderr, "%s has no bitmap entry %s\n", argv[1], argv[2]);
        return 1;
    }
    return save_bitmap(argv[3], static_cast<BITMAP *>(dat[entry].dat), nullptr) == 0 ? 0 : 1;
}
END_OF_MAIN()
