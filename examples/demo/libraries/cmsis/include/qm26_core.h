/*
 * qm26_core.h
 *
 * Core peripherals of the Cortex-M cores in the QM26 family: the system control block,
 * the SysTick timer and the nested vectored interrupt controller, with the few helpers
 * the QM26 drivers use. Compiles with the Arm compiler of MDK and with GCC.
 *
 * The device header defines QM26_NVIC_PRIO_BITS and QM26_FPU_PRESENT before it includes
 * this file.
 */
#ifndef QM26_CORE_H
#define QM26_CORE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Access qualifiers of register fields */
#define __I  volatile const /* read only */
#define __O  volatile       /* write only */
#define __IO volatile       /* read and write */

#ifndef QM26_NVIC_PRIO_BITS
#define QM26_NVIC_PRIO_BITS 4U
#endif

/* Compiler specifics */
#if defined(__CC_ARM)
#define QM26_INLINE __inline
#define QM26_STATIC_INLINE static __inline
#elif defined(__GNUC__) || defined(__clang__)
#define QM26_INLINE inline
#define QM26_STATIC_INLINE static inline
#else
#error "qm26_core.h: unsupported compiler"
#endif

/* System control block */
typedef struct
{
    __I  uint32_t CPUID;   /* 0x00 CPU identification */
    __IO uint32_t ICSR;    /* 0x04 interrupt control and state */
    __IO uint32_t VTOR;    /* 0x08 vector table offset */
    __IO uint32_t AIRCR;   /* 0x0C application interrupt and reset control */
    __IO uint32_t SCR;     /* 0x10 system control */
    __IO uint32_t CCR;     /* 0x14 configuration and control */
    __IO uint8_t  SHP[12]; /* 0x18 system handler priorities */
    __IO uint32_t SHCSR;   /* 0x24 system handler control and state */
    __IO uint32_t CFSR;    /* 0x28 configurable fault status */
    __IO uint32_t HFSR;    /* 0x2C hard fault status */
    __IO uint32_t DFSR;    /* 0x30 debug fault status */
    __IO uint32_t MMFAR;   /* 0x34 memory management fault address */
    __IO uint32_t BFAR;    /* 0x38 bus fault address */
    __IO uint32_t AFSR;    /* 0x3C auxiliary fault status */
    uint32_t RESERVED0[18];
    __IO uint32_t CPACR;   /* 0x88 coprocessor access control */
} SCB_Type;

/* SysTick timer */
typedef struct
{
    __IO uint32_t CTRL;  /* 0x00 control and status */
    __IO uint32_t LOAD;  /* 0x04 reload value */
    __IO uint32_t VAL;   /* 0x08 current value */
    __I  uint32_t CALIB; /* 0x0C calibration */
} SysTick_Type;

/* Nested vectored interrupt controller */
typedef struct
{
    __IO uint32_t ISER[8]; /* 0x000 interrupt set-enable */
    uint32_t RESERVED0[24];
    __IO uint32_t ICER[8]; /* 0x080 interrupt clear-enable */
    uint32_t RESERVED1[24];
    __IO uint32_t ISPR[8]; /* 0x100 interrupt set-pending */
    uint32_t RESERVED2[24];
    __IO uint32_t ICPR[8]; /* 0x180 interrupt clear-pending */
    uint32_t RESERVED3[24];
    __IO uint32_t IABR[8]; /* 0x200 interrupt active bit */
    uint32_t RESERVED4[56];
    __IO uint8_t  IP[240]; /* 0x300 interrupt priority */
} NVIC_Type;

#define QM26_SCS_BASE     0xE000E000UL
#define QM26_SYSTICK_BASE (QM26_SCS_BASE + 0x0010UL)
#define QM26_NVIC_BASE    (QM26_SCS_BASE + 0x0100UL)
#define QM26_SCB_BASE     (QM26_SCS_BASE + 0x0D00UL)

#define SCB     ((SCB_Type *)QM26_SCB_BASE)
#define SysTick ((SysTick_Type *)QM26_SYSTICK_BASE)
#define NVIC    ((NVIC_Type *)QM26_NVIC_BASE)

