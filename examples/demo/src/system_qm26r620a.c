/*
 * system_qm26r620a.c
 *
 * Clock set-up of the QM26R620A/625. SystemInit runs from Reset_Handler before the C
 * library starts: it enables the FPU and runs the core at 120 MHz from the PLL
 * (12 MHz crystal x 10), with AHB and APB2 at 120 MHz and APB1 at 60 MHz.
 */
#include "qm26r620a.h"

/* PLL multiplier: HSE_VALUE x PLL_MULT is the system clock */
#define PLL_MULT 10U

/* Polls of the ready flags before a clock source counts as failed */
#define STARTUP_TIMEOUT 0x8000U

/* Flash wait cycles: one per started 30 MHz of the AHB clock above the first */
#define FLASH_WAIT_CYCLES 3U

uint32_t SystemCoreClock = HSI_VALUE;

/* Returns 1 when the bits of mask came up in *reg before the timeout. */
static int wait_for(volatile const uint32_t *reg, uint32_t mask, uint32_t value)
{
    uint32_t polls;

    for (polls = 0U; polls < STARTUP_TIMEOUT; polls++)
    {
        if ((*reg & mask) == value)
        {
            return 1;
        }
    }
    return 0;
}

void SystemInit(void)
{
#if (QM26_FPU_PRESENT == 1U) && (defined(__ARM_FP) || defined(__TARGET_FPU_VFP))
    /* the startup code calls main with the FPU usable */
    SCB->CPACR |= SCB_CPACR_CP10_CP11;
#endif

    /* Back to the reset state: internal RC oscillator, no PLL, no dividers */
    RCC->CTRL |= RCC_CTRL_HICKEN;
    RCC->CFG = 0U;
    RCC->CTRL &= ~(RCC_CTRL_PLLEN | RCC_CTRL_HEXTEN);
    RCC->CLKINT = 0U;

    /* Start the crystal; without it the core stays on the internal RC oscillator */
    RCC->CTRL |= RCC_CTRL_HEXTEN;
    if (!wait_for(&RCC->CTRL, RCC_CTRL_HEXTSTBL, RCC_CTRL_HEXTSTBL))
    {
        RCC->CTRL &= ~RCC_CTRL_HEXTEN;
        SystemCoreClockUpdate();
        return;
    }

    /* Flash must be slowed down before the clock goes up */
    FLASH->PSR = FLASH_PSR_PFT_EN | FLASH_WAIT_CYCLES;

    RCC->CFG = (0UL << RCC_CFG_AHBDIV_Pos)      /* AHB  = SYSCLK */
               | (4UL << RCC_CFG_APB1DIV_Pos)   /* APB1 = AHB / 2 */
               | (0UL << RCC_CFG_APB2DIV_Pos)   /* APB2 = AHB */
               | RCC_CFG_PLLRCS
               | ((uint32_t)PLL_MULT << RCC_CFG_PLLMULT_Pos);

    RCC->CTRL |= RCC_CTRL_PLLEN;
    if (wait_for(&RCC->CTRL, RCC_CTRL_PLLSTBL, RCC_CTRL_PLLSTBL))
    {
        RCC->CFG = (RCC->CFG & ~RCC_CFG_SCLKSEL_Msk) | RCC_CFG_SCLKSEL_PLL;
        (void)wait_for(&RCC->CFG, RCC_CFG_SCLKSTS_Msk, 2UL << RCC_CFG_SCLKSTS_Pos);
    }

    SystemCoreClockUpdate();
}

void SystemCoreClockUpdate(void)
{
    uint32_t cfg = RCC->CFG;
    uint32_t sysclk;
    uint32_t ahb_code;

    switch ((cfg & RCC_CFG_SCLKSTS_Msk) >> RCC_CFG_SCLKSTS_Pos)
    {
    case 1U:
        sysclk = HSE_VALUE;
        break;
    case 2U:
        sysclk = ((cfg & RCC_CFG_PLLRCS) ? HSE_VALUE : (HSI_VALUE / 2U))
                 * ((cfg & RCC_CFG_PLLMULT_Msk) >> RCC_CFG_PLLMULT_Pos);
        break;
    default:
        sysclk = HSI_VALUE;
        break;
    }

    /* AHB divider codes 8..15 divide by 2, 4, 8, 16, 64, 128, 256, 512 */
    ahb_code = (cfg & RCC_CFG_AHBDIV_Msk) >> RCC_CFG_AHBDIV_Pos;
    if (ahb_code >= 8U)
    {
        static const uint8_t shift[8] = {1, 2, 3, 4, 6, 7, 8, 9};
        sysclk >>= shift[ahb_code - 8U];
    }
    SystemCoreClock = sysclk;
}
