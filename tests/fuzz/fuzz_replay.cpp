// fuzz_replay -- any bytes as a recording: the reader refuses them with a reason or takes them,
// and what it takes the writer writes again in a form that reads back to the same bytes
#include <cstdint>
#include <cstring>

#include "fuzz_headless.h"
#include "replay.h"

static unsigned char again[REPLAY_MAX_FILE_BYTES], third[REPLAY_MAX_FILE_BYTES];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t n)
{
    char why[256] = "";
    if (!decode_recording(bytes, n, why, sizeof why)) {
        // One line that says why.
        FUZZ_CHECK(why[0] != '\0' && strchr(why, '\n') == nullptr);
        return 0;
    }
    FUZZ_CHECK(recording.head.passes >= 1 && recording.head.passes <= REPLAY_MAX_PASSES);
    for (int p = 0; p < recording.head.passes; p++) {
        const step_reads &r = recording.pass[p].reads;
        FUZZ_CHECK(r.clock_reads >= 0 && r.clock_reads <= MAX_CLOCK_READS);
    }
    size_t len = encode_recording(again, sizeof again);
    FUZZ_CHECK(len > 0);
    FUZZ_CHECK(decode_recording(again, len, why, sizeof why));
    FUZZ_CHECK(encode_recording(third, sizeof third) == len && memcmp(again, third, len) == 0);
    return 0;
}
