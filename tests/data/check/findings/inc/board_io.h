/* board_io.h: the frame the board sends, declared as for the ARM Compiler. */
#ifndef BOARD_IO_H
#define BOARD_IO_H

#include <stdint.h>

typedef __packed struct
{
    uint8_t command;
    uint32_t value;
} BoardFrame;

void Board_Write(uint32_t value);

#endif
