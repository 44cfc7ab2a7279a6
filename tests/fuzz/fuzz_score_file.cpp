// fuzz_score_file -- any bytes as highscores.bin: load, sort, the table screen and save
// Whatever the file holds, the table loads as the file says or built in; sorting keeps its
// records and orders them; the table screen draws it; a save of 400 bytes loads back the same.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

#include "fuzz_headless.h"
#include "hiscore.h"

static Score built_in[SCORE_ENTRIES];

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_start_allegro(true);
    // A private folder for the score file and its temporary twin, removed when the run ends.
    static char folder[] = "/tmp/brumzel-fuzz-scores-XXXXXX";
    FUZZ_CHECK(mkdtemp(folder) && chdir(folder) == 0);
    atexit([] {
        unlink(SCORE_FILE);
        unlink(SCORE_TEMP_FILE);
        rmdir(folder);
    });
    set_default_scores();
    memcpy(built_in, score_table, sizeof built_in);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t n)
{
    FILE *f = fopen(SCORE_FILE, "wb");
    FUZZ_CHECK(f != nullptr && (n == 0 || fwrite(bytes, 1, n, f) == n) && fclose(f) == 0);
    bool loaded = load_scores();
    FUZZ_CHECK(loaded == (n >= size_t(SCORE_FILE_SIZE)));
    // The file's records are taken as they stand (this machine is little-endian like the file; a
    // name without terminator is cut at 32), a short file's as built in; entry 10 is built in.
    Score expected[SCORE_ENTRIES];
    memcpy(expected, built_in, sizeof expected);
    if (loaded) memcpy(expected, bytes, SCORE_FILE_SIZE);
    for (int a = 0; a < SCORE_ENTRIES; a++) {
        const Score &s = score_table[a], &e = expected[a];
        FUZZ_CHECK(memchr(s.player_name, '\0', NAME_FIELD) != nullptr);
        FUZZ_CHECK(s.player_score == e.player_score &&
                   strncmp(s.player_name, e.player_name, NAME_FIELD - 1) == 0);
    }

    Score before[SCORE_ENTRIES];
    memcpy(before, score_table, sizeof before);
    sort_scores();
    for (int a = 1; a < SCORE_ENTRIES; a++)
        FUZZ_CHECK(score_table[a - 1].player_score >= score_table[a].player_score);
    // The same eleven records, whole, only in another order.
    FUZZ_CHECK(std::is_permutation(
        before, before + SCORE_ENTRIES, score_table,
        [](const Score &x, const Score &y) { return memcmp(&x, &y, sizeof x) == 0; }));

    hiscore_display(0); // the table screen: every name and score formatted and drawn

    Score saved[SCORE_PLACES];
    memcpy(saved, score_table, sizeof saved);
    struct stat st;
    FUZZ_CHECK(save_scores() && stat(SCORE_FILE, &st) == 0 && st.st_size == SCORE_FILE_SIZE);
    FUZZ_CHECK(access(SCORE_TEMP_FILE, F_OK) != 0);
    FUZZ_CHECK(load_scores() && memcmp(saved, score_table, sizeof saved) == 0);
    return 0;
}
