/* board.h: the board's functions. The MDK target names this folder "..\User\BSP". */
#ifndef BOARD_H
#define BOARD_H

#include <stdint.h>

extern volatile uint32_t g_phyResets;

/* Defined in hardware/lan8720.c, which the MDK target lists as "..\HARDWARE\LAN8720.c". */
void Board_PhyReset(void);

#endif
