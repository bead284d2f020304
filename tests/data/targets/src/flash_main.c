/*
 * flash_main.c: the application of the target "Flash".
 */
#ifndef FLASH_BUILD
#error "built without the defines of the target Flash"
#endif

volatile unsigned g_counter;

int main(void)
{
    for (;;)
    {
        g_counter++;
    }
}
