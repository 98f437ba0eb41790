#pragma once
#include "Records.h"

// A parameter set that differs from the factory one in every field the dialogs show and in the
// time limit; different seeds give different sets.
inline TTestOptions Custom(int seed) {
    TTestOptions o = FactoryTestOptions();
    o.GivenVopr = 20 + seed;
    for (int i = 0; i < 12; ++i)
        o.Na[i] = i + seed;
    o.MaxTime = 40 + seed;
    o.MayBack = false;
    return o;
}
