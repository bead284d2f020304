/*
 * RTE_Components.h: the run-time environment of "Target 1", as MDK writes it for the target.
 */
#ifndef RTE_COMPONENTS_H
#define RTE_COMPONENTS_H

#define CMSIS_device_header "RTE_Device.h"
#define RTE_DEVICE_STARTUP_QM26R620A

#endif
