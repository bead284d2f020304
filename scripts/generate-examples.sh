#!/bin/sh
# Writes the bundled example data that follows from the chip catalogue (src/chip/chip_catalogue.cpp):
#   examples/bsp/<folder>/libraries/cmsis/<core>/device_support/startup/gcc/   startup files
#   examples/bsp/<folder>/.../gcc/linker/<model>x<code>_FLASH.ld                  linker scripts
#   examples/ide-template/cm0plus/       the Cortex-M0+ IDE template, made from the Cortex-M4 one
#   examples/QM26IDE_Templates/<model>/QM26_IDE   links to the template of the model's core
# The Cortex-M4 template (examples/ide-template/cm4) is written by hand. Edit the catalogue or a body
# here, run the script, and commit what it writes.
#
#   scripts/generate-examples.sh          rewrites those files under examples/
#   scripts/generate-examples.sh --check  changes nothing; exits 1 when examples/ differs
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)

# The rows come from the chip catalogue itself, printed by the qm26-chip-table program that the
# build makes from the same source (QM26_CHIP_TABLE names it; build/qm26-chip-table by default):
# model, series, core, GCC startup file, FPU. A model without a series (QM26R650) shares the BSP
# folder of the model before it with the same startup file, and QM26VC635's startup file has no
# extension, as the catalogue names it.
CHIP_TABLE=${QM26_CHIP_TABLE:-$ROOT/build/qm26-chip-table}
if [ ! -x "$CHIP_TABLE" ]; then
  echo "No $CHIP_TABLE: build it first (cmake --build build --target qm26-chip-table)" >&2
  exit 2
fi
TABLE=$("$CHIP_TABLE" | awk '
  $2 != "-" { folder[$4] = $2 }
  { print $1, ($2 == "-" ? folder[$4] : $2), $3, $4 }')

# The SRAM in KiB of the example part for each flash-size code of its core (below).
part_rams() {
  case $1 in
    QM26R625) echo "96,192,192" ;;
    *) case $2 in
         cm4) echo "96,128,128" ;;
         cm0plus) echo "8,16" ;;
       esac ;;
  esac
}

# Per core: the flash-size codes that get a linker script ("code:flash KiB"), the core's name in
# comments, and the smallest heap and stack the linker scripts reserve.
core_codes() {
  case $1 in
    cm4) echo "C:256 E:512 G:1024" ;;
    cm0plus) echo "8:64 B:128" ;;
  esac
}
core_label() {
  case $1 in
    cm4) echo "Cortex-M4F" ;;
    cm0plus) echo "Cortex-M0+" ;;
  esac
}
core_heap() {
  case $1 in
    cm4) echo "0x200 0x400" ;;
    cm0plus) echo "0x100 0x200" ;;
  esac
}

