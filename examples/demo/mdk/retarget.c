/*
 * retarget.c
 *
 * Sends the C library's standard output to the board console and reads standard input
 * from it, for the Arm C library of MDK and for newlib of the GNU Arm toolchain.
 */
#include <stdio.h>

#include "board.h"

#if defined(__CC_ARM)

/* No semihosting: the program also runs without a debugger attached */
#pragma import(__use_no_semihosting_swi)

struct __FILE
{
    int handle;
};

FILE __stdout;
FILE __stdin;

void Retarget_Init(void)
{
}

int fputc(int ch, FILE *f)
{
    char c = (char)ch;

    (void)f;
    Board_ConsoleWrite(&c, 1U);
    return ch;
}

int fgetc(FILE *f)
{
    uint8_t byte;

    (void)f;
    while (!Board_ConsoleRead(&byte))
    {
    }
    return byte;
}

int ferror(FILE *f)
{
    (void)f;
    return EOF;
}

void _ttywrch(int ch)
{
    char c = (char)ch;
    Board_ConsoleWrite(&c, 1U);
}

void _sys_exit(int return_code)
{
    (void)return_code;
    for (;;)
    {
    }
}

#else /* GCC with newlib */

void Retarget_Init(void)
{
    /* without a terminal newlib would buffer stdout until it is full */
    setvbuf(stdout, NULL, _IONBF, 0);
}

int _write(int file, char *ptr, int len);
int _read(int file, char *ptr, int len);

int _write(int file, char *ptr, int len)
{
    (void)file;
    if (len > 0)
    {
        Board_ConsoleWrite(ptr, (uint32_t)len);
    }
    return len;
}

/* Blocks until at least one byte has arrived, then returns what is waiting. */
int _read(int file, char *ptr, int len)
{
    int count = 0;
    uint8_t byte;

    (void)file;
    if (len <= 0)
    {
        return 0;
    }
    while (!Board_ConsoleRead(&byte))
    {
    }
    do
    {
        ptr[count++] = (char)byte;
    } while (count < len && Board_ConsoleRead(&byte));
    return count;
}

#endif
