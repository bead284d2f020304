/*
 * main.c
 *
 * QM26R620A demo: blinks the green LED, toggles the red LED on each press of the user
 * button, and echoes what arrives on the console (USART1, 115200 baud) in upper case.
 */
#include <stdio.h>

#include "board.h"

#define BLINK_PERIOD_MS 500U
#define DEBOUNCE_MS     20U

static char to_upper(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

int main(void)
{
    uint32_t last_blink = 0U;
    uint32_t presses = 0U;
    int button_was_down = 0;

    Board_Init();

    printf("\r\nQM26R620A demo, core clock %lu Hz\r\n", (unsigned long)SystemCoreClock);
    printf("Type something; it comes back in upper case.\r\n");

    for (;;)
    {
        uint32_t now = Board_Millis();
        int button_down = Board_ButtonPressed();
        uint8_t byte;

        if ((now - last_blink) >= BLINK_PERIOD_MS)
        {
            last_blink = now;
            Board_LedToggle(LED_GREEN);
        }

        if (button_down && !button_was_down)
        {
            Board_DelayMs(DEBOUNCE_MS);
            if (Board_ButtonPressed())
            {
                presses++;
                Board_LedToggle(LED_RED);
                printf("Button press %lu at %lu ms\r\n", (unsigned long)presses, (unsigned long)now);
            }
        }
        button_was_down = button_down;

        while (Board_ConsoleRead(&byte))
        {
            char c = to_upper((char)byte);
            Board_ConsoleWrite(&c, 1U);
        }
    }
}

#ifndef NDEBUG
/* A driver was called with a bad parameter: report where, then stop for the debugger. */
void qm26_assert_failed(const char *file, int line)
{
    printf("Assertion failed: %s, line %d\r\n", file, line);
    __disable_irq();
    for (;;)
    {
    }
}
#endif
