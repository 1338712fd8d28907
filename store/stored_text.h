// stored_text.h: the rules of stored.txt on bytes, with no files: from the
// bytes of a file to the stored text the stored-names box shows, and from
// the box's text back to the bytes of the file.
//
// Onymix writes 8-bit text in the system code page. It also reads a file
// that another editor saved with a byte-order mark, and writes the list back
// in the same form, so that the file keeps the encoding its owner chose.
// Whatever the encoding, CR LF or LF ends a line, a NUL ends the text of its
// line and empty lines are skipped; the stored text holds every other line,
// each followed by CR LF.
//
// These functions keep nothing between calls and use no scratch buffers.
// The only system service they use is the conversion between UTF-16 and the
// code page (platform.h), for files in UTF-16.
#pragma once

#include <cstddef>

// How a file is encoded, as the load finds it and the save writes it.
enum stored_encoding {
    encoding_code_page,   // 8-bit text, no mark: every file Onymix makes
    encoding_utf8_marked, // EF BB BF, then 8-bit text taken byte for byte
    encoding_utf16_le,    // FF FE, then UTF-16 little endian
    encoding_utf16_be,    // FE FF, then UTF-16 big endian
};

enum stored_text_outcome {
    text_read,
    // Some character of a UTF-16 file has no form in the code page, or the
    // file ends in half a character: the list cannot be shown as it is, and
    // the file must be left untouched.
    text_unshowable,
    text_out_of_memory,
};

struct stored_text {
    stored_text_outcome outcome;
    stored_encoding encoding; // what the file's first bytes say, whatever the outcome
    // With text_read, the stored text, NUL-terminated; it belongs to the
    // caller, who frees it with std::free. Null otherwise.
    char *text;
    size_t length; // of text, without its NUL
};

// C linkage, so that the WebAssembly module exports the two functions under
// these names for JavaScript (cmake/wasm.cmake).
extern "C" {

// The stored text of a file of size bytes.
stored_text stored_text_from_bytes(const char *bytes, size_t size);

// The bytes of a file holding text (the stored-names box's text) in the
// given encoding: every CR dropped, every LF written as CR LF, and the
// encoding's mark in front. 8-bit text that would itself begin with the
// bytes of a mark is written with the UTF-8 mark in front, so that it reads
// back as the same text. *size is set to the byte count. The bytes belong
// to the caller, who frees them with std::free. Null when memory runs out
// or, for UTF-16, when some byte of the text is no character of the code
// page; a save must then leave the file as it was.
char *stored_bytes_from_text(const char *text, stored_encoding encoding, size_t *size);

} // extern "C"
