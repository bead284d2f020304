/*
 * RTE_Device.h: device configuration of the QM26R620AVGT7 for the run-time environment.
 */
#ifndef RTE_DEVICE_H
#define RTE_DEVICE_H

#include <stdint.h>

#define RTE_HSE_VALUE 12000000U
#define RTE_LED_PORT_ADDRESS 0x40010C0CU

extern uint32_t SystemCoreClock;
void SystemInit(void);

#endif
