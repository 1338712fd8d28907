// win32_gate.cpp: the gate of system.h on Windows, a slim reader/writer
// lock taken alone and a condition variable. A file of its own, so that
// only a program that uses the gate (onymix-cli) imports their calls,
// which Windows has had since Vista; the windowed program does not.
#include "system.h"

#include <windows.h>

#include <cstdlib>

struct platform_gate {
    SRWLOCK lock;
    CONDITION_VARIABLE changed;
};

platform_gate *platform_gate_open() {
    // malloc, not new: C programs link this folder too.
    platform_gate *gate = static_cast<platform_gate *>(std::malloc(sizeof *gate));
    if (gate) {
        InitializeSRWLock(&gate->lock);
        InitializeConditionVariable(&gate->changed);
    }
    return gate;
}

void platform_gate_close(platform_gate *gate) {
    // Neither needs undoing.
    std::free(gate);
}

void platform_gate_lock(platform_gate *gate) {
    AcquireSRWLockExclusive(&gate->lock);
}

void platform_gate_unlock(platform_gate *gate) {
    ReleaseSRWLockExclusive(&gate->lock);
}

void platform_gate_wait(platform_gate *gate) {
    SleepConditionVariableSRW(&gate->changed, &gate->lock, INFINITE, 0);
}

void platform_gate_wake(platform_gate *gate) {
    WakeAllConditionVariable(&gate->changed);
}
