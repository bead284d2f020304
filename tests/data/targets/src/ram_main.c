/*
 * ram_main.c: the application of the target "RAM", built with ARM Compiler 6 at -O1 with plain
 * char signed.
 */
#ifndef RAM_BUILD
#error "built without the defines of the target RAM"
#endif

_Static_assert((char)-1 < 0, "plain char is signed");
#ifdef __OPTIMIZE__
#define OPTIMIZED 1
#else
#define OPTIMIZED 0
#endif
_Static_assert(OPTIMIZED, "optimized, in either configuration");

extern unsigned SystemCoreClock;
volatile unsigned g_counter;

int main(void)
{
    for (;;)
    {
        g_counter += SystemCoreClock;
    }
}
