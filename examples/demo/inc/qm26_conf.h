/*
 * qm26_conf.h
 *
 * Selects the peripheral drivers of the application; included by qm26r620a.h when
 * USE_STDPERIPH_DRIVER is defined.
 */
#ifndef QM26_CONF_H
#define QM26_CONF_H

#include "qm26_rcc.h"
#include "qm26_gpio.h"
#include "qm26_uart.h"

/* Parameter checks of the drivers: on in debug builds, off with NDEBUG */
#ifndef NDEBUG
void qm26_assert_failed(const char *file, int line);
#define QM26_ASSERT(expr) ((expr) ? (void)0 : qm26_assert_failed(__FILE__, __LINE__))
#else
#define QM26_ASSERT(expr) ((void)0)
#endif

#endif /* QM26_CONF_H */
