// mask_cache.h: the maskings a thread of onymix-cli's --mask run has made,
// kept so that a value met again is copied instead of masked again. Real
// columns repeat their values: a million first names hold a few thousand
// distinct ones. The cache is bounded: full, it forgets everything and
// starts again, which changes no output, only what it costs; and when few
// of the values it kept came again (a column of values that hardly
// repeat), it rests a while, costing nothing. It holds maskings under the
// run's key, and lives no longer than the run. One cache serves one column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// On cache lines of its own: the threads' caches stand side by side and
// each is written at every field its thread masks.
class alignas(64) mask_cache {
  public:
    // The longest value kept; a longer one is masked each time.
    static constexpr size_t longest = 96;

    // seed varies where values are kept, so that an input cannot be made
    // to pile them up without knowing it. most_values bounds the values
    // kept, most_bytes their bytes and their maskings' together.
    explicit mask_cache(uint64_t seed = 0, size_t most_values = 1 << 13,
                        size_t most_bytes = 256 << 10);

    // The masking of length bytes at value, when it is kept: then true,
    // with text and masked the masking's bytes (valid until the next call
    // of keep).
    bool find(const char *value, size_t length, const char *&text, size_t &masked) {
        if (resting) {
            resting--;
            return false;
        }
        return find_kept(value, length, text, masked);
    }

    // Keeps the masking of a value (masked bytes at text); a value longer
    // than longest is not kept, nor any while the cache rests.
    void keep(const char *value, size_t length, const char *text, size_t masked) {
        if (!resting)
            keep_one(value, length, text, masked);
    }

    // How many times the cache has forgotten everything.
    unsigned long long forgotten() const {
        return forgets;
    }

  private:
    struct slot {
        uint64_t head; // the value's first 8 bytes (head_of)
        uint32_t hash; // some bits of the value's hash, which are never 0
        uint32_t at;   // where its bytes are in bytes, its masking's after them
        uint32_t length, masked;
    };
    std::vector<slot> slots;
    std::string bytes;
    size_t used = 0, most_values, most_bytes;
    uint64_t seed;
    unsigned long long forgets = 0;
    size_t found = 0;   // since the cache last forgot
    size_t resting = 0; // the values left to pass by before it works again
    size_t rest = 0;    // how long it rested last, 0 after a filling that paid
    uint64_t hash_of(const char *value, size_t length, uint64_t head) const;
    // The slot of a value kept, or null.
    const slot *slot_of(const char *value, size_t length, uint64_t head, uint64_t hash) const;
    // find and keep while the cache works: the calls that a column of values
    // that hardly repeat does not make.
    bool find_kept(const char *value, size_t length, const char *&text, size_t &masked);
    void keep_one(const char *value, size_t length, const char *text, size_t masked);
    void forget();
};
