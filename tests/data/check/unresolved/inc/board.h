/* board.h: where the board keeps its buffers, for each compiler it was written for. */
#ifndef BOARD_H
#define BOARD_H

#if defined(__CC_ARM)
#define AT_FAST_RAM(declaration) declaration __attribute__((section("FAST_RAM")))
#define BOARD_COMPILER "armcc"
#else
#define BOARD_COMPILER "other"
#endif

#endif
