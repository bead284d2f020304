/* delay.h: busy waiting. main.c includes it as "Delay.h", which Windows finds and Linux does not. */
#ifndef DELAY_H
#define DELAY_H

#include <stdint.h>

uint32_t Delay_Ticks(uint32_t milliseconds);

#endif
