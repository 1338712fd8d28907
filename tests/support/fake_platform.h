// fake_platform.h: controls for the test doubles of platform/system.h and
// program/fields.h that the tests and benchmarks link instead of a real
// platform.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The simulated tick count. The first hold + 1 readings return start; each
// reading after that is step milliseconds later than the one before.
void set_fake_clock(uint32_t start, uint32_t step = 1, int hold = 0);
// How many times the tick count has been read since set_fake_clock.
long fake_clock_reads();

// The executable path that the platform reports.
void set_fake_executable_path(const std::string &path);

// The two text fields and the mode chooser.
void set_fake_field(int field, const std::string &text);
std::string fake_field(int field);
void set_fake_selected_mode(int mode);

// The answer to the yes/no question, and what was asked.
void set_fake_answer(bool yes);
int fake_questions_asked();
std::string fake_last_question();
std::string fake_last_caption();

// How the user answers a file-failure report: given the message and whether
// a retry is offered, the answer (true: retry). Runs in place of the user,
// so it may also change files and fields meanwhile. By default: no.
void set_fake_file_failure_answer(std::function<bool(const std::string &, bool)> answer);
// The file-failure reports made so far, and the last message.
int fake_file_failures_reported();
std::string fake_last_file_failure();

// The loop-end requests made so far, and the last code.
int fake_end_requests();
int fake_end_code();

// Makes the next replacement of a file fail (once).
void fail_next_replace();

// Resets everything above to its starting state.
void reset_fake_platform();
