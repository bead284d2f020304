/*
 * qm26r620a.h
 *
 * Device header of the QM26R620A and QM26R625 (Cortex-M4F, up to 1024 KB flash):
 * interrupt numbers, register layouts and base addresses of the peripherals that the
 * demo uses (RCC, flash interface, GPIO, USART).
 *
 * Define QM26R620A or QM26R625 for the device, and USE_STDPERIPH_DRIVER to pull in
 * the peripheral drivers through qm26_conf.h.
 */
#ifndef QM26R620A_H
#define QM26R620A_H

#if !defined(QM26R620A) && !defined(QM26R625)
#error "Define the device: QM26R620A or QM26R625"
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* External crystal frequency in Hz; the board of the demo carries 12 MHz */
#ifndef HSE_VALUE
#define HSE_VALUE 12000000UL
#endif

/* Internal RC oscillator frequency in Hz */
#define HSI_VALUE 8000000UL

/* Cortex-M4 core configuration */
#define QM26_NVIC_PRIO_BITS 4U
#define QM26_FPU_PRESENT    1U

/* Interrupt numbers: exceptions of the core are negative, device interrupts 0 and up */
typedef enum
{
    NonMaskableInt_IRQn   = -14,
    HardFault_IRQn        = -13,
    MemoryManagement_IRQn = -12,
    BusFault_IRQn         = -11,
    UsageFault_IRQn       = -10,
    SVCall_IRQn           = -5,
    DebugMonitor_IRQn     = -4,
    PendSV_IRQn           = -2,
    SysTick_IRQn          = -1,

    WWDG_IRQn       = 0,
    PVD_IRQn        = 1,
    TAMPER_RTC_IRQn = 2,
    FLASH_IRQn      = 3,
    RCC_IRQn        = 4,
    EXTI0_IRQn      = 5,
    EXTI1_IRQn      = 6,
    EXTI2_IRQn      = 7,
    EXTI3_IRQn      = 8,
    EXTI4_IRQn      = 9,
    DMA1_CH1_IRQn   = 10,
    DMA1_CH2_IRQn   = 11,
    DMA1_CH3_IRQn   = 12,
    DMA1_CH4_IRQn   = 13,
    ADC1_IRQn       = 14,
    EXTI9_5_IRQn    = 15,
    TMR1_BRK_IRQn   = 16,
    TMR1_OV_IRQn    = 17,
    TMR1_CC_IRQn    = 18,
    TMR2_IRQn       = 19,
    TMR3_IRQn       = 20,
    I2C1_EV_IRQn    = 21,
    I2C1_ERR_IRQn   = 22,
    SPI1_IRQn       = 23,
    SPI2_IRQn       = 24,
    USART1_IRQn     = 25,
    USART2_IRQn     = 26,
    USART3_IRQn     = 27,
    EXTI15_10_IRQn  = 28,
    RTC_ALARM_IRQn  = 29,
    OTGFS_WKUP_IRQn = 30
} IRQn_Type;

#include "qm26_core.h"
#include "system_qm26r620a.h"

/* Reset and clock control */
typedef struct
{
    __IO uint32_t CTRL;    /* 0x00 clock control */
    __IO uint32_t CFG;     /* 0x04 clock configuration */
    __IO uint32_t CLKINT;  /* 0x08 clock interrupts */
    __IO uint32_t APB2RST; /* 0x0C APB2 peripheral reset */
    __IO uint32_t APB1RST; /* 0x10 APB1 peripheral reset */
    __IO uint32_t AHBEN;   /* 0x14 AHB peripheral clock enable */
    __IO uint32_t APB2EN;  /* 0x18 APB2 peripheral clock enable */
    __IO uint32_t APB1EN;  /* 0x1C APB1 peripheral clock enable */
    __IO uint32_t BDCTRL;  /* 0x20 backup domain control */
    __IO uint32_t CTRLSTS; /* 0x24 control and status */
} RCC_TypeDef;

/* Flash interface */
typedef struct
{
    __IO uint32_t PSR;   /* 0x00 performance select: wait states, prefetch */
    __IO uint32_t UNLOCK;
    __IO uint32_t USD_UNLOCK;
    __IO uint32_t STS;
    __IO uint32_t CTRL;
    __IO uint32_t ADDR;
} FLASH_TypeDef;

