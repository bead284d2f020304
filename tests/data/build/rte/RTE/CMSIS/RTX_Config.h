/* RTX_Config.h: kernel configuration of "Target 2". */
#error "RTX_Config.h belongs to Target 2"
