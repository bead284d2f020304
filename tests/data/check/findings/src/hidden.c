/*
 * hidden.c: ARM Compiler code that GCC never compiles: in comments, in a string and in #if 0.
 * __asm void Sleep(void) { WFI }
 */
#include <stdint.h>

// __nop(); __wfi(); typedef __packed struct { int a; } Packed;
static const char kNote[] = "__nop(); __align(8) int x; #pragma anon_unions";

#if 0
__asm void Hidden_Sleep(void)
{
    WFI
    BX      LR
}
static __align(8) uint8_t s_buffer[64] __attribute__((at(0x68000000)));
#endif

const char *Hidden_Note(void)
{
    return kNote; /* __wfe() */
}
