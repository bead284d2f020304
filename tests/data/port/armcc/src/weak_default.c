/* weak_default.c: defaults that a board file may replace. */
#include "board.h"

__weak const char *Board_Name(void)
{
    return "default";
}

__weak const char *Board_Revision(void)
{
    return "default";
}
