/* compilers.c: the same function written for each compiler, as shared board code often is. */
#include <stdint.h>

#if defined(__CC_ARM)
__asm void Compilers_Sleep(void)
{
    WFI
    BX      LR
}

typedef __packed struct
{
    uint8_t tag;
    uint32_t value;
} Record;
#elif defined(__GNUC__)
void Compilers_Sleep(void)
{
    __asm volatile ("wfi" ::: "memory");
}

typedef struct __attribute__((packed))
{
    uint8_t tag;
    uint32_t value;
} Record;
#endif

uint32_t Compilers_RecordSize(void)
{
    return (uint32_t)sizeof(Record);
}
