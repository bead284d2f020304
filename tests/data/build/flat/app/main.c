/*
 * main.c: filters the sensor readings for ever. Listed in the MDK project as app\main.c.
 */
#include <stdio.h>

#include "board.h"
#include "filter.h"

/* The MDK target compiles with plain char signed, in C99 mode with GNU extensions, at -O3 and
   with software floating point, and links the full C library; the IDE build must do the same. */
_Static_assert((char)-1 < 0, "plain char is signed");
_Static_assert(__STDC_VERSION__ == 199901L, "C99");
#ifdef __STRICT_ANSI__
#define GNU_EXTENSIONS 0
#else
#define GNU_EXTENSIONS 1
#endif
_Static_assert(GNU_EXTENSIONS, "C99 with GNU extensions");
#ifdef __ARM_PCS_VFP
#define HARD_FLOAT 1
#else
#define HARD_FLOAT 0
#endif
_Static_assert(!HARD_FLOAT, "software floating point");
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
_Static_assert(OPTIMIZED && !FOR_SIZE, "the Debug configuration optimizes as the target: -O3");
#else
_Static_assert(FOR_SIZE, "the Release configuration keeps its small build");
#endif

/* SENSOR_CHANNELS comes from the MDK defines as one define, its comma included */
static const uint32_t kChannels[] = {SENSOR_CHANNELS};

volatile uint32_t g_level;
static char s_levelText[12];

int main(void)
{
    uint32_t i = 0U;

    Board_Init();
    for (;;)
    {
        g_level = Filter_Add(Board_ReadSensor(kChannels[i]));
        (void)snprintf(s_levelText, sizeof s_levelText, "%lu", (unsigned long)g_level);
        i = (i + 1U) % (sizeof kChannels / sizeof kChannels[0]);
    }
}
