/*
 * system_qm26r620a.c: clock set-up, listed in the MDK project as .\system\system_qm26r620a.c.
 */
#include "board.h"

uint32_t SystemCoreClock = 12000000U;

void SystemInit(void)
{
}
