// led.cpp: the board LED, written in C++ and called from main.c.
#include "RTE_Components.h"
#include CMSIS_device_header

namespace {

class Led {
 public:
  explicit Led(uint32_t address) : port_(reinterpret_cast<volatile uint32_t*>(address)) {}
  void Toggle() { *port_ ^= 1U; }

 private:
  volatile uint32_t* port_;
};

}  // namespace

extern "C" void LED_Toggle(void)
{
    Led(RTE_LED_PORT_ADDRESS).Toggle();
}
