/* main.c: the application; its headers come through the include path. */
#include "board_io.h"
#include "Delay.h"

int main(void)
{
    for (;;)
    {
        Board_Write(Delay_Ticks(10U));
    }
}
