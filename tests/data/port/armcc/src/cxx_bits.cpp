// cxx_bits.cpp: the same intrinsics from C++.
#include "board.h"

extern "C" unsigned Cxx_Clz(unsigned value)
{
    return __clz(value);
}
