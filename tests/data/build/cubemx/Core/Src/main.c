/*
 * main.c: waits for the console, then counts SysTick interrupts for ever.
 */
#include <stdio.h>

#include "main.h"

/* The target is built by ARM Compiler 5 with plain char unsigned, without its C99 mode, at the
   compiler's default level (-O2) and with the FPU, and links MicroLIB; the IDE build must do the
   same. */
_Static_assert((char)-1 > 0, "plain char is unsigned");
_Static_assert(__STDC_VERSION__ > 199901L, "GCC's own default dialect, newer than C99");
#ifdef __STRICT_ANSI__
#define GNU_EXTENSIONS 0
#else
#define GNU_EXTENSIONS 1
#endif
_Static_assert(GNU_EXTENSIONS, "GNU extensions");
#ifdef __ARM_PCS_VFP
#define HARD_FLOAT 1
#else
#define HARD_FLOAT 0
#endif
_Static_assert(HARD_FLOAT, "the FPU");
#ifdef __OPTIMIZE__
#define OPTIMIZED 1
#else
#define OPTIMIZED 0
#endif
#ifdef __OPTIMIZE_SIZE__
#define FOR_SIZE 1
#else
#define FOR_SIZE 0
#endif
#ifdef TRACE
_Static_assert(OPTIMIZED && !FOR_SIZE, "the Debug configuration optimizes as the target: -O2");
#else
_Static_assert(FOR_SIZE, "the Release configuration keeps its small build");
#endif

static char s_tickText[12];

int main(void)
{
    while (!BSP_ConsoleReady())
    {
    }
    for (;;)
    {
        if (g_ticks >= SystemCoreClock)
        {
            g_ticks = 0U;
            (void)snprintf(s_tickText, sizeof s_tickText, "%lu", (unsigned long)SystemCoreClock);
        }
    }
}
