#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of a fuzz target: a broken one is a finding, reported and kept.
inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}
