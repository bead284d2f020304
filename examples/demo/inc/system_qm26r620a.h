/*
 * system_qm26r620a.h
 *
 * Clock set-up of the QM26R620A/625: SystemInit runs from the startup code before main.
 */
#ifndef SYSTEM_QM26R620A_H
#define SYSTEM_QM26R620A_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Core clock in Hz, kept up to date by SystemInit and SystemCoreClockUpdate */
extern uint32_t SystemCoreClock;

/* Enables the FPU and runs the core at 120 MHz from the PLL fed by the external crystal;
   falls back to the internal RC oscillator when the crystal does not start. */
void SystemInit(void);

/* Recomputes SystemCoreClock from the clock registers. */
void SystemCoreClockUpdate(void);

#ifdef __cplusplus
}
#endif

#endif /* SYSTEM_QM26R620A_H */
