/* asm_add.s: Asm_Add(a, b) returns a + b; GNU syntax, as ARM Compiler 6 assembles it. */
    .syntax unified
    .thumb
    .text
    .global Asm_Add
    .type Asm_Add, %function
Asm_Add:
    adds r0, r0, r1
    bx lr
    .size Asm_Add, . - Asm_Add
