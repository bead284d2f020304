/*
 * qm26_rcc.c
 *
 * Reset and clock control driver of the QM26R620A/625.
 */
#include "qm26r620a.h"

/* Shift of the AHB divider codes 8..15: /2, /4, /8, /16, /64, /128, /256, /512 */
static const uint8_t ahb_shift[8] = {1, 2, 3, 4, 6, 7, 8, 9};

/* Shift of the APB divider codes 4..7: /2, /4, /8, /16 */
static const uint8_t apb_shift[4] = {1, 2, 3, 4};

static uint32_t ahb_divide(uint32_t clock, uint32_t code)
{
    return (code & 0x8UL) ? (clock >> ahb_shift[code & 0x7UL]) : clock;
}

static uint32_t apb_divide(uint32_t clock, uint32_t code)
{
    return (code & 0x4UL) ? (clock >> apb_shift[code & 0x3UL]) : clock;
}

void RCC_GetClocks(RCC_ClocksType *clocks)
{
    uint32_t cfg = RCC->CFG;
    uint32_t source = (cfg & RCC_CFG_SCLKSTS_Msk) >> RCC_CFG_SCLKSTS_Pos;

    QM26_ASSERT(clocks != 0);

    switch (source)
    {
    case 1U:
        clocks->sysclk = HSE_VALUE;
        break;
    case 2U:
    {
        uint32_t mult = (cfg & RCC_CFG_PLLMULT_Msk) >> RCC_CFG_PLLMULT_Pos;
        uint32_t input = (cfg & RCC_CFG_PLLRCS) ? HSE_VALUE : (HSI_VALUE / 2U);
        clocks->sysclk = input * mult;
        break;
    }
    default:
        clocks->sysclk = HSI_VALUE;
        break;
    }

    clocks->hclk = ahb_divide(clocks->sysclk, (cfg & RCC_CFG_AHBDIV_Msk) >> RCC_CFG_AHBDIV_Pos);
    clocks->pclk1 = apb_divide(clocks->hclk, (cfg & RCC_CFG_APB1DIV_Msk) >> RCC_CFG_APB1DIV_Pos);
    clocks->pclk2 = apb_divide(clocks->hclk, (cfg & RCC_CFG_APB2DIV_Msk) >> RCC_CFG_APB2DIV_Pos);
}

void RCC_AHBPeriphClockCmd(uint32_t periph, int enable)
{
    if (enable)
    {
        RCC->AHBEN |= periph;
    }
    else
    {
        RCC->AHBEN &= ~periph;
    }
}

void RCC_APB2PeriphClockCmd(uint32_t periph, int enable)
{
    if (enable)
    {
        RCC->APB2EN |= periph;
    }
    else
    {
        RCC->APB2EN &= ~periph;
    }
}

void RCC_APB1PeriphClockCmd(uint32_t periph, int enable)
{
    if (enable)
    {
        RCC->APB1EN |= periph;
    }
    else
    {
        RCC->APB1EN &= ~periph;
    }
}

void RCC_APB2PeriphResetCmd(uint32_t periph, int enable)
{
    if (enable)
    {
        RCC->APB2RST |= periph;
    }
    else
    {
        RCC->APB2RST &= ~periph;
    }
}

void RCC_APB1PeriphResetCmd(uint32_t periph, int enable)
{
    if (enable)
    {
        RCC->APB1RST |= periph;
    }
    else
    {
        RCC->APB1RST &= ~periph;
    }
}
