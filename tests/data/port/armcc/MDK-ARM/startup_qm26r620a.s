; startup_qm26r620a.s: the vector table for the ARM assembler; the BSP's GNU startup file
; takes its place in the IDE project.
Stack_Size      EQU     0x400
                AREA    STACK, NOINIT, READWRITE, ALIGN=3
Stack_Mem       SPACE   Stack_Size
__initial_sp
                PRESERVE8
                THUMB
                AREA    RESET, DATA, READONLY
                EXPORT  __Vectors
__Vectors       DCD     __initial_sp
                END
