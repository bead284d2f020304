/*
 * main.c: blinks the board LED from the RTE-managed MDK 5 project "Blinky".
 */
#include "RTE_Components.h"
#include CMSIS_device_header

void LED_Toggle(void);

int main(void)
{
    uint32_t count = 0U;

    for (;;)
    {
        if (++count == SystemCoreClock / 8U)
        {
            count = 0U;
            LED_Toggle();
        }
    }
}
