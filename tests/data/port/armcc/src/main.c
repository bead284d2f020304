/* main.c: prints what the ARM Compiler keywords and intrinsics give, through the ARM C library's
 * retargeting in retarget.c, and ends with exit(3). Written for ARM Compiler 5 only. */
#include <stdio.h>
#include <stdlib.h>
#include <stdint.h>

#include "Board.h"

#define SYSTICK_CTRL (*(volatile uint32_t *)0xE000E010u)
#define SYSTICK_LOAD (*(volatile uint32_t *)0xE000E014u)
#define SYSTICK_VAL (*(volatile uint32_t *)0xE000E018u)

__align(64) static uint8_t g_block[3];
__align(64) uint32_t g_table[2];

static volatile uint8_t g_byte = 0x5A;
static volatile uint16_t g_half = 0x1234;
static volatile uint32_t g_word = 41;
static volatile uint32_t g_ticks;

void SystemInit(void)
{
}

void __irq SysTick_Handler(void)
{
    ++g_ticks;
}

int main(void)
{
    uint32_t word;
    uint8_t byte;
    uint16_t half;

    __nop();
    printf("clz %u %u %u\n", (unsigned)__clz(0), (unsigned)__clz(1), (unsigned)__clz(0x80000000u));
    printf("c++ clz %u\n", Cxx_Clz(0));
    printf("rev %08x\n", __rev(0x11223344u));
    printf("align %u %u\n", (unsigned)((uintptr_t)g_block % 64u),
           (unsigned)((uintptr_t)g_table % 64u));
    printf("weak %s %s\n", Board_Name(), Board_Revision());
    printf("inline %d\n", Board_Twice(21));
    printf("asm %d %d\n", Asm_Add(2, 3), Asm_Sub(3, 2));

    do
    {
        word = __ldrex(&g_word);
    } while (__strex(word + 1u, &g_word) != 0);
    do
    {
        byte = __ldrex(&g_byte);
    } while (__strex(byte + 1u, &g_byte) != 0);
    do
    {
        half = __ldrex(&g_half);
    } while (__strex(half + 1u, &g_half) != 0);
    __dmb(0xF);
    printf("exclusive %u %x %x\n", (unsigned)g_word, (unsigned)g_byte, (unsigned)g_half);

    /* wait for the timer's interrupt */
    SYSTICK_LOAD = 999u;
    SYSTICK_VAL = 0u;
    SYSTICK_CTRL = 7u;
    __dsb(0xF);
    __isb(0xF);
    while (g_ticks == 0u)
    {
        __wfi();
    }
    SYSTICK_CTRL = 0u;
    __sev();
    __wfe();
    printf("irq %u\n", (unsigned)(g_ticks != 0u));

    exit(3);
}