startup_body_cm4() {
  cat <<'BODY'
/*
 * @STARTUP@
 *
 * Start-up code of the QM26 series @SERIES@ (Cortex-M4F) for the GNU assembler.
 * Holds the vector table, placed at the start of flash by the .isr_vector section of the
 * linker script, and Reset_Handler, which sets up the C run-time environment:
 *   - copies the initial values of .data from flash (_sidata) to SRAM (_sdata.._edata),
 *   - fills .bss (_sbss.._ebss) with zeros,
 *   - calls SystemInit (clock set-up), the C library's static constructors and main.
 * Every exception and interrupt handler is a weak alias of Default_Handler, so the
 * application overrides a handler just by defining a function of the same name.
 */

    .syntax unified
    .cpu cortex-m4
    .thumb

    .global __isr_vector
    .global Default_Handler

/* From the linker script: _estack (top of SRAM), _sidata (load address of .data),
   _sdata/_edata (bounds of .data in SRAM), _sbss/_ebss (bounds of .bss) */

/* ---------------------------------------------------------------------------------------- */
/* Reset_Handler: runs on reset, with the stack pointer loaded from the vector table       */
/* ---------------------------------------------------------------------------------------- */
    .section .text.Reset_Handler, "ax", %progbits
    .weak Reset_Handler
    .type Reset_Handler, %function
Reset_Handler:
    ldr   r0, =_estack
    mov   sp, r0                  /* also when entered from a debugger */

    /* Copy the initial values of .data from flash to SRAM */
    ldr   r0, =_sdata
    ldr   r1, =_edata
    ldr   r2, =_sidata
    b     .Lcopy_check
.Lcopy_loop:
    ldr   r3, [r2], #4
    str   r3, [r0], #4
.Lcopy_check:
    cmp   r0, r1
    bcc   .Lcopy_loop

    /* Zero .bss */
    ldr   r0, =_sbss
    ldr   r1, =_ebss
    movs  r3, #0
    b     .Lzero_check
.Lzero_loop:
    str   r3, [r0], #4
.Lzero_check:
    cmp   r0, r1
    bcc   .Lzero_loop

    /* Clocks first, then static constructors, then the application */
    bl    SystemInit
    bl    __libc_init_array
    bl    main

    /* main is not expected to return; stay here if it does */
.Lhang:
    b     .Lhang
    .size Reset_Handler, . - Reset_Handler

/* ---------------------------------------------------------------------------------------- */
/* Default_Handler: an unexpected exception or interrupt; stops here for the debugger      */
/* ---------------------------------------------------------------------------------------- */
    .section .text.Default_Handler, "ax", %progbits
    .type Default_Handler, %function
Default_Handler:
.Linfinite_loop:
    b     .Linfinite_loop
    .size Default_Handler, . - Default_Handler

/* ---------------------------------------------------------------------------------------- */
/* Vector table                                                                            */
/* ---------------------------------------------------------------------------------------- */
    .section .isr_vector, "a", %progbits
    .align 2
    .type __isr_vector, %object
__isr_vector:
    .word _estack                 /* initial main stack pointer */
    .word Reset_Handler           /* reset */
    .word NMI_Handler             /* non-maskable interrupt */
    .word HardFault_Handler       /* hard fault */
    .word MemManage_Handler       /* memory management fault */
    .word BusFault_Handler        /* bus fault */
    .word UsageFault_Handler      /* usage fault */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word SVC_Handler             /* supervisor call */
    .word DebugMon_Handler        /* debug monitor */
    .word 0                       /* reserved */
    .word PendSV_Handler          /* pendable service request */
    .word SysTick_Handler         /* system tick timer */

    /* External interrupts */
    .word WWDG_IRQHandler         /*  0 */
    .word PVD_IRQHandler          /*  1 */
    .word TAMPER_RTC_IRQHandler   /*  2 */
    .word FLASH_IRQHandler        /*  3 */
    .word RCC_IRQHandler          /*  4 */
    .word EXTI0_IRQHandler        /*  5 */
    .word EXTI1_IRQHandler        /*  6 */
    .word EXTI2_IRQHandler        /*  7 */
    .word EXTI3_IRQHandler        /*  8 */
    .word EXTI4_IRQHandler        /*  9 */
    .word DMA1_CH1_IRQHandler     /* 10 */
    .word DMA1_CH2_IRQHandler     /* 11 */
    .word DMA1_CH3_IRQHandler     /* 12 */
    .word DMA1_CH4_IRQHandler     /* 13 */
    .word ADC1_IRQHandler         /* 14 */
    .word EXTI9_5_IRQHandler      /* 15 */
    .word TMR1_BRK_IRQHandler     /* 16 */
    .word TMR1_OV_IRQHandler      /* 17 */
    .word TMR1_CC_IRQHandler      /* 18 */
    .word TMR2_IRQHandler         /* 19 */
    .word TMR3_IRQHandler         /* 20 */
    .word I2C1_EV_IRQHandler      /* 21 */
    .word I2C1_ERR_IRQHandler     /* 22 */
    .word SPI1_IRQHandler         /* 23 */
    .word SPI2_IRQHandler         /* 24 */
    .word USART1_IRQHandler       /* 25 */
    .word USART2_IRQHandler       /* 26 */
    .word USART3_IRQHandler       /* 27 */
    .word EXTI15_10_IRQHandler    /* 28 */
    .word RTC_ALARM_IRQHandler    /* 29 */
    .word OTGFS_WKUP_IRQHandler   /* 30 */
    .size __isr_vector, . - __isr_vector

/* Weak aliases of Default_Handler: a handler of the same name in C replaces them */
    .macro weak_handler handler
    .weak \handler
    .thumb_set \handler, Default_Handler
    .endm

    weak_handler NMI_Handler
    weak_handler HardFault_Handler
    weak_handler MemManage_Handler
    weak_handler BusFault_Handler
    weak_handler UsageFault_Handler
    weak_handler SVC_Handler
    weak_handler DebugMon_Handler
    weak_handler PendSV_Handler
    weak_handler SysTick_Handler
    weak_handler WWDG_IRQHandler
    weak_handler PVD_IRQHandler
    weak_handler TAMPER_RTC_IRQHandler
    weak_handler FLASH_IRQHandler
    weak_handler RCC_IRQHandler
    weak_handler EXTI0_IRQHandler
    weak_handler EXTI1_IRQHandler
    weak_handler EXTI2_IRQHandler
    weak_handler EXTI3_IRQHandler
    weak_handler EXTI4_IRQHandler
    weak_handler DMA1_CH1_IRQHandler
    weak_handler DMA1_CH2_IRQHandler
    weak_handler DMA1_CH3_IRQHandler
    weak_handler DMA1_CH4_IRQHandler
    weak_handler ADC1_IRQHandler
    weak_handler EXTI9_5_IRQHandler
    weak_handler TMR1_BRK_IRQHandler
    weak_handler TMR1_OV_IRQHandler
    weak_handler TMR1_CC_IRQHandler
    weak_handler TMR2_IRQHandler
    weak_handler TMR3_IRQHandler
    weak_handler I2C1_EV_IRQHandler
    weak_handler I2C1_ERR_IRQHandler
    weak_handler SPI1_IRQHandler
    weak_handler SPI2_IRQHandler
    weak_handler USART1_IRQHandler
    weak_handler USART2_IRQHandler
    weak_handler USART3_IRQHandler
    weak_handler EXTI15_10_IRQHandler
    weak_handler RTC_ALARM_IRQHandler
    weak_handler OTGFS_WKUP_IRQHandler

    .end
BODY
}

