/*
 * qm26_gpio.h
 *
 * General-purpose I/O driver of the QM26R620A/625.
 */
#ifndef QM26_GPIO_H
#define QM26_GPIO_H

#include "qm26r620a.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Pin masks; several may be or-ed together */
#define GPIO_PIN_0   0x0001U
#define GPIO_PIN_1   0x0002U
#define GPIO_PIN_2   0x0004U
#define GPIO_PIN_3   0x0008U
#define GPIO_PIN_4   0x0010U
#define GPIO_PIN_5   0x0020U
#define GPIO_PIN_6   0x0040U
#define GPIO_PIN_7   0x0080U
#define GPIO_PIN_8   0x0100U
#define GPIO_PIN_9   0x0200U
#define GPIO_PIN_10  0x0400U
#define GPIO_PIN_11  0x0800U
#define GPIO_PIN_12  0x1000U
#define GPIO_PIN_13  0x2000U
#define GPIO_PIN_14  0x4000U
#define GPIO_PIN_15  0x8000U
#define GPIO_PIN_ALL 0xFFFFU

typedef enum
{
    GPIO_MODE_INPUT  = 0,
    GPIO_MODE_OUTPUT = 1,
    GPIO_MODE_MUX    = 2, /* alternate function */
    GPIO_MODE_ANALOG = 3
} GPIO_ModeType;

typedef enum
{
    GPIO_OUTPUT_PUSH_PULL  = 0,
    GPIO_OUTPUT_OPEN_DRAIN = 1
} GPIO_OutputType;

typedef enum
{
    GPIO_SPEED_LOW    = 0,
    GPIO_SPEED_MEDIUM = 1,
    GPIO_SPEED_HIGH   = 3
} GPIO_SpeedType;

typedef enum
{
    GPIO_PULL_NONE = 0,
    GPIO_PULL_UP   = 1,
    GPIO_PULL_DOWN = 2
} GPIO_PullType;

typedef struct
{
    uint16_t pins;          /* GPIO_PIN_... mask */
    GPIO_ModeType mode;
    GPIO_OutputType output;
    GPIO_SpeedType speed;
    GPIO_PullType pull;
} GPIO_InitType;

/* Fills init with the reset configuration: all pins, input, push-pull, low speed, no pull. */
void GPIO_StructInit(GPIO_InitType *init);

/* Configures the pins of init->pins on port. */
void GPIO_Init(GPIO_TypeDef *port, const GPIO_InitType *init);

/* Selects alternate function mux (0..15) for the single pin number pin (0..15). */
void GPIO_PinMuxConfig(GPIO_TypeDef *port, uint32_t pin, uint32_t mux);

/* Drives the pins high or low, or inverts them. */
void GPIO_SetBits(GPIO_TypeDef *port, uint16_t pins);
void GPIO_ResetBits(GPIO_TypeDef *port, uint16_t pins);
void GPIO_ToggleBits(GPIO_TypeDef *port, uint16_t pins);

/* Returns 1 when the input level of the pin is high, 0 otherwise. */
int GPIO_ReadInputBit(const GPIO_TypeDef *port, uint16_t pin);

#ifdef __cplusplus
}
#endif

#endif /* QM26_GPIO_H */
