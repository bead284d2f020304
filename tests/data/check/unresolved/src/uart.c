/* uart.c: the console, on the vendor's driver. */
#include "qm26r6xx_hal.h"
#include "..\inc\missing.h"

void Uart_Init(void)
{
}
