// fields_posix.cpp: the text fields, mode chooser, question and loop end of
// platform.h for native builds, which have no window system: the fields are
// kept in memory, the question is asked on the terminal.
#include "platform.h"
#include "scratch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
char *field_text[2];
} // namespace

char *platform_read_field(text_field field) {
    const char *text = field_text[field];
    return copy_text(text ? text : "");
}

void platform_write_field(text_field field, const char *text) {
    size_t length = std::strlen(text);
    char *copy = static_cast<char *>(std::malloc(length + 1));
    if (!copy) {
        std::fputs("Out of memory\n", stderr);
        std::abort();
    }
    std::memcpy(copy, text, length + 1);
    std::free(field_text[field]);
    field_text[field] = copy;
}

int platform_selected_mode() {
    return 3; // the mode the program starts with: "Male + Surname"
}

bool platform_ask_yes_no(const char *question, const char *caption) {
    std::fprintf(stderr, "%s: %s [y/N] ", caption, question);
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

void platform_end_loop(int) {}
