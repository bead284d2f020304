/*
 * system_qm26s110.c: the clock set-up of the QM26S110, from the run-time environment of the
 * target "RAM" alone.
 */
#include <stdint.h>

uint32_t SystemCoreClock = 8000000U;

void SystemInit(void)
{
}
