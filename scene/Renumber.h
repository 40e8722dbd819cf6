// The one rule for references into a list that loses an element: the erased
// index becomes -1 (none), higher indices move down by one, others stay.
#pragma once

inline int RenumberIndex(int held, int erased)
{
    if (held == erased)
        return -1;
    return held > erased ? held - 1 : held;
}
