/*
 * system_flash.c: the clock set-up of the target "Flash".
 */
#include <stdint.h>

uint32_t SystemCoreClock = 12000000U;

void SystemInit(void)
{
}
