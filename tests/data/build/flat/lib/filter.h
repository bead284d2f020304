/*
 * filter.h: a moving-average filter, written in C++ with a C interface.
 */
#ifndef FILTER_H
#define FILTER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

uint32_t Filter_Add(uint32_t sample);

#ifdef __cplusplus
}
#endif

#endif
