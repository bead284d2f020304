/*
 * qm26_uart.c
 *
 * Asynchronous USART driver of the QM26R620A/625.
 */
#include "qm26r620a.h"

void USART_StructInit(USART_InitType *init)
{
    init->baudRate = 115200U;
    init->parity = USART_PARITY_NONE;
    init->stopBits = USART_STOP_1;
    init->enableRx = 1;
    init->enableTx = 1;
}

void USART_Init(USART_TypeDef *usart, const USART_InitType *init)
{
    RCC_ClocksType clocks;
    uint32_t bus_clock;
    uint32_t ctrl1;

    QM26_ASSERT(init->baudRate != 0U);

    /* USART1 sits on APB2, the others on APB1 */
    RCC_GetClocks(&clocks);
    bus_clock = (usart == USART1) ? clocks.pclk2 : clocks.pclk1;

    /* 16x oversampling: the divider is bus_clock / baud in 12.4 fixed point, rounded */
    usart->BAUDR = (bus_clock + init->baudRate / 2U) / init->baudRate;

    usart->CTRL2 = (usart->CTRL2 & ~USART_CTRL2_STOPBN_Msk)
                   | ((uint32_t)init->stopBits << USART_CTRL2_STOPBN_Pos);

    ctrl1 = usart->CTRL1 & USART_CTRL1_UEN;
    if (init->parity != USART_PARITY_NONE)
    {
        /* the parity bit takes the place of a ninth data bit */
        ctrl1 |= USART_CTRL1_PEN | USART_CTRL1_DBN;
        if (init->parity == USART_PARITY_ODD)
        {
            ctrl1 |= USART_CTRL1_PSEL;
        }
    }
    if (init->enableRx)
    {
        ctrl1 |= USART_CTRL1_REN;
    }
    if (init->enableTx)
    {
        ctrl1 |= USART_CTRL1_TEN;
    }
    usart->CTRL1 = ctrl1;
}

void USART_Cmd(USART_TypeDef *usart, int enable)
{
    if (enable)
    {
        usart->CTRL1 |= USART_CTRL1_UEN;
    }
    else
    {
        usart->CTRL1 &= ~USART_CTRL1_UEN;
    }
}

void USART_RxInterruptCmd(USART_TypeDef *usart, int enable)
{
    if (enable)
    {
        usart->CTRL1 |= USART_CTRL1_RDBFIEN;
    }
    else
    {
        usart->CTRL1 &= ~USART_CTRL1_RDBFIEN;
    }
}

int USART_GetFlag(const USART_TypeDef *usart, uint32_t flag)
{
    return (usart->STS & flag) != 0U;
}

void USART_SendByte(USART_TypeDef *usart, uint8_t byte)
{
    while (!USART_GetFlag(usart, USART_STS_TDBE))
    {
    }
    usart->DT = byte;
}

void USART_Write(USART_TypeDef *usart, const uint8_t *data, uint32_t len)
{
    uint32_t i;

    for (i = 0U; i < len; i++)
    {
        USART_SendByte(usart, data[i]);
    }
    while (!USART_GetFlag(usart, USART_STS_TDC))
    {
    }
}

uint8_t USART_ReceiveByte(USART_TypeDef *usart)
{
    return (uint8_t)(usart->DT & 0xFFU);
}
