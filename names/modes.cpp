// modes.cpp: the labels of the generation modes, shared by the mode chooser,
// the library and the command line.
#include "picker.h"

const char *const mode_labels[stream_mode_count] = {
    "Female", "Female + Surname", "Male", "Male + Surname", "Surname", "Any", "Any + Surname"};
