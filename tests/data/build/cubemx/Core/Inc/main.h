/*
 * main.h: shared declarations of the CubeMX-style project.
 */
#ifndef MAIN_H
#define MAIN_H

#include <stdint.h>

#if !defined(USE_HAL_DRIVER) || !defined(QM26R620Axx)
#error "the MDK project's defines are missing"
#endif

extern uint32_t SystemCoreClock;
extern volatile uint32_t g_ticks;
void SystemInit(void);
int BSP_ConsoleReady(void);

#endif
