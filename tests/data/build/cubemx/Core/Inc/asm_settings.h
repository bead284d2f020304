/*
 * asm_settings.h: found by the assembler only through the MDK target's assembler include path.
 */
#ifndef ASM_SETTINGS_H
#define ASM_SETTINGS_H

#define ASM_SETTINGS_FOUND 1

#endif
