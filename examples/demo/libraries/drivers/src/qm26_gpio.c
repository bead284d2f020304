/*
 * qm26_gpio.c
 *
 * General-purpose I/O driver of the QM26R620A/625.
 */
#include "qm26r620a.h"

void GPIO_StructInit(GPIO_InitType *init)
{
    init->pins = GPIO_PIN_ALL;
    init->mode = GPIO_MODE_INPUT;
    init->output = GPIO_OUTPUT_PUSH_PULL;
    init->speed = GPIO_SPEED_LOW;
    init->pull = GPIO_PULL_NONE;
}

void GPIO_Init(GPIO_TypeDef *port, const GPIO_InitType *init)
{
    uint32_t pin;

    QM26_ASSERT(init->pins != 0U);

    for (pin = 0U; pin < 16U; pin++)
    {
        uint32_t two_bits = 3UL << (pin * 2U);

        if ((init->pins & (1UL << pin)) == 0U)
        {
            continue;
        }
        /* the mode is written last so that a new output starts with its final drive */
        port->OTYPE = (port->OTYPE & ~(1UL << pin)) | ((uint32_t)init->output << pin);
        port->SPEED = (port->SPEED & ~two_bits) | ((uint32_t)init->speed << (pin * 2U));
        port->PULL = (port->PULL & ~two_bits) | ((uint32_t)init->pull << (pin * 2U));
        port->MODE = (port->MODE & ~two_bits) | ((uint32_t)init->mode << (pin * 2U));
    }
}

void GPIO_PinMuxConfig(GPIO_TypeDef *port, uint32_t pin, uint32_t mux)
{
    uint32_t shift = (pin & 7U) * 4U;

    QM26_ASSERT(pin < 16U && mux < 16U);

    if (pin < 8U)
    {
        port->MUXL = (port->MUXL & ~(0xFUL << shift)) | (mux << shift);
    }
    else
    {
        port->MUXH = (port->MUXH & ~(0xFUL << shift)) | (mux << shift);
    }
}

void GPIO_SetBits(GPIO_TypeDef *port, uint16_t pins)
{
    port->SCR = pins;
}

void GPIO_ResetBits(GPIO_TypeDef *port, uint16_t pins)
{
    port->CLR = pins;
}

void GPIO_ToggleBits(GPIO_TypeDef *port, uint16_t pins)
{
    /* one write to the set/clear register changes all pins at once */
    uint32_t high = port->ODT & pins;
    port->SCR = ((uint32_t)high << 16) | ((uint32_t)pins & ~high);
}

int GPIO_ReadInputBit(const GPIO_TypeDef *port, uint16_t pin)
{
    return (port->IDT & pin) != 0U;
}