startup_body_cm0plus() {
  cat <<'BODY'
/*
 * @STARTUP@
 *
 * Start-up code of the QM26 series @SERIES@ (Cortex-M0+) for the GNU assembler.
 * Holds the vector table, placed at the start of flash by the .isr_vector section of the
 * linker script, and Reset_Handler, which sets up the C run-time environment:
 *   - copies the initial values of .data from flash (_sidata) to SRAM (_sdata.._edata),
 *   - fills .bss (_sbss.._ebss) with zeros,
 *   - calls SystemInit (clock set-up), the C library's static constructors and main.
 * Every exception and interrupt handler is a weak alias of Default_Handler, so the
 * application overrides a handler just by defining a function of the same name.
 */

    .syntax unified
    .cpu cortex-m0plus
    .thumb

    .global __isr_vector
    .global Default_Handler

/* From the linker script: _estack (top of SRAM), _sidata (load address of .data),
   _sdata/_edata (bounds of .data in SRAM), _sbss/_ebss (bounds of .bss) */

/* ---------------------------------------------------------------------------------------- */
/* Reset_Handler: runs on reset, with the stack pointer loaded from the vector table       */
/* ---------------------------------------------------------------------------------------- */
    .section .text.Reset_Handler, "ax", %progbits
    .weak Reset_Handler
    .type Reset_Handler, %function
Reset_Handler:
    ldr   r0, =_estack
    mov   sp, r0                  /* also when entered from a debugger */

    /* Copy the initial values of .data from flash to SRAM */
    ldr   r0, =_sdata
    ldr   r1, =_edata
    ldr   r2, =_sidata
    b     .Lcopy_check
.Lcopy_loop:
    ldr   r3, [r2]
    str   r3, [r0]
    adds  r0, r0, #4
    adds  r2, r2, #4
.Lcopy_check:
    cmp   r0, r1
    bcc   .Lcopy_loop

    /* Zero .bss */
    ldr   r0, =_sbss
    ldr   r1, =_ebss
    movs  r3, #0
    b     .Lzero_check
.Lzero_loop:
    str   r3, [r0]
    adds  r0, r0, #4
.Lzero_check:
    cmp   r0, r1
    bcc   .Lzero_loop

    /* Clocks first, then static constructors, then the application */
    bl    SystemInit
    bl    __libc_init_array
    bl    main

    /* main is not expected to return; stay here if it does */
.Lhang:
    b     .Lhang
    .size Reset_Handler, . - Reset_Handler

/* ---------------------------------------------------------------------------------------- */
/* Default_Handler: an unexpected exception or interrupt; stops here for the debugger      */
/* ---------------------------------------------------------------------------------------- */
    .section .text.Default_Handler, "ax", %progbits
    .type Default_Handler, %function
Default_Handler:
.Linfinite_loop:
    b     .Linfinite_loop
    .size Default_Handler, . - Default_Handler

/* ---------------------------------------------------------------------------------------- */
/* Vector table                                                                            */
/* ---------------------------------------------------------------------------------------- */
    .section .isr_vector, "a", %progbits
    .align 2
    .type __isr_vector, %object
__isr_vector:
    .word _estack                 /* initial main stack pointer */
    .word Reset_Handler           /* reset */
    .word NMI_Handler             /* non-maskable interrupt */
    .word HardFault_Handler       /* hard fault */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word SVC_Handler             /* supervisor call */
    .word 0                       /* reserved */
    .word 0                       /* reserved */
    .word PendSV_Handler          /* pendable service request */
    .word SysTick_Handler         /* system tick timer */

    /* External interrupts */
    .word WWDG_IRQHandler         /*  0 */
    .word PVD_IRQHandler          /*  1 */
    .word RTC_IRQHandler          /*  2 */
    .word FLASH_IRQHandler        /*  3 */
    .word RCC_IRQHandler          /*  4 */
    .word EXTI0_1_IRQHandler      /*  5 */
    .word EXTI2_3_IRQHandler      /*  6 */
    .word EXTI4_15_IRQHandler     /*  7 */
    .word DMA1_CH1_IRQHandler     /*  8 */
    .word DMA1_CH2_3_IRQHandler   /*  9 */
    .word ADC1_IRQHandler         /* 10 */
    .word TMR1_BRK_OV_IRQHandler  /* 11 */
    .word TMR1_CC_IRQHandler      /* 12 */
    .word TMR3_IRQHandler         /* 13 */
    .word TMR14_IRQHandler        /* 14 */
    .word I2C1_IRQHandler         /* 15 */
    .word SPI1_IRQHandler         /* 16 */
    .word USART1_IRQHandler       /* 17 */
    .word USART2_IRQHandler       /* 18 */
    .size __isr_vector, . - __isr_vector

/* Weak aliases of Default_Handler: a handler of the same name in C replaces them */
    .macro weak_handler handler
    .weak \handler
    .thumb_set \handler, Default_Handler
    .endm

    weak_handler NMI_Handler
    weak_handler HardFault_Handler
    weak_handler SVC_Handler
    weak_handler PendSV_Handler
    weak_handler SysTick_Handler
    weak_handler WWDG_IRQHandler
    weak_handler PVD_IRQHandler
    weak_handler RTC_IRQHandler
    weak_handler FLASH_IRQHandler
    weak_handler RCC_IRQHandler
    weak_handler EXTI0_1_IRQHandler
    weak_handler EXTI2_3_IRQHandler
    weak_handler EXTI4_15_IRQHandler
    weak_handler DMA1_CH1_IRQHandler
    weak_handler DMA1_CH2_3_IRQHandler
    weak_handler ADC1_IRQHandler
    weak_handler TMR1_BRK_OV_IRQHandler
    weak_handler TMR1_CC_IRQHandler
    weak_handler TMR3_IRQHandler
    weak_handler TMR14_IRQHandler
    weak_handler I2C1_IRQHandler
    weak_handler SPI1_IRQHandler
    weak_handler USART1_IRQHandler
    weak_handler USART2_IRQHandler

    .end
BODY
}

