/* board_override.c: this board's own name, in place of the default. */
#include "board.h"

const char *Board_Name(void)
{
    return "override";
}
