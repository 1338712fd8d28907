// fake_platform.cpp: test doubles for platform/system.h and
// program/fields.h. Files are real (the tests work in a temporary folder);
// the clock, the executable path, the text fields, the question and the
// loop are simulated, and the code page is Latin-1, so that tests can tell
// characters it has from others.
#include "fake_platform.h"
#include "../../platform/system.h"
#include "../../program/fields.h"
#include "../../program/scratch.h"
#include "../../runtime/charsets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {
uint32_t clock_start, clock_step;
int clock_hold;
long clock_reads;
std::string executable_path = "/opt/onymix/onymix";
std::string fields[2];
int selected_mode = 3;
bool answer_yes;
int questions;
std::string last_question, last_caption;
int end_requests, end_code = -1;
bool replace_fails;
std::function<bool(const std::string &, bool)> file_failure_answer;
int file_failures;
std::string last_file_failure;
} // namespace

void set_fake_clock(uint32_t start, uint32_t step, int hold) {
    clock_start = start;
    clock_step = step;
    clock_hold = hold;
    clock_reads = 0;
}

long fake_clock_reads() {
    return clock_reads;
}

void set_fake_executable_path(const std::string &path) {
    executable_path = path;
}

void set_fake_field(int field, const std::string &text) {
    fields[field] = text;
}

std::string fake_field(int field) {
    return fields[field];
}

void set_fake_selected_mode(int mode) {
    selected_mode = mode;
}

void set_fake_answer(bool yes) {
    answer_yes = yes;
}

int fake_questions_asked() {
    return questions;
}

std::string fake_last_question() {
    return last_question;
}

std::string fake_last_caption() {
    return last_caption;
}

int fake_end_requests() {
    return end_requests;
}

int fake_end_code() {
    return end_code;
}

void fail_next_replace() {
    replace_fails = true;
}

void set_fake_file_failure_answer(std::function<bool(const std::string &, bool)> answer) {
    file_failure_answer = std::move(answer);
}

int fake_file_failures_reported() {
    return file_failures;
}

std::string fake_last_file_failure() {
    return last_file_failure;
}

void reset_fake_platform() {
    set_fake_clock(0, 1, 0);
    executable_path = "/opt/onymix/onymix";
    fields[0].clear();
    fields[1].clear();
    selected_mode = 3;
    answer_yes = false;
    questions = 0;
    last_question.clear();
    last_caption.clear();
    end_requests = 0;
    end_code = -1;
    replace_fails = false;
    file_failure_answer = nullptr;
    file_failures = 0;
    last_file_failure.clear();
}

uint32_t platform_tick_count() {
    long k = clock_reads++;
    if (k <= clock_hold)
        return clock_start;
    return clock_start + clock_step * static_cast<uint32_t>(k - clock_hold);
}

char *platform_executable_path() {
    char *path = static_cast<char *>(std::malloc(executable_path.size() + 1));
    if (path)
        std::memcpy(path, executable_path.c_str(), executable_path.size() + 1);
    return path;
}

char platform_folder_separator() {
    return '/';
}

bool platform_file_exists(const char *path) {
    struct stat info {};
    return stat(path, &info) == 0;
}

std::FILE *platform_open_file(const char *path, const char *mode) {
    return std::fopen(path, mode);
}

bool platform_remove_file(const char *path) {
    return std::remove(path) == 0;
}

size_t platform_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                     bool *exact) {
    return plain_code_page_from_utf16(units, count, out, room, 0xFF, exact);
}

size_t platform_utf16_from_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                     bool *exact) {
    return utf16_from_plain_code_page(text, length, out, room, 0xFF, exact);
}

bool platform_replace_file(const char *from, const char *to) {
    if (replace_fails) {
        replace_fails = false;
        return false;
    }
    return std::rename(from, to) == 0;
}

char *platform_read_field(text_field field) {
    char *text = scratch(fields[field].size());
    std::memcpy(text, fields[field].data(), fields[field].size());
    return text;
}

void platform_write_field(text_field field, const char *text) {
    fields[field] = text;
}

int platform_selected_mode() {
    return selected_mode;
}

bool platform_ask_yes_no(const char *question, const char *caption) {
    questions++;
    last_question = question;
    last_caption = caption;
    return answer_yes;
}

void platform_end_loop(int code) {
    end_requests++;
    end_code = code;
}

bool platform_report_file_failure(const char *message, bool retry_offered) {
    file_failures++;
    last_file_failure = message;
    return file_failure_answer && file_failure_answer(message, retry_offered);
}

void platform_run_parallel(unsigned count, void (*task)(unsigned index, void *context),
                           void *context) {
    for (unsigned i = 0; i < count; i++)
        task(i, context);
}
