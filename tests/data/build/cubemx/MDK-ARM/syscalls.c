/*
 * syscalls.c: the C library's system calls, listed in the MDK project as ..\MDK-ARM\syscalls.c.
 * Built once, through its link; the copy in the generated project must not be built as well.
 */
#include "main.h"

int BSP_ConsoleReady(void)
{
    return 1;
}
