/*
 * qm26_it.c: interrupt handlers; SysTick_Handler replaces the startup file's weak default.
 */
#include "main.h"

volatile uint32_t g_ticks;

void SysTick_Handler(void)
{
    g_ticks++;
}