/* General-purpose I/O port: 16 pins */
typedef struct
{
    __IO uint32_t MODE;  /* 0x00 2 bits per pin: input, output, alternate, analog */
    __IO uint32_t OTYPE; /* 0x04 1 bit per pin: push-pull, open drain */
    __IO uint32_t SPEED; /* 0x08 2 bits per pin: output drive strength */
    __IO uint32_t PULL;  /* 0x0C 2 bits per pin: none, pull-up, pull-down */
    __I  uint32_t IDT;   /* 0x10 input data */
    __IO uint32_t ODT;   /* 0x14 output data */
    __O  uint32_t SCR;   /* 0x18 bits 0-15 set, bits 16-31 clear an output */
    __IO uint32_t LOCK;  /* 0x1C configuration lock */
    __IO uint32_t MUXL;  /* 0x20 alternate function of pins 0-7, 4 bits each */
    __IO uint32_t MUXH;  /* 0x24 alternate function of pins 8-15, 4 bits each */
    __O  uint32_t CLR;   /* 0x28 bits 0-15 clear an output */
} GPIO_TypeDef;

/* Universal synchronous/asynchronous receiver and transmitter */
typedef struct
{
    __IO uint32_t STS;   /* 0x00 status */
    __IO uint32_t DT;    /* 0x04 data: 9 bits */
    __IO uint32_t BAUDR; /* 0x08 baud rate divider: 12.4 fixed point */
    __IO uint32_t CTRL1; /* 0x0C control 1 */
    __IO uint32_t CTRL2; /* 0x10 control 2 */
    __IO uint32_t CTRL3; /* 0x14 control 3 */
    __IO uint32_t GDIV;  /* 0x18 guard time and prescaler */
} USART_TypeDef;

/* Memory map */
#define FLASH_BASE       0x08000000UL
#define SRAM_BASE        0x20000000UL
#define PERIPH_BASE      0x40000000UL

#define APB1PERIPH_BASE  PERIPH_BASE
#define APB2PERIPH_BASE  (PERIPH_BASE + 0x00010000UL)
#define AHBPERIPH_BASE   (PERIPH_BASE + 0x00020000UL)

#define USART2_BASE      (APB1PERIPH_BASE + 0x4400UL)
#define USART3_BASE      (APB1PERIPH_BASE + 0x4800UL)
#define USART1_BASE      (APB2PERIPH_BASE + 0x3800UL)
#define GPIOA_BASE       (AHBPERIPH_BASE + 0x0000UL)
#define GPIOB_BASE       (AHBPERIPH_BASE + 0x0400UL)
#define GPIOC_BASE       (AHBPERIPH_BASE + 0x0800UL)
#define GPIOD_BASE       (AHBPERIPH_BASE + 0x0C00UL)
#define GPIOE_BASE       (AHBPERIPH_BASE + 0x1000UL)
#define RCC_BASE         (AHBPERIPH_BASE + 0x3800UL)
#define FLASH_R_BASE     (AHBPERIPH_BASE + 0x3C00UL)

#define RCC    ((RCC_TypeDef *)RCC_BASE)
#define FLASH  ((FLASH_TypeDef *)FLASH_R_BASE)
#define GPIOA  ((GPIO_TypeDef *)GPIOA_BASE)
#define GPIOB  ((GPIO_TypeDef *)GPIOB_BASE)
#define GPIOC  ((GPIO_TypeDef *)GPIOC_BASE)
#define GPIOD  ((GPIO_TypeDef *)GPIOD_BASE)
#define GPIOE  ((GPIO_TypeDef *)GPIOE_BASE)
#define USART1 ((USART_TypeDef *)USART1_BASE)
#define USART2 ((USART_TypeDef *)USART2_BASE)
#define USART3 ((USART_TypeDef *)USART3_BASE)

/* RCC_CTRL */
#define RCC_CTRL_HICKEN     (1UL << 0)  /* internal RC oscillator on */
#define RCC_CTRL_HICKSTBL   (1UL << 1)  /* internal RC oscillator stable */
#define RCC_CTRL_HEXTEN     (1UL << 16) /* external crystal on */
#define RCC_CTRL_HEXTSTBL   (1UL << 17) /* external crystal stable */
#define RCC_CTRL_PLLEN      (1UL << 24)
#define RCC_CTRL_PLLSTBL    (1UL << 25)

