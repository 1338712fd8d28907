// generate_command.cpp: the Generate command, between the mode chooser, the
// picks and the name box. Kept apart from the picks so that a program
// without the window's fields (the end-to-end driver) links them alone.
#include "generate.h"

#include "fields.h"

#include <cstring>

char generated_name[2048];

void generate_command() {
    std::memset(generated_name, 0, sizeof generated_name);
    const char *name = generate(platform_selected_mode());
    std::strncpy(generated_name, name, sizeof generated_name - 1);
    platform_write_field(field_name_box, generated_name);
}
