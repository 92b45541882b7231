// Damaged settings files for the stress tests: a seeded generator of the ways a
// Quillmere.ini can be broken, and the check that a saved file holds only clean values.
#pragma once
#include <stdint.h>

#include <string>

// A small deterministic generator (xorshift32), so every failing input can be made again.
class Random {
  public:
    explicit Random(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t Next();
    // A number in [0, bound).
    uint32_t Below(uint32_t bound) { return Next() % bound; }

  private:
    uint32_t state;
};

// The bytes of damaged settings file number `index` of the series of `seed`; each index
// picks one kind of damage in turn and fills it in at random.
std::string DamagedSettingsFile(uint32_t seed, uint32_t index);

// Empty when the file at `path` holds a clean saved state, else what is wrong with it.
std::string SavedSettingsFault(const std::string& path);
