// dump_entry -- saves one bitmap of GAMEDATA.DAT, converted as the 16-bit game sees it, as BMP
// so the end-to-end tests can compare screenshots against the real backdrops.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: dump_entry GAMEDATA.DAT ENTRY OUT.bmp\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 1;
    set_color_depth(16);
    DATAFILE *dat = load_datafile(argv[1]);
    if (!dat) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    int entry = atoi(argv[2]);
    for (int n = 0; n <= entry; n++) {
        if (dat[n].type == DAT_END) {
            fprintf(stderr, "no entry %d\n", entry);
            return 1;
        }
    }
    if (dat[entry].type != DAT_BITMAP) {
        fprintf(stderr, "entry %d is not a bitmap\n", entry);
        return 1;
    }
    return save_bitmap(argv[3], static_cast<BITMAP *>(dat[entry].dat), nullptr) == 0 ? 0 : 1;
}
END_OF_MAIN()
