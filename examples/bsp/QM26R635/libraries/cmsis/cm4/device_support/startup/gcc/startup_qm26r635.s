/*
 * startup_qm26r635.s
 *
 * Start-up code of the QM26 series QM26R635 (Cortex-M4F) for the GNU assembler.
 * Holds the vector table, placed at the start of flash by the .isr_vector section of the
 * linker script, and Reset_Handler, which sets up the C run-time environment:
 *   - copies the initial values of .data from flash (_sidata) to SRAM (_sdata.._edata),
 *   - fills .bss (_sbss.._ebss) with zeros,
 *   - calls SystemInit (clock set-up), the C library's static constructors and main.
 * Every exception and interrupt handler is a weak alias of Default_Handler, so the
 * application overrides a handler just by defining a function of the same name.
 */

    .syntax unified
    .cpu cortex-m4
    .thumb

    .global __isr_vector
    .global Default_Handler

/* From the linker script: _estack (top of SRAM), _sidata (load address of .data),
   _sdata/_edata (bounds of .data in SRAM), _sbss/_ebss (bounds of .bss) */

/* ---------------------------------------------------------------------------------------- */
/* Reset_Handler: runs on reset, with the stack pointer loaded from the vector table       */
/* ---------------------------------------------------------------------------------------- */
    .section .text.Reset_Handler, "ax", %progbits
    .weak Reset_Handler
    .type Reset_Handler, %function
Reset_Handler:
    ldr   r0, =_estack
    mov   sp, r0                  /* also when entered from a debugger */

    /* Copy the initial values of .data from flash to SRAM */
    ldr   r0, =_sdata
    ldr   r1, =_edata
    ldr   r2, =_sidata
    b     .Lcopy_check
.Lcopy_loop:
    ldr   r3, [r2], #4
    str   r3, [r0], #4
.Lcopy_check:
    cmp   r0, r1
    bcc   .Lcopy_loop

    /* Zero .bss */
    ldr   r0, =_sbss
    ldr   r1, =_ebss
    movs  r3, #0
    b     .Lzero_check
.Lzero_loop:
    str   r3, [r0], #4
.Lzero_check:
    cmp   r0, r1
    bcc   .Lzero_loop

    /* Clocks first, then static constructors, then the application */
    bl    SystemInit
    bl    __libc_init_array
    bl    main

    /* main is not expected to return; stay here if it does */
.Lhang:
    b     .Lhang
    .size Reset_Handler, . - Reset_Handler

/* ---------------------------------------------------------------------------------------- */
/* Default_Handler: an unexpected exception or interrupt; stops here for the debugger      */
/* ---------------------------------------------------------------------------------------- */
    .section .text.Default_Handler, "ax", %progbits
    .type Default_Handler, %function
Default_Handler:
.Linfinite_loop:
    b     .Linfinite_loop
    .size Default_Handler, . - Default_Handler

/* ---------------------------------------------------------------------------------------- */
/* Vector table                                                                            */
/* ---------------------------------------------------------------------------------------- */
    .section .isr_vector, "a", %progbits
    .align 2
    .type __isr_vector, %object
__isr_vector:
    .word _estack                 /* initial main stack pointer */
    .word Reset_Handler           /* reset */
    .word NMI_Handler             /* non-maskable interrupt */
    .word HardFault_Handler       /* hard fault */
    .word MemManage_Handler       /* memory management fault */
    .word BusFault_Handler        /* bus fault */
    .word UsageFault_Handler      /* usage fault */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word SVC_Handler             /* supervisor call */
    .word DebugMon_Handler        /* debug monitor */
    .word 0                       /* reserved */
    .word PendSV_Handler          /* pendable service request */
    .word SysTick_Handler         /* system tick timer */

    /* External interrupts */
    .word WWDG_IRQHandler         /*  0 */
    .word PVD_IRQHandler          /*  1 */
    .word TAMPER_RTC_IRQHandler   /*  2 */
    .word FLASH_IRQHandler        /*  3 */
    .word RCC_IRQHandler          /*  4 */
    .word EXTI0_IRQHandler        /*  5 */
    .word EXTI1_IRQHandler        /*  6 */
    .word EXTI2_IRQHandler        /*  7 */
    .word EXTI3_IRQHandler        /*  8 */
    .word EXTI4_IRQHandler        /*  9 */
    .word DMA1_CH1_IRQHandler     /* 10 */
    .word DMA1_CH2_IRQHandler     /* 11 */
    .word DMA1_CH3_IRQHandler     /* 12 */
    .word DMA1_CH4_IRQHandler     /* 13 */
    .word ADC1_IRQHandler         /* 14 */
    .word EXTI9_5_IRQHandler      /* 15 */
    .word TMR1_BRK_IRQHandler     /* 16 */
    .word TMR1_OV_IRQHandler      /* 17 */
    .word TMR1_CC_IRQHandler      /* 18 */
    .word TMR2_IRQHandler         /* 19 */
    .word TMR3_IRQHandler         /* 20 */
    .word I2C1_EV_IRQHandler      /* 21 */
    .word I2C1_ERR_IRQHandler     /* 22 */
    .word SPI1_IRQHandler         /* 23 */
    .word SPI2_IRQHandler         /* 24 */
    .word USART1_IRQHandler       /* 25 */
    .word USART2_IRQHandler       /* 26 */
    .word USART3_IRQHandler       /* 27 */
    .word EXTI15_10_IRQHandler    /* 28 */
    .word RTC_ALARM_IRQHandler    /* 29 */
    .word OTGFS_WKUP_IRQHandler   /* 30 */
    .size __isr_vector, . - __isr_vector

/* Weak aliases of Default_Handler: a handler of the same name in C replaces them */
    .macro weak_handler handler
    .weak \handler
    .thumb_set \handler, Default_Handler
    .endm

    weak_handler NMI_Handler
    weak_handler HardFault_Handler
    weak_handler MemManage_Handler
    weak_handler BusFault_Handler
    weak_handler UsageFault_Handler
    weak_handler SVC_Handler
    weak_handler DebugMon_Handler
    weak_handler PendSV_Handler
    weak_handler SysTick_Handler
    weak_handler WWDG_IRQHandler
    weak_handler PVD_IRQHandler
    weak_handler TAMPER_RTC_IRQHandler
    weak_handler FLASH_IRQHandler
    weak_handler RCC_IRQHandler
    weak_handler EXTI0_IRQHandler
    weak_handler EXTI1_IRQHandler
    weak_handler EXTI2_IRQHandler
    weak_handler EXTI3_IRQHandler
    weak_handler EXTI4_IRQHandler
    weak_handler DMA1_CH1_IRQHandler
    weak_handler DMA1_CH2_IRQHandler
    weak_handler DMA1_CH3_IRQHandler
    weak_handler DMA1_CH4_IRQHandler
    weak_handler ADC1_IRQHandler
    weak_handler EXTI9_5_IRQHandler
    weak_handler TMR1_BRK_IRQHandler
    weak_handler TMR1_OV_IRQHandler
    weak_handler TMR1_CC_IRQHandler
    weak_handler TMR2_IRQHandler
    weak_handler TMR3_IRQHandler
    weak_handler I2C1_EV_IRQHandler
    weak_handler I2C1_ERR_IRQHandler
    weak_handler SPI1_IRQHandler
    weak_handler SPI2_IRQHandler
    weak_handler USART1_IRQHandler
    weak_handler USART2_IRQHandler
    weak_handler USART3_IRQHandler
    weak_handler EXTI15_10_IRQHandler
    weak_handler RTC_ALARM_IRQHandler
    weak_handler OTGFS_WKUP_IRQHandler

    .end
