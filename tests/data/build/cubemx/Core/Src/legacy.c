/*
 * legacy.c: the old main loop, kept in the project but excluded from the MDK target.
 */
#error "legacy.c is excluded from the MDK target"
