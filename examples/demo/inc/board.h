/*
 * board.h
 *
 * The QM26R620A evaluation board of the demo: two LEDs on PD13 (green) and PD14 (red),
 * the user button on PA0 (high when pressed), the console on USART1 (PA9 TX, PA10 RX,
 * 115200 baud) and a 1 ms tick from SysTick.
 */
#ifndef BOARD_H
#define BOARD_H

#include "qm26r620a.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LED_PORT       GPIOD
#define LED_GREEN_PIN  GPIO_PIN_13
#define LED_RED_PIN    GPIO_PIN_14

#define BUTTON_PORT    GPIOA
#define BUTTON_PIN     GPIO_PIN_0

#define CONSOLE_USART  USART1
#define CONSOLE_IRQn   USART1_IRQn
#define CONSOLE_PORT   GPIOA
#define CONSOLE_TX_PIN 9U
#define CONSOLE_RX_PIN 10U
#define CONSOLE_MUX    7U
#define CONSOLE_BAUD   115200U

typedef enum
{
    LED_GREEN = 0,
    LED_RED   = 1
} Board_Led;

/* Sets up the tick, the LEDs, the button and the console; call it first in main. */
void Board_Init(void);

void Board_LedOn(Board_Led led);
void Board_LedOff(Board_Led led);
void Board_LedToggle(Board_Led led);

/* Returns 1 while the user button is held down. */
int Board_ButtonPressed(void);

/* Milliseconds since Board_Init; wraps after 49 days. */
uint32_t Board_Millis(void);

/* Waits ms milliseconds. */
void Board_DelayMs(uint32_t ms);

/* Sends len bytes on the console. */
void Board_ConsoleWrite(const char *data, uint32_t len);

/* Takes one received console byte into *byte; returns 0 when none is waiting. */
int Board_ConsoleRead(uint8_t *byte);

/* Routes the C library's standard streams to the console (retarget.c). */
void Retarget_Init(void);

#ifdef __cplusplus
}
#endif

#endif /* BOARD_H */
