/* system_qm26.c: clock set-up, listed in the MDK target as ".\System\System_QM26.c". */
#include <stdint.h>

uint32_t SystemCoreClock = 12000000U;

void SystemInit(void)
{
}
