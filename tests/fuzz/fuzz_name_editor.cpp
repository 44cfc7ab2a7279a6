// fuzz_name_editor -- any key sequence into the name editor of name entry
// Two bytes a key (scancode, character); after every key the name is terminated, at most 8
// characters long, and the editor agrees with a plain model of the key table.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_headless.h"
#include "hiscore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t n)
{
    name_editor ed;
    name_editor_reset(&ed);
    std::string text; // the model: text, caret and insert mode
    int caret = 0;
    bool insert = true;
    for (size_t i = 0; i + 1 < n; i += 2) {
        int scancode = bytes[i], len = int(text.size());
        signed char ascii = static_cast<signed char>(bytes[i + 1]);
        name_editor_key(&ed, scancode << 8 | bytes[i + 1]);
        if (ascii > 31 && ascii != 127) {
            if (insert || caret == len)
                text.insert(text.begin() + caret, char(ascii));
            else
                text[caret] = char(ascii);
            caret++;
        } else if (scancode == KEY_BACKSPACE && caret > 0) {
            text.erase(--caret, 1);
        } else if (scancode == KEY_DEL && caret < len) {
            text.erase(caret, 1);
        } else if (scancode == KEY_LEFT || scancode == KEY_RIGHT) {
            caret = std::clamp(caret + (scancode == KEY_LEFT ? -1 : 1), 0, len);
        } else if (scancode == KEY_INSERT) {
            insert = !insert;
        }
        if (int(text.size()) > MAX_NAME_LENGTH) text.erase(--caret, 1);
        FUZZ_CHECK(memchr(ed.text, '\0', sizeof ed.text) != nullptr);
        FUZZ_CHECK(strlen(ed.text) <= size_t(MAX_NAME_LENGTH) && text == ed.text);
        FUZZ_CHECK(ed.caret == caret && ed.insert == insert);
    }
    return 0;
}
