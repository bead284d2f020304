/* lan8720.c: the Ethernet PHY. The MDK target lists it as "..\HARDWARE\LAN8720.c". */
#include "board.h"

volatile uint32_t g_phyResets;

void Board_PhyReset(void)
{
    ++g_phyResets;
}