linker_body() {
  cat <<'BODY'
/*
 * @SCRIPT@
 *
 * GNU ld linker script for the @MODEL@ with @FLASH@ KB of on-chip flash
 * and @RAM@ KB of SRAM (@CORELABEL@). Code and constants run from flash;
 * initialised data is copied to SRAM by Reset_Handler, which also zeroes .bss.
 *
 * QM26 BSP, series @SERIES@.
 */

/* Entry point: the first code that runs after reset */
ENTRY(Reset_Handler)

/* Top of the main stack: the end of SRAM */
_estack = ORIGIN(RAM) + LENGTH(RAM);

/* Smallest heap and stack the application needs; the link fails when they do not fit */
_Min_Heap_Size = @HEAP@;
_Min_Stack_Size = @STACK@;

/* Memories of the device */
MEMORY
{
  FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = @FLASH@K
  RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = @RAM@K
}

SECTIONS
{
  /* Vector table first, at the start of flash */
  .isr_vector :
  {
    . = ALIGN(4);
    KEEP(*(.isr_vector))
    . = ALIGN(4);
  } >FLASH

  /* Program code */
  .text :
  {
    . = ALIGN(4);
    *(.text)
    *(.text*)
    *(.glue_7)
    *(.glue_7t)
    *(.eh_frame)

    KEEP(*(.init))
    KEEP(*(.fini))

    . = ALIGN(4);
    _etext = .;
  } >FLASH

  /* Constant data */
  .rodata :
  {
    . = ALIGN(4);
    *(.rodata)
    *(.rodata*)
    . = ALIGN(4);
  } >FLASH

  /* Unwind tables for C++ exceptions and stack back-traces */
  .ARM.extab :
  {
    *(.ARM.extab* .gnu.linkonce.armextab.*)
  } >FLASH

  .ARM.exidx :
  {
    __exidx_start = .;
    *(.ARM.exidx* .gnu.linkonce.armexidx.*)
    __exidx_end = .;
  } >FLASH

  /* Constructor and destructor tables run by __libc_init_array */
  .preinit_array :
  {
    PROVIDE_HIDDEN(__preinit_array_start = .);
    KEEP(*(.preinit_array*))
    PROVIDE_HIDDEN(__preinit_array_end = .);
  } >FLASH

  .init_array :
  {
    PROVIDE_HIDDEN(__init_array_start = .);
    KEEP(*(SORT(.init_array.*)))
    KEEP(*(.init_array*))
    PROVIDE_HIDDEN(__init_array_end = .);
  } >FLASH

  .fini_array :
  {
    PROVIDE_HIDDEN(__fini_array_start = .);
    KEEP(*(SORT(.fini_array.*)))
    KEEP(*(.fini_array*))
    PROVIDE_HIDDEN(__fini_array_end = .);
  } >FLASH

  /* Load address of the initial values of .data, used by the startup code */
  _sidata = LOADADDR(.data);

  /* Initialised data: lives in SRAM, its initial values are stored in flash */
  .data :
  {
    . = ALIGN(4);
    _sdata = .;
    *(.data)
    *(.data*)
    *(.RamFunc)
    *(.RamFunc*)
    . = ALIGN(4);
    _edata = .;
  } >RAM AT> FLASH

  /* Zero-initialised data */
  . = ALIGN(4);
  .bss :
  {
    _sbss = .;
    __bss_start__ = _sbss;
    *(.bss)
    *(.bss*)
    *(COMMON)
    . = ALIGN(4);
    _ebss = .;
    __bss_end__ = _ebss;
  } >RAM

  /* Check that the heap and the stack still fit into SRAM */
  ._user_heap_stack :
  {
    . = ALIGN(8);
    PROVIDE(end = .);
    PROVIDE(_end = .);
    . = . + _Min_Heap_Size;
    . = . + _Min_Stack_Size;
    . = ALIGN(8);
  } >RAM

  .ARM.attributes 0 : { *(.ARM.attributes) }
}
BODY
}

