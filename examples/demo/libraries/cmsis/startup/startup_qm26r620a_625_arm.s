;/*****************************************************************************
; * startup_qm26r620a_625_arm.s
; *
; * Start-up code of the QM26 series QM26R620A_625 (Cortex-M4F) for the Arm
; * assembler of MDK. Sets up stack and heap, holds the vector table and
; * calls SystemInit before the C library's entry __main.
; *****************************************************************************/

; Stack size in bytes
Stack_Size      EQU     0x00000800

                AREA    STACK, NOINIT, READWRITE, ALIGN=3
Stack_Mem       SPACE   Stack_Size
__initial_sp

; Heap size in bytes
Heap_Size       EQU     0x00000400

                AREA    HEAP, NOINIT, READWRITE, ALIGN=3
__heap_base
Heap_Mem        SPACE   Heap_Size
__heap_limit

                PRESERVE8
                THUMB

; Vector table, mapped to address 0 at reset
                AREA    RESET, DATA, READONLY
                EXPORT  __Vectors
                EXPORT  __Vectors_End
                EXPORT  __Vectors_Size

__Vectors       DCD     __initial_sp              ; Top of stack
                DCD     Reset_Handler             ; Reset
                DCD     NMI_Handler               ; NMI
                DCD     HardFault_Handler         ; Hard fault
                DCD     MemManage_Handler         ; MPU fault
                DCD     BusFault_Handler          ; Bus fault
                DCD     UsageFault_Handler        ; Usage fault
                DCD     0                         ; Reserved
                DCD     0                         ; Reserved
                DCD     0                         ; Reserved
                DCD     0                         ; Reserved
                DCD     SVC_Handler               ; SVCall
                DCD     DebugMon_Handler          ; Debug monitor
                DCD     0                         ; Reserved
                DCD     PendSV_Handler            ; PendSV
                DCD     SysTick_Handler           ; SysTick

                ; External interrupts
                DCD     WWDG_IRQHandler           ; 0
                DCD     PVD_IRQHandler            ; 1
                DCD     TAMPER_RTC_IRQHandler     ; 2
                DCD     FLASH_IRQHandler          ; 3
                DCD     RCC_IRQHandler            ; 4
                DCD     EXTI0_IRQHandler          ; 5
                DCD     EXTI1_IRQHandler          ; 6
                DCD     EXTI2_IRQHandler          ; 7
                DCD     EXTI3_IRQHandler          ; 8
                DCD     EXTI4_IRQHandler          ; 9
                DCD     DMA1_CH1_IRQHandler       ; 10
                DCD     DMA1_CH2_IRQHandler       ; 11
                DCD     DMA1_CH3_IRQHandler       ; 12
                DCD     DMA1_CH4_IRQHandler       ; 13
                DCD     ADC1_IRQHandler           ; 14
                DCD     EXTI9_5_IRQHandler        ; 15
                DCD     TMR1_BRK_IRQHandler       ; 16
                DCD     TMR1_OV_IRQHandler        ; 17
                DCD     TMR1_CC_IRQHandler        ; 18
                DCD     TMR2_IRQHandler           ; 19
                DCD     TMR3_IRQHandler           ; 20
                DCD     I2C1_EV_IRQHandler        ; 21
                DCD     I2C1_ERR_IRQHandler       ; 22
                DCD     SPI1_IRQHandler           ; 23
                DCD     SPI2_IRQHandler           ; 24
                DCD     USART1_IRQHandler         ; 25
                DCD     USART2_IRQHandler         ; 26
                DCD     USART3_IRQHandler         ; 27
                DCD     EXTI15_10_IRQHandler      ; 28
                DCD     RTC_ALARM_IRQHandler      ; 29
                DCD     OTGFS_WKUP_IRQHandler     ; 30
__Vectors_End

__Vectors_Size  EQU     __Vectors_End - __Vectors

                AREA    |.text|, CODE, READONLY

; Reset handler
Reset_Handler       PROC
                EXPORT  Reset_Handler              [WEAK]
                IMPORT  SystemInit
                IMPORT  __main
                LDR     R0, =SystemInit
                BLX     R0
                LDR     R0, =__main
                BX      R0
                ENDP

; Exception handlers: endless loops, replaced by handlers of the same name in C
NMI_Handler         PROC
                EXPORT  NMI_Handler                [WEAK]
                B       .
                ENDP
HardFault_Handler   PROC
                EXPORT  HardFault_Handler          [WEAK]
                B       .
                ENDP
MemManage_Handler   PROC
                EXPORT  MemManage_Handler          [WEAK]
                B       .
                ENDP
