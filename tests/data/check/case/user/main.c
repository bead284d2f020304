/* main.c: starts the Ethernet PHY; its header lies in the include folder written "User\BSP". */
#include "board.h"

int main(void)
{
    for (;;)
    {
        Board_PhyReset();
    }
}
