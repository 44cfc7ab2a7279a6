// fuzz_name_editor -- any key sequence into the name editor of name entry
//
// Every two input bytes are one key as the keyboard buffer hands it over (scancode, character).
// After every key the name is terminated, at most 8 characters long, the caret lies inside it,
// and the editor agrees with a plain model of the key table.
#include <cstdint>
#include <cstring>
#include <string>

#include <allegro.h>

#include "fuzz_headless.h"
#include "hiscore.h"

// The key table of name entry, kept as simply as it can be said.
struct model_editor {
    std::string text;
    int caret = 0;
    bool insert = true;

    void key(int newkey)
    {
        signed char ascii = static_cast<signed char>(newkey & 0xff);
        int scancode = newkey >> 8;
        int len = int(text.size());
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
        } else if (scancode == KEY_LEFT && caret > 0) {
            caret--;
        } else if (scancode == KEY_RIGHT && caret < len) {
            caret++;
        } else if (scancode == KEY_INSERT) {
            insert = !insert;
        }
        if (int(text.size()) > MAX_NAME_LENGTH) text.erase(--caret, 1);
    }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t n)
{
    name_editor ed;
    name_editor_reset(&ed);
    model_editor model;
    for (size_t i = 0; i + 1 < n; i += 2) {
        int newkey = bytes[i] << 8 | bytes[i + 1];
        name_editor_key(&ed, newkey);
        model.key(newkey);
        const char *end = static_cast<const char *>(memchr(ed.text, '\0', sizeof ed.text));
        FUZZ_CHECK(end != nullptr);
        int len = int(end - ed.text);
        FUZZ_CHECK(len <= MAX_NAME_LENGTH);
        FUZZ_CHECK(ed.caret >= 0 && ed.caret <= len);
        FUZZ_CHECK(model.text == ed.text);
        FUZZ_CHECK(model.caret == ed.caret);
        FUZZ_CHECK(model.insert == ed.insert);
    }
    return 0;
}
