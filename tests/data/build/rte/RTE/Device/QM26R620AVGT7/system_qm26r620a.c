/*
 * system_qm26r620a.c: clock set-up of the QM26R620A, configured for this target by the RTE.
 */
#include "RTE_Device.h"

uint32_t SystemCoreClock = RTE_HSE_VALUE;

void SystemInit(void)
{
    SystemCoreClock = RTE_HSE_VALUE;
}
