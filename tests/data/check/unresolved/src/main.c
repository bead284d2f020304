/* main.c: includes written for MDK on Windows, and a buffer placed the ARM Compiler way. */
#include <stdio.h>
#include <sys/types.h>
#include "..\inc\board.h"
#include "qm26r6xx_hal.h"

AT_FAST_RAM(static char g_line[80]);

int main(void)
{
    puts(BOARD_COMPILER);
    return g_line[0];
}
