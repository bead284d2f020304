/* inline_math.c: always inlined where it is visible, and called from other files all the same
 * (board.h declares it there). */

__forceinline int Board_Twice(int value)
{
    return value * 2;
}
