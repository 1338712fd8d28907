// Fuzzing of the stored-names loader: the bytes are read by the rules on
// bytes and, when they can be shown, written as stored.txt and loaded. The
// result must equal a plain reading of the file (its mark, then UTF-16 in
// the doubles' Latin-1 or 8-bit lines), and a save of it must load back to
// the same text.
#include "../platform/system.h"
#include "../program/fields.h"
#include "../program/stored_names.h"
#include "../store/stored_text.h"
#include "support/fake_platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string folder, file;

void check(bool holds, const char *what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_load: %s\n", what);
        std::abort();
    }
}

void write_bytes(const std::string &bytes) {
    std::FILE *out = std::fopen(file.c_str(), "wb");
    check(out != nullptr, "cannot write stored.txt");
    check(std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size(), "short write");
    check(std::fclose(out) == 0, "cannot close stored.txt");
}

std::string read_bytes() {
    std::string bytes;
    std::FILE *in = std::fopen(file.c_str(), "rb");
    check(in != nullptr, "cannot read stored.txt");
    char block[4096];
    for (size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;)
        bytes.append(block, n);
    std::fclose(in);
    return bytes;
}

// What 8-bit lines must load as: drop each CR that comes right before an
// LF, split at LF, end each line at its first NUL, and keep the lines that
// are not empty, each followed by CR LF.
std::string expected_lines(const std::string &bytes) {
    std::string plain;
    for (size_t i = 0; i < bytes.size(); i++)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            plain += bytes[i];
    std::string text, line;
    plain += '\n'; // the last line, ended or not, is a line like the others
    for (char c : plain) {
        if (c != '\n') {
            line += c;
            continue;
        }
        line = line.substr(0, line.find('\0'));
        if (!line.empty())
            text += line + "\r\n";
        line.clear();
    }
    return text;
}

bool starts_with(const std::string &bytes, const char *mark) {
    return bytes.compare(0, std::strlen(mark), mark) == 0;
}

// How the file must load: its encoding by its first bytes, and its text,
// or false when UTF-16 holds a unit past Latin-1 or ends in half of one.
bool expected_text(const std::string &bytes, std::string &text, stored_encoding &encoding) {
    encoding = encoding_code_page;
    std::string lines = bytes;
    if (starts_with(bytes, "\xEF\xBB\xBF")) {
        encoding = encoding_utf8_marked;
        lines = bytes.substr(3);
    } else if (starts_with(bytes, "\xFF\xFE") || starts_with(bytes, "\xFE\xFF")) {
        encoding = bytes[0] == '\xFF' ? encoding_utf16_le : encoding_utf16_be;
        if (bytes.size() % 2 != 0)
            return false;
        lines.clear();
        for (size_t i = 2; i < bytes.size(); i += 2) {
            unsigned first = static_cast<unsigned char>(bytes[i]);
            unsigned second = static_cast<unsigned char>(bytes[i + 1]);
            unsigned unit =
                encoding == encoding_utf16_le ? second << 8 | first : first << 8 | second;
            if (unit > 0xFF)
                return false;
            lines += static_cast<char>(unit);
        }
    }
    text = expected_lines(lines);
    return true;
}

// What a save of the text must write: no CR, every LF as CR LF, with the
// encoding's mark, in UTF-16 for those encodings; 8-bit text that starts
// like a mark goes behind the UTF-8 mark.
std::string expected_file(const std::string &text, stored_encoding encoding) {
    std::string lines;
    for (char c : text) {
        if (c == '\n')
            lines += "\r\n";
        else if (c != '\r')
            lines += c;
    }
    if (encoding == encoding_utf16_le || encoding == encoding_utf16_be) {
        std::string bytes = encoding == encoding_utf16_le ? "\xFF\xFE" : "\xFE\xFF";
        for (char c : lines) {
            if (encoding == encoding_utf16_be)
                bytes += '\0';
            bytes += c;
            if (encoding == encoding_utf16_le)
                bytes += '\0';
        }
        return bytes;
    }
    bool marked = encoding == encoding_utf8_marked || starts_with(lines, "\xEF\xBB\xBF") ||
                  starts_with(lines, "\xFF\xFE") || starts_with(lines, "\xFE\xFF");
    return (marked ? "\xEF\xBB\xBF" : "") + lines;
}

// The file's text as the loader must give it; aborts when it differs.
std::string checked_load(const std::string &bytes, stored_encoding &encoding) {
    std::string text;
    check(expected_text(bytes, text, encoding), "a file that cannot be shown was written");
    std::string loaded = load_stored_names();
    check(loaded == text, "the loaded text is not the file's non-empty lines");
    return loaded;
}

// True when every CR in the text starts a CR LF line end.
bool crs_only_in_line_ends(const std::string &text) {
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
    return true;
}

// Saves the text from the stored-names box in the encoding it was loaded
// from; the bytes written and the text they load as. encoding becomes the
// one found in the saved file.
std::string save_and_load(const std::string &text, stored_encoding &encoding,
                          std::string &written) {
    set_fake_field(field_stored_names, text);
    save_stored_names();
    written = read_bytes();
    check(written == expected_file(text, encoding), "the save did not write the box's bytes");
    stored_encoding found;
    std::string again = checked_load(written, found);
    check(found == encoding || (encoding == encoding_code_page && found == encoding_utf8_marked),
          "the saved file did not keep its encoding");
    encoding = found;
    return again;
}

void remove_folder() {
    unlink(file.c_str());
    unlink((file + ".new").c_str());
    rmdir(folder.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/onymix_fuzz_XXXXXX";
    check(mkdtemp(pattern.data()) != nullptr, "cannot make a temporary folder");
    folder = pattern;
    file = folder + "/stored.txt";
    set_fake_executable_path(folder + "/onymix");
    form_stored_names_path();
    std::atexit(remove_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string bytes(reinterpret_cast<const char *>(data), size);
    std::string model;
    stored_encoding encoding;
    bool showable = expected_text(bytes, model, encoding);

    // The rules on bytes alone, as a web page calls them.
    stored_text read = stored_text_from_bytes(bytes.data(), bytes.size());
    check(read.encoding == encoding, "the encoding is not the one the first bytes say");
    check(read.outcome == (showable ? text_read : text_unshowable),
          "a file was refused that can be shown, or shown that cannot");
    check(!showable || std::string(read.text, read.length) == model,
          "the text of the bytes is not the file's non-empty lines");
    std::free(read.text);
    if (!showable)
        return 0; // the load would end the process, leaving the file alone

    write_bytes(bytes);
    std::string text = checked_load(bytes, encoding);

    // A save drops CRs that are not part of a line end, so the first save
    // may change the text; the text it loads as must then stay the same.
    std::string written;
    std::string again = save_and_load(text, encoding, written);
    if (crs_only_in_line_ends(text))
        check(again == text, "load, save, load changed the text");
    std::string third = save_and_load(again, encoding, written);
    check(third == again, "load, save, load is not a fixed point");
    return 0;
}
