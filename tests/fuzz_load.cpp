// Fuzzing of the stored-names loader: the bytes are written as stored.txt and
// loaded. The result must equal a plain line-by-line reading of the file, and
// a save of it must load back to the same text.
#include "../runtime/platform.h"
#include "../store/stored_names.h"
#include "fake_platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// What the file must load as: drop each CR that comes right before an LF,
// split at LF, end each line at its first NUL, and keep the lines that are
// not empty, each followed by CR LF.
std::string expected_text(const std::string &bytes) {
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

// What a save of the text must write: no CR, every LF as CR LF.
std::string expected_file(const std::string &text) {
    std::string bytes;
    for (char c : text) {
        if (c == '\n')
            bytes += "\r\n";
        else if (c != '\r')
            bytes += c;
    }
    return bytes;
}

// True when every CR in the text starts a CR LF line end.
bool crs_only_in_line_ends(const std::string &text) {
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
    return true;
}

// Saves the text from the stored-names box; the bytes written and the text
// they load as.
std::string save_and_load(const std::string &text, std::string &written) {
    set_fake_field(field_stored_names, text);
    save_stored_names();
    written = read_bytes();
    return load_stored_names();
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
    write_bytes(bytes);
    std::string text = load_stored_names();
    check(text == expected_text(bytes), "the loaded text is not the file's non-empty lines");

    // A save drops CRs that are not part of a line end, so the first save
    // may change the text; the text it loads as must then stay the same.
    std::string written;
    std::string again = save_and_load(text, written);
    check(written == expected_file(text), "the save did not write the box's bytes");
    check(again == expected_text(written), "the saved file did not load as its lines");
    if (crs_only_in_line_ends(text))
        check(again == text, "load, save, load changed the text");
    std::string third = save_and_load(again, written);
    check(written == again, "a loaded text did not save as itself");
    check(third == again, "load, save, load is not a fixed point");
    return 0;
}
