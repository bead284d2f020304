/*
 * board.c
 *
 * Board support of the demo: LEDs, button, console with an interrupt-driven receive
 * buffer, and the 1 ms SysTick tick.
 */
#include "board.h"

/* Received bytes wait here until the main loop takes them; a power of two */
#define RX_BUFFER_SIZE 64U

static volatile uint32_t s_millis;
static volatile uint8_t s_rx_buffer[RX_BUFFER_SIZE];
static volatile uint32_t s_rx_head; /* written by the interrupt */
static volatile uint32_t s_rx_tail; /* written by the main loop */

static uint16_t led_pin(Board_Led led)
{
    return (led == LED_GREEN) ? LED_GREEN_PIN : LED_RED_PIN;
}

static void init_leds(void)
{
    GPIO_InitType init;

    GPIO_StructInit(&init);
    init.pins = LED_GREEN_PIN | LED_RED_PIN;
    init.mode = GPIO_MODE_OUTPUT;
    GPIO_ResetBits(LED_PORT, init.pins);
    GPIO_Init(LED_PORT, &init);
}

static void init_button(void)
{
    GPIO_InitType init;

    GPIO_StructInit(&init);
    init.pins = BUTTON_PIN;
    init.mode = GPIO_MODE_INPUT;
    init.pull = GPIO_PULL_DOWN;
    GPIO_Init(BUTTON_PORT, &init);
}

static void init_console(void)
{
    GPIO_InitType pins;
    USART_InitType usart;

    GPIO_StructInit(&pins);
    pins.pins = (uint16_t)((1U << CONSOLE_TX_PIN) | (1U << CONSOLE_RX_PIN));
    pins.mode = GPIO_MODE_MUX;
    pins.speed = GPIO_SPEED_HIGH;
    pins.pull = GPIO_PULL_UP;
    GPIO_PinMuxConfig(CONSOLE_PORT, CONSOLE_TX_PIN, CONSOLE_MUX);
    GPIO_PinMuxConfig(CONSOLE_PORT, CONSOLE_RX_PIN, CONSOLE_MUX);
    GPIO_Init(CONSOLE_PORT, &pins);

    USART_StructInit(&usart);
    usart.baudRate = CONSOLE_BAUD;
    USART_Init(CONSOLE_USART, &usart);
    USART_RxInterruptCmd(CONSOLE_USART, 1);
    USART_Cmd(CONSOLE_USART, 1);

    NVIC_SetPriority(CONSOLE_IRQn, 5U);
    NVIC_EnableIRQ(CONSOLE_IRQn);
}

void Board_Init(void)
{
    SystemCoreClockUpdate();
    (void)SysTick_Config(SystemCoreClock / 1000U);

    RCC_AHBPeriphClockCmd(RCC_AHBEN_GPIOA | RCC_AHBEN_GPIOD, 1);
    RCC_APB2PeriphClockCmd(RCC_APB2EN_USART1, 1);

    init_leds();
    init_button();
    init_console();
    Retarget_Init();
}

void Board_LedOn(Board_Led led)
{
    GPIO_SetBits(LED_PORT, led_pin(led));
}

void Board_LedOff(Board_Led led)
{
    GPIO_ResetBits(LED_PORT, led_pin(led));
}

void Board_LedToggle(Board_Led led)
{
    GPIO_ToggleBits(LED_PORT, led_pin(led));
}

int Board_ButtonPressed(void)
{
    return GPIO_ReadInputBit(BUTTON_PORT, BUTTON_PIN);
}

uint32_t Board_Millis(void)
{
    return s_millis;
}

void Board_DelayMs(uint32_t ms)
{
    uint32_t start = s_millis;

    /* unsigned difference: correct across the wrap of the counter */
    while ((s_millis - start) < ms)
    {
    }
}

void Board_ConsoleWrite(const char *data, uint32_t len)
{
    USART_Write(CONSOLE_USART, (const uint8_t *)data, len);
}

int Board_ConsoleRead(uint8_t *byte)
{
    uint32_t tail = s_rx_tail;

    if (tail == s_rx_head)
    {
        return 0;
    }
    *byte = s_rx_buffer[tail % RX_BUFFER_SIZE];
    s_rx_tail = tail + 1U;
    return 1;
}

void SysTick_Handler(void)
{
    s_millis++;
}

void USART1_IRQHandler(void)
{
    if (USART_GetFlag(CONSOLE_USART, USART_STS_RDBF))
    {
        uint8_t byte = USART_ReceiveByte(CONSOLE_USART);
        uint32_t head = s_rx_head;

        /* a full buffer drops the new byte rather than the unread ones */
        if ((head - s_rx_tail) < RX_BUFFER_SIZE)
        {
            s_rx_buffer[head % RX_BUFFER_SIZE] = byte;
            s_rx_head = head + 1U;
        }
    }
    if (USART_GetFlag(CONSOLE_USART, USART_STS_ROERR))
    {
        /* reading the data register after the status clears the overrun */
        (void)USART_ReceiveByte(CONSOLE_USART);
    }
}