/* RCC_CFG */
#define RCC_CFG_SCLKSEL_Pos   0U
#define RCC_CFG_SCLKSEL_Msk   (3UL << RCC_CFG_SCLKSEL_Pos)
#define RCC_CFG_SCLKSEL_HICK  (0UL << RCC_CFG_SCLKSEL_Pos)
#define RCC_CFG_SCLKSEL_HEXT  (1UL << RCC_CFG_SCLKSEL_Pos)
#define RCC_CFG_SCLKSEL_PLL   (2UL << RCC_CFG_SCLKSEL_Pos)
#define RCC_CFG_SCLKSTS_Pos   2U
#define RCC_CFG_SCLKSTS_Msk   (3UL << RCC_CFG_SCLKSTS_Pos)
#define RCC_CFG_AHBDIV_Pos    4U  /* 0xxx: /1, 1000: /2, 1001: /4, ... */
#define RCC_CFG_AHBDIV_Msk    (0xFUL << RCC_CFG_AHBDIV_Pos)
#define RCC_CFG_APB1DIV_Pos   8U  /* 0xx: /1, 100: /2, 101: /4, 110: /8, 111: /16 */
#define RCC_CFG_APB1DIV_Msk   (7UL << RCC_CFG_APB1DIV_Pos)
#define RCC_CFG_APB2DIV_Pos   11U
#define RCC_CFG_APB2DIV_Msk   (7UL << RCC_CFG_APB2DIV_Pos)
#define RCC_CFG_PLLRCS        (1UL << 16) /* PLL source: 0 internal RC / 2, 1 external crystal */
#define RCC_CFG_PLLMULT_Pos   18U         /* multiplier 2..63, written as is */
#define RCC_CFG_PLLMULT_Msk   (0x3FUL << RCC_CFG_PLLMULT_Pos)

/* RCC_AHBEN */
#define RCC_AHBEN_GPIOA     (1UL << 0)
#define RCC_AHBEN_GPIOB     (1UL << 1)
#define RCC_AHBEN_GPIOC     (1UL << 2)
#define RCC_AHBEN_GPIOD     (1UL << 3)
#define RCC_AHBEN_GPIOE     (1UL << 4)
#define RCC_AHBEN_DMA1      (1UL << 8)

/* RCC_APB2EN */
#define RCC_APB2EN_SYSCFG   (1UL << 0)
#define RCC_APB2EN_ADC1     (1UL << 9)
#define RCC_APB2EN_TMR1     (1UL << 11)
#define RCC_APB2EN_SPI1     (1UL << 12)
#define RCC_APB2EN_USART1   (1UL << 14)

/* RCC_APB1EN */
#define RCC_APB1EN_TMR2     (1UL << 0)
#define RCC_APB1EN_TMR3     (1UL << 1)
#define RCC_APB1EN_WWDG     (1UL << 11)
#define RCC_APB1EN_SPI2     (1UL << 14)
#define RCC_APB1EN_USART2   (1UL << 17)
#define RCC_APB1EN_USART3   (1UL << 18)
#define RCC_APB1EN_I2C1     (1UL << 21)
#define RCC_APB1EN_PWC      (1UL << 28)

/* FLASH_PSR */
#define FLASH_PSR_WTCYC_Msk 0x7UL      /* wait cycles */
#define FLASH_PSR_PFT_EN    (1UL << 4) /* prefetch buffer */

/* USART_STS */
#define USART_STS_PERR      (1UL << 0)
#define USART_STS_FERR      (1UL << 1)
#define USART_STS_NERR      (1UL << 2)
#define USART_STS_ROERR     (1UL << 3)
#define USART_STS_IDLEF     (1UL << 4)
#define USART_STS_RDBF      (1UL << 5) /* receive data buffer full */
#define USART_STS_TDC       (1UL << 6) /* transmission complete */
#define USART_STS_TDBE      (1UL << 7) /* transmit data buffer empty */

/* USART_CTRL1 */
#define USART_CTRL1_REN     (1UL << 2)
#define USART_CTRL1_TEN     (1UL << 3)
#define USART_CTRL1_RDBFIEN (1UL << 5)
#define USART_CTRL1_TDCIEN  (1UL << 6)
#define USART_CTRL1_PSEL    (1UL << 9)  /* odd parity */
#define USART_CTRL1_PEN     (1UL << 10) /* parity on */
#define USART_CTRL1_DBN     (1UL << 12) /* 9 data bits */
#define USART_CTRL1_UEN     (1UL << 13)

/* USART_CTRL2 */
#define USART_CTRL2_STOPBN_Pos 12U
#define USART_CTRL2_STOPBN_Msk (3UL << USART_CTRL2_STOPBN_Pos)

#ifdef USE_STDPERIPH_DRIVER
#include "qm26_conf.h"
#endif

#ifdef __cplusplus
}
#endif

#endif /* QM26R620A_H */