# write_examples <root>: writes the generated files below <root> (a copy of examples/ layout).
write_examples() {
  out=$1
  rm -rf "$out/bsp" "$out/ide-template/cm0plus" "$out/QM26IDE_Templates"
  echo "$TABLE" | while read -r model folder core startup; do
    [ -n "$model" ] || continue
    rams=$(part_rams "$model" "$core")
    gcc_dir="$out/bsp/$folder/libraries/cmsis/$core/device_support/startup/gcc"
    mkdir -p "$gcc_dir/linker"
    "startup_body_$core" | sed -e "s/@STARTUP@/$startup/" -e "s/@SERIES@/$folder/" \
      > "$gcc_dir/$startup"
    set -- $(core_heap "$core")
    heap=$1
    stack=$2
    for size in $(core_codes "$core"); do
      code=${size%%:*}
      flash=${size#*:}
      ram=${rams%%,*}
      rams=${rams#*,}
      script="${model}x${code}_FLASH.ld"
      linker_body | sed -e "s/@SCRIPT@/$script/" -e "s/@MODEL@/$model/" -e "s/@FLASH@/$flash/g" \
        -e "s/@RAM@/$ram/g" -e "s/@CORELABEL@/$(core_label "$core")/" -e "s/@SERIES@/$folder/" \
        -e "s/@HEAP@/$heap/" -e "s/@STACK@/$stack/" > "$gcc_dir/linker/$script"
    done
    mkdir -p "$out/QM26IDE_Templates/$model"
    ln -s "../../ide-template/$core" "$out/QM26IDE_Templates/$model/QM26_IDE"
  done

  # The Cortex-M0+ parts have no FPU: soft-float calls and no FPU option.
  mkdir -p "$out/ide-template/cm0plus"
  cp "$ROOT/examples/ide-template/cm4/.project" "$ROOT/examples/ide-template/cm4/preferences.ini" \
    "$out/ide-template/cm0plus/"
  sed -e 's/arm\.target\.mcpu\.cortex-m4"/arm.target.mcpu.cortex-m0plus"/' \
    -e 's/arm\.target\.fpu\.abi\.hard"/arm.target.fpu.abi.soft"/' \
    -e 's/arm\.target\.fpu\.unit\.fpv4spd16"/arm.target.fpu.unit.default"/' \
    "$ROOT/examples/ide-template/cm4/.cproject" > "$out/ide-template/cm0plus/.cproject"
}

if [ "${1:-}" = "--check" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  write_examples "$scratch"
  status=0
  diff -r "$scratch/bsp" "$ROOT/examples/bsp" || status=1
  diff -r "$scratch/ide-template/cm0plus" "$ROOT/examples/ide-template/cm0plus" || status=1
  links() {
    (cd "$1/QM26IDE_Templates" && for link in */QM26_IDE; do echo "$link -> $(readlink "$link")"; done)
  }
  [ "$(links "$scratch")" = "$(links "$ROOT/examples")" ] || {
    echo "examples/QM26IDE_Templates differs from the table"
    status=1
  }
  [ $status -eq 0 ] || echo "examples/ is out of date: run scripts/generate-examples.sh"
  exit $status
fi

write_examples "$ROOT/examples"
