// filter.cpp: a moving average over FILTER_TAPS samples (FILTER_TAPS comes from the MDK defines).
#include "filter.h"

namespace {

template <unsigned Taps>
class MovingAverage {
 public:
  uint32_t Add(uint32_t sample) {
    sum_ += sample - samples_[next_];
    samples_[next_] = sample;
    next_ = (next_ + 1U) % Taps;
    return sum_ / Taps;
  }

 private:
  uint32_t samples_[Taps] = {};
  uint32_t sum_ = 0U;
  unsigned next_ = 0U;
};

MovingAverage<FILTER_TAPS> g_filter;

}  // namespace

extern "C" uint32_t Filter_Add(uint32_t sample)
{
    return g_filter.Add(sample);
}