BusFault_Handler    PROC
                EXPORT  BusFault_Handler           [WEAK]
                B       .
                ENDP
UsageFault_Handler  PROC
                EXPORT  UsageFault_Handler         [WEAK]
                B       .
                ENDP
SVC_Handler         PROC
                EXPORT  SVC_Handler                [WEAK]
                B       .
                ENDP
DebugMon_Handler    PROC
                EXPORT  DebugMon_Handler           [WEAK]
                B       .
                ENDP
PendSV_Handler      PROC
                EXPORT  PendSV_Handler             [WEAK]
                B       .
                ENDP
SysTick_Handler     PROC
                EXPORT  SysTick_Handler            [WEAK]
                B       .
                ENDP

Default_Handler     PROC

                EXPORT  WWDG_IRQHandler            [WEAK]
                EXPORT  PVD_IRQHandler             [WEAK]
                EXPORT  TAMPER_RTC_IRQHandler      [WEAK]
                EXPORT  FLASH_IRQHandler           [WEAK]
                EXPORT  RCC_IRQHandler             [WEAK]
                EXPORT  EXTI0_IRQHandler           [WEAK]
                EXPORT  EXTI1_IRQHandler           [WEAK]
                EXPORT  EXTI2_IRQHandler           [WEAK]
                EXPORT  EXTI3_IRQHandler           [WEAK]
                EXPORT  EXTI4_IRQHandler           [WEAK]
                EXPORT  DMA1_CH1_IRQHandler        [WEAK]
                EXPORT  DMA1_CH2_IRQHandler        [WEAK]
                EXPORT  DMA1_CH3_IRQHandler        [WEAK]
                EXPORT  DMA1_CH4_IRQHandler        [WEAK]
                EXPORT  ADC1_IRQHandler            [WEAK]
                EXPORT  EXTI9_5_IRQHandler         [WEAK]
                EXPORT  TMR1_BRK_IRQHandler        [WEAK]
                EXPORT  TMR1_OV_IRQHandler         [WEAK]
                EXPORT  TMR1_CC_IRQHandler         [WEAK]
                EXPORT  TMR2_IRQHandler            [WEAK]
                EXPORT  TMR3_IRQHandler            [WEAK]
                EXPORT  I2C1_EV_IRQHandler         [WEAK]
                EXPORT  I2C1_ERR_IRQHandler        [WEAK]
                EXPORT  SPI1_IRQHandler            [WEAK]
                EXPORT  SPI2_IRQHandler            [WEAK]
                EXPORT  USART1_IRQHandler          [WEAK]
                EXPORT  USART2_IRQHandler          [WEAK]
                EXPORT  USART3_IRQHandler          [WEAK]
                EXPORT  EXTI15_10_IRQHandler       [WEAK]
                EXPORT  RTC_ALARM_IRQHandler       [WEAK]
                EXPORT  OTGFS_WKUP_IRQHandler      [WEAK]

WWDG_IRQHandler
PVD_IRQHandler
TAMPER_RTC_IRQHandler
FLASH_IRQHandler
RCC_IRQHandler
EXTI0_IRQHandler
EXTI1_IRQHandler
EXTI2_IRQHandler
EXTI3_IRQHandler
EXTI4_IRQHandler
DMA1_CH1_IRQHandler
DMA1_CH2_IRQHandler
DMA1_CH3_IRQHandler
DMA1_CH4_IRQHandler
ADC1_IRQHandler
EXTI9_5_IRQHandler
TMR1_BRK_IRQHandler
TMR1_OV_IRQHandler
TMR1_CC_IRQHandler
TMR2_IRQHandler
TMR3_IRQHandler
I2C1_EV_IRQHandler
I2C1_ERR_IRQHandler
SPI1_IRQHandler
SPI2_IRQHandler
USART1_IRQHandler
USART2_IRQHandler
USART3_IRQHandler
EXTI15_10_IRQHandler
RTC_ALARM_IRQHandler
OTGFS_WKUP_IRQHandler

                B       .

                ENDP

                ALIGN

; Stack and heap for the C library
                IF      :DEF:__MICROLIB

                EXPORT  __initial_sp
                EXPORT  __heap_base
                EXPORT  __heap_limit

                ELSE

                IMPORT  __use_two_region_memory
                EXPORT  __user_initial_stackheap

__user_initial_stackheap
                LDR     R0, =Heap_Mem
                LDR     R1, =(Stack_Mem + Stack_Size)
                LDR     R2, =(Heap_Mem + Heap_Size)
                LDR     R3, =Stack_Mem
                BX      LR

                ALIGN

                ENDIF

                END
