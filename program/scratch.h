// scratch.h: the Windows program's scratch string ring and the text routines
// built on it. The ring is global state, so the portable core and the
// library never use it.
//
// Every intermediate string result in the program comes from a ring of 64
// buffers. A request takes the next slot, frees what the slot held and
// returns a fresh zero-filled buffer 256 bytes longer than asked for. A result
// therefore stays valid until 64 further requests have been made; callers copy
// what they keep and never free what they get.
#pragma once

#include <cstddef>
#include <initializer_list>

// A zero-filled buffer with room for at least length + 256 bytes.
char *scratch(size_t length);

// The parts concatenated, in one scratch buffer.
char *join(std::initializer_list<const char *> parts);

// A scratch copy of text.
char *copy_text(const char *text);
