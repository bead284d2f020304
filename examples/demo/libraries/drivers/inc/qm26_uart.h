/*
 * qm26_uart.h
 *
 * Asynchronous USART driver of the QM26R620A/625: polled transmit and receive, receive
 * interrupt.
 */
#ifndef QM26_UART_H
#define QM26_UART_H

#include "qm26r620a.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum
{
    USART_PARITY_NONE = 0,
    USART_PARITY_EVEN = 1,
    USART_PARITY_ODD  = 2
} USART_ParityType;

typedef enum
{
    USART_STOP_1 = 0,
    USART_STOP_2 = 2
} USART_StopBitsType;

typedef struct
{
    uint32_t baudRate;
    USART_ParityType parity;
    USART_StopBitsType stopBits;
    int enableRx; /* non-zero: receiver on */
    int enableTx; /* non-zero: transmitter on */
} USART_InitType;

/* Fills init with 115200 baud, 8 data bits, no parity, 1 stop bit, receiver and transmitter on. */
void USART_StructInit(USART_InitType *init);

/* Configures usart from init and the bus clock it runs on; does not enable it. */
void USART_Init(USART_TypeDef *usart, const USART_InitType *init);

/* Enables (non-zero) or disables usart. */
void USART_Cmd(USART_TypeDef *usart, int enable);

/* Enables or disables the receive-data interrupt. */
void USART_RxInterruptCmd(USART_TypeDef *usart, int enable);

/* Returns non-zero when the status flag (USART_STS_...) is set. */
int USART_GetFlag(const USART_TypeDef *usart, uint32_t flag);

/* Waits until the transmit buffer is free, then sends one byte. */
void USART_SendByte(USART_TypeDef *usart, uint8_t byte);

/* Sends len bytes and waits until the last one has left the shift register. */
void USART_Write(USART_TypeDef *usart, const uint8_t *data, uint32_t len);

/* Returns the received byte; call it after USART_STS_RDBF was seen. */
uint8_t USART_ReceiveByte(USART_TypeDef *usart);

#ifdef __cplusplus
}
#endif

#endif /* QM26_UART_H */
