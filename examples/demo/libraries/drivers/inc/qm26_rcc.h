/*
 * qm26_rcc.h
 *
 * Reset and clock control driver of the QM26R620A/625: bus clock frequencies and the
 * clock gates of the peripherals.
 */
#ifndef QM26_RCC_H
#define QM26_RCC_H

#include "qm26r620a.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Frequencies of the clock tree in Hz */
typedef struct
{
    uint32_t sysclk; /* system clock */
    uint32_t hclk;   /* AHB bus and core */
    uint32_t pclk1;  /* APB1 bus */
    uint32_t pclk2;  /* APB2 bus */
} RCC_ClocksType;

/* Reads the clock tree from the RCC registers. */
void RCC_GetClocks(RCC_ClocksType *clocks);

/* Switches the clock of AHB peripherals on or off; periph is a mask of RCC_AHBEN_... bits. */
void RCC_AHBPeriphClockCmd(uint32_t periph, int enable);

/* The same for APB2 peripherals (RCC_APB2EN_... bits). */
void RCC_APB2PeriphClockCmd(uint32_t periph, int enable);

/* The same for APB1 peripherals (RCC_APB1EN_... bits). */
void RCC_APB1PeriphClockCmd(uint32_t periph, int enable);

/* Holds APB2 peripherals in reset (enable non-zero) or releases them. */
void RCC_APB2PeriphResetCmd(uint32_t periph, int enable);

/* The same for APB1 peripherals. */
void RCC_APB1PeriphResetCmd(uint32_t periph, int enable);

#ifdef __cplusplus
}
#endif

#endif /* QM26_RCC_H */
