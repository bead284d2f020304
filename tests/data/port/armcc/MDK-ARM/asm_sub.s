@ asm_sub.s: Asm_Sub(a, b) returns a - b; GNU syntax, beside the MDK project file.
    .syntax unified
    .thumb
    .text
    .global Asm_Sub
    .type Asm_Sub, %function
Asm_Sub:
    subs r0, r0, r1
    bx lr
    .size Asm_Sub, . - Asm_Sub
