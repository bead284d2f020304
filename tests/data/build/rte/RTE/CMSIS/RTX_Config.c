/*
 * RTX_Config.c: kernel configuration of "Target 2" only; "Target 1" runs without the kernel.
 */
#error "RTX_Config.c belongs to Target 2 and must not be built for Target 1"
