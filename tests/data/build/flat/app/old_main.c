/*
 * old_main.c: the main loop before the filter was added; lies beside main.c but is not in the
 * MDK project. Building it as well would define main twice.
 */
#include "board.h"

int main(void)
{
    Board_Init();
    for (;;)
    {
    }
}