#define SCB_AIRCR_VECTKEY      (0x05FAUL << 16)
#define SCB_AIRCR_SYSRESETREQ  (1UL << 2)
#define SCB_CPACR_CP10_CP11    (0xFUL << 20) /* full access to the FPU */

#define SysTick_CTRL_ENABLE    (1UL << 0)
#define SysTick_CTRL_TICKINT   (1UL << 1)
#define SysTick_CTRL_CLKSOURCE (1UL << 2) /* 1: core clock, 0: core clock / 8 */
#define SysTick_LOAD_MAX       0x00FFFFFFUL

/* Interrupt masking */
#if defined(__CC_ARM)
/* __enable_irq and __disable_irq are intrinsics of the Arm compiler */
#define __NOP() __nop()
#define __DSB() __dsb(0xF)
#define __ISB() __isb(0xF)
#else
QM26_STATIC_INLINE void __enable_irq(void)
{
    __asm volatile("cpsie i" : : : "memory");
}

QM26_STATIC_INLINE void __disable_irq(void)
{
    __asm volatile("cpsid i" : : : "memory");
}

QM26_STATIC_INLINE void __NOP(void)
{
    __asm volatile("nop");
}

QM26_STATIC_INLINE void __DSB(void)
{
    __asm volatile("dsb 0xF" : : : "memory");
}

QM26_STATIC_INLINE void __ISB(void)
{
    __asm volatile("isb 0xF" : : : "memory");
}
#endif

/* Enables the interrupt irq (a device interrupt, 0 or more) in the NVIC. */
QM26_STATIC_INLINE void NVIC_EnableIRQ(int32_t irq)
{
    if (irq >= 0)
    {
        NVIC->ISER[(uint32_t)irq >> 5] = 1UL << ((uint32_t)irq & 0x1FUL);
    }
}

/* Disables the interrupt irq in the NVIC. */
QM26_STATIC_INLINE void NVIC_DisableIRQ(int32_t irq)
{
    if (irq >= 0)
    {
        NVIC->ICER[(uint32_t)irq >> 5] = 1UL << ((uint32_t)irq & 0x1FUL);
        __DSB();
        __ISB();
    }
}

/* Sets the priority of a device interrupt; 0 is the most urgent. */
QM26_STATIC_INLINE void NVIC_SetPriority(int32_t irq, uint32_t priority)
{
    uint8_t value = (uint8_t)((priority << (8U - QM26_NVIC_PRIO_BITS)) & 0xFFUL);
    if (irq >= 0)
    {
        NVIC->IP[(uint32_t)irq] = value;
    }
    else
    {
        /* system handlers: -12 (memory management fault) .. -1 (SysTick) */
        SCB->SHP[((uint32_t)irq & 0xFUL) - 4UL] = value;
    }
}

/* Starts SysTick with an interrupt every ticks core clocks; returns 1 when ticks is out of range. */
QM26_STATIC_INLINE uint32_t SysTick_Config(uint32_t ticks)
{
    if (ticks == 0UL || (ticks - 1UL) > SysTick_LOAD_MAX)
    {
        return 1UL;
    }
    SysTick->LOAD = ticks - 1UL;
    NVIC_SetPriority(-1, (1UL << QM26_NVIC_PRIO_BITS) - 1UL);
    SysTick->VAL = 0UL;
    SysTick->CTRL = SysTick_CTRL_CLKSOURCE | SysTick_CTRL_TICKINT | SysTick_CTRL_ENABLE;
    return 0UL;
}

/* Requests a system reset and waits for it. */
QM26_STATIC_INLINE void NVIC_SystemReset(void)
{
    __DSB();
    SCB->AIRCR = SCB_AIRCR_VECTKEY | (SCB->AIRCR & (7UL << 8)) | SCB_AIRCR_SYSRESETREQ;
    __DSB();
    for (;;)
    {
        __NOP();
    }
}

#ifdef __cplusplus
}
#endif

#endif /* QM26_CORE_H */
