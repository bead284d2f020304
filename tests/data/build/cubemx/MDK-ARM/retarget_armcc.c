/*
 * retarget_armcc.c: console output for the ARM C library of MDK; switched off in this target.
 */
#error "retarget_armcc.c is excluded from the MDK target"
