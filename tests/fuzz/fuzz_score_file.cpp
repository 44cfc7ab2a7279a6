// fuzz_score_file -- any bytes as highscores.bin: load, sort, the table screen and save
//
// Whatever the file holds, the table that is loaded has terminated names and the candidate slot
// reset; sorting keeps its records and orders them; the table screen draws it; and a save writes
// 400 bytes that load back to exactly the table that was saved.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "fuzz_headless.h"
#include "hiscore.h"

static const char *const default_names[SCORE_ENTRIES] = {
    "Elephant", "Hippo",   "Giraffe", "Zebra",  "Lion",      "Wombat",
    "Kangaroo", "Echidna", "Emu",     "Possum", "enter name"};
static const int default_scores[SCORE_ENTRIES] = {90, 80, 70, 60, 50, 40, 40, 40, 40, 40, 0};

static void write_score_file(const uint8_t *bytes, size_t n)
{
    FILE *f = fopen(SCORE_FILE, "wb");
    FUZZ_CHECK(f != nullptr);
    if (n > 0) FUZZ_CHECK(fwrite(bytes, 1, n, f) == n);
    FUZZ_CHECK(fclose(f) == 0);
}

static long file_size(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0 ? long(st.st_size) : -1;
}

static int32_t little_endian_score(const uint8_t *record)
{
    uint32_t v = record[0] | uint32_t(record[1]) << 8 | uint32_t(record[2]) << 16 |
                 uint32_t(record[3]) << 24;
    return int32_t(v);
}

static void check_loaded(bool loaded, const uint8_t *bytes, size_t n)
{
    FUZZ_CHECK(loaded == (n >= size_t(SCORE_FILE_SIZE)));
    for (const Score &s : score_table)
        FUZZ_CHECK(memchr(s.player_name, '\0', NAME_FIELD) != nullptr);
    FUZZ_CHECK(strcmp(score_table[CANDIDATE_ENTRY].player_name, "enter name") == 0);
    FUZZ_CHECK(score_table[CANDIDATE_ENTRY].player_score == 0);
    for (int a = 0; a < SCORE_PLACES; a++) {
        if (!loaded) {
            FUZZ_CHECK(strcmp(score_table[a].player_name, default_names[a]) == 0);
            FUZZ_CHECK(score_table[a].player_score == default_scores[a]);
            continue;
        }
        // The file's records are taken as they stand, a name without terminator cut at 32.
        const uint8_t *record = bytes + a * SCORE_RECORD_SIZE;
        FUZZ_CHECK(score_table[a].player_score == little_endian_score(record));
        size_t len = strnlen(reinterpret_cast<const char *>(record) + 4, NAME_FIELD - 1);
        FUZZ_CHECK(strlen(score_table[a].player_name) == len);
        FUZZ_CHECK(memcmp(score_table[a].player_name, record + 4, len) == 0);
    }
}

static int by_bytes(const void *a, const void *b)
{
    return memcmp(a, b, sizeof(Score));
}

static void check_sorted(const Score (&before)[SCORE_ENTRIES])
{
    for (int a = 1; a < SCORE_ENTRIES; a++)
        FUZZ_CHECK(score_table[a - 1].player_score >= score_table[a].player_score);
    // The same eleven records, whole, only in another order.
    Score was[SCORE_ENTRIES], now[SCORE_ENTRIES];
    memcpy(was, before, sizeof was);
    memcpy(now, score_table, sizeof now);
    qsort(was, SCORE_ENTRIES, sizeof(Score), by_bytes);
    qsort(now, SCORE_ENTRIES, sizeof(Score), by_bytes);
    FUZZ_CHECK(memcmp(was, now, sizeof was) == 0);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_start_allegro(true);
    fuzz_enter_private_folder("scores");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t n)
{
    write_score_file(bytes, n);
    check_loaded(load_scores(), bytes, n);

    Score before[SCORE_ENTRIES];
    memcpy(before, score_table, sizeof before);
    sort_scores();
    check_sorted(before);

    hiscore_display(0); // the table screen: every name and score formatted and drawn

    Score saved[SCORE_PLACES];
    memcpy(saved, score_table, sizeof saved);
    FUZZ_CHECK(save_scores());
    FUZZ_CHECK(file_size(SCORE_FILE) == SCORE_FILE_SIZE);
    FUZZ_CHECK(file_size(SCORE_TEMP_FILE) == -1);
    FUZZ_CHECK(load_scores());
    FUZZ_CHECK(memcmp(saved, score_table, sizeof saved) == 0);
    return 0;
}
