/*
 * main.c: waits for the console, then counts SysTick interrupts for ever.
 */
#include "main.h"

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
        }
    }
}
