/*
 * system_qm26r620a.c: clock set-up, run by Reset_Handler before main.
 */
#include "main.h"

uint32_t SystemCoreClock = 8000000U;

void SystemInit(void)
{
}
