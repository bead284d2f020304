/*
 * board.h: the board of the flat project.
 */
#ifndef BOARD_H
#define BOARD_H

#include <stdint.h>

extern uint32_t SystemCoreClock;
void SystemInit(void);
void Board_Init(void);
uint32_t Board_ReadSensor(uint32_t channel);

#endif
