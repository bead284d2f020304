/*
 * main.c: blinks the board LED from the RTE-managed MDK 5 project "Blinky".
 */
#include <stdio.h>

#include "RTE_Components.h"
#include CMSIS_device_header

/* The target is built by ARM Compiler 6 with plain char unsigned, in strict C99, at the
   compiler's default level (-O0) and with the FPU, and links MicroLIB; the IDE build must do the
   same (uC99 belongs to ARM Compiler 5 and must not count). */
_Static_assert((char)-1 > 0, "plain char is unsigned");
_Static_assert(__STDC_VERSION__ == 199901L, "C99");
#ifdef __STRICT_ANSI__
#define STRICT 1
#else
#define STRICT 0
#endif
_Static_assert(STRICT, "strict C99, as uVision passes -std=c99");
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
_Static_assert(!OPTIMIZED, "the Debug configuration optimizes as the target: -O0");
#else
_Static_assert(FOR_SIZE, "the Release configuration keeps its small build");
#endif

void LED_Toggle(void);

static char s_countText[12];

int main(void)
{
    uint32_t count = 0U;

    for (;;)
    {
        if (++count == SystemCoreClock / 8U)
        {
            count = 0U;
            LED_Toggle();
            (void)snprintf(s_countText, sizeof s_countText, "%lu", (unsigned long)SystemCoreClock);
        }
    }
}
