/*
 * main.c: filters the sensor readings for ever. Listed in the MDK project as app\main.c.
 */
#include "board.h"
#include "filter.h"

/* SENSOR_CHANNELS comes from the MDK defines as one define, its comma included */
static const uint32_t kChannels[] = {SENSOR_CHANNELS};

volatile uint32_t g_level;

int main(void)
{
    uint32_t i = 0U;

    Board_Init();
    for (;;)
    {
        g_level = Filter_Add(Board_ReadSensor(kChannels[i]));
        i = (i + 1U) % (sizeof kChannels / sizeof kChannels[0]);
    }
}
