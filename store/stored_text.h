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
// code page (platform/system.h), for files in UTF-16, and that only for the
// program's own character set: the library names the one it wants.
#pragma once

#include <cstddef>
#include <cstdint>

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

// The 8-bit character set of the stored text, to and from which UTF-16 files
// are converted: the system code page (the Windows program's), UTF-8 or
// windows-1252.
enum text_charset { charset_system, charset_utf8, charset_windows_1252 };

struct stored_text {
    stored_text_outcome outcome;
    stored_encoding encoding; // what the file's first bytes say, whatever the outcome
    // With text_read, the stored text, NUL-terminated; it belongs to the
    // caller, who frees it with std::free. Null otherwise.
    char *text;
    size_t length; // of text, without its NUL
};

// The stored text of a file of size bytes, in charset.
stored_text stored_text_from_bytes(const char *bytes, size_t size,
                                   text_charset charset = charset_system);

// The bytes of a file holding text (the stored-names box's text) in the
// given encoding: every CR dropped, every LF written as CR LF, and the
// encoding's mark in front. 8-bit text that would itself begin with the
// bytes of a mark is written with the UTF-8 mark in front, so that it reads
// back as the same text. *size is set to the byte count. The bytes belong
// to the caller, who frees them with std::free. Null when memory runs out
// or, for UTF-16, when some byte of the text is no character of charset; a
// save must then leave the file as it was.
char *stored_bytes_from_text(const char *text, stored_encoding encoding, size_t *size,
                             text_charset charset = charset_system);

// The conversions of charset, with the contract of those of platform/system.h.
size_t narrow_from_utf16(text_charset charset, const uint16_t *units, size_t count, char *out,
                         size_t room, bool *exact);
size_t utf16_from_narrow(text_charset charset, const char *text, size_t length, uint16_t *out,
                         size_t room, bool *exact);

// The same into memory of their own, from std::malloc (the caller frees
// it), sized by a first pass: the units of length bytes of text, their count
// in *count; the text of count units, NUL-terminated, its length in
// *length. Null when memory runs out.
uint16_t *utf16_of_narrow(text_charset charset, const char *text, size_t length, size_t *count,
                          bool *exact);
char *narrow_of_utf16(text_charset charset, const uint16_t *units, size_t count, size_t *length,
                      bool *exact);
