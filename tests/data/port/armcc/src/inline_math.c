/* inline_math.c: always inlined here, and called from other files all the same. */
#include "board.h"

__forceinline int Board_Twice(int value)
{
    return value * 2;
}
