;********************************************************************************************
; os_cpu_a.asm: the context switch of the RTOS port, in the ARM assembler's syntax.
;********************************************************************************************
        EXPORT  OS_CPU_PendSV
        PRESERVE8
        THUMB
        AREA    |.text|, CODE, READONLY
OS_CPU_PendSV
        BX      LR
        END
