#pragma once

#include <cstdlib>

// A broken property ends the run, and libFuzzer keeps the input that broke it.
inline void check(bool condition) {
    if (!condition)
        std::abort();
}
