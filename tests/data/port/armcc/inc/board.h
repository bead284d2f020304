/* board.h: the board's console and the functions the files of the program share. */
#ifndef BOARD_H
#define BOARD_H

#include <stdint.h>

/* USART1's data register: what the program writes there goes to the console. */
#define BOARD_CONSOLE (*(volatile uint32_t *)0x40011004u)

const char *Board_Name(void);
const char *Board_Revision(void);
int Board_Twice(int value);
int Asm_Add(int a, int b);
int Asm_Sub(int a, int b);

#ifdef __cplusplus
extern "C" {
#endif
unsigned Cxx_Clz(unsigned value);
#ifdef __cplusplus
}
#endif

#endif
