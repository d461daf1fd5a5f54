#pragma once

#include "link/TelemetryFrame.h"

#include <random>

namespace im::sim {

// A small incubator: a heater cycling around 37.7 °C, a second sensor that
// follows the first, a humidifier keeping 50 to 58 %, trays turned every
// three minutes, and now and then (every six hours or so, or as often as
// asked) a stuck heater that drives T1 past the default alarm band until
// the emergency cooling brings it back: weeks of it look like an incubation
// with a few incidents a day, not like one long alarm.
// One step is one second of the controller's life.
class IncubatorModel {
public:
    static constexpr long kExcursionEvery = 6 * 3600;
    explicit IncubatorModel(unsigned seed, long excursionEvery = kExcursionEvery);

    // Advances one second and returns the frame the controller sends.
    link::Frame step();

    double t1() const { return t1_; }
    double humidity() const { return hm_; }

private:
    double noise(double sigma);

    std::mt19937 rng_;
    long second_ = 0;
    double t1_ = 37.5;
    double t2_ = 37.4;
    double t3_ = 36.7;
    double hm_ = 52.0;
    bool heater_ = true;
    bool humidifier_ = false;
    long stuckUntil_ = -1;
    long excursionEvery_;
    long nextExcursion_;
};

// Builds a frame from values, with its checksum.
link::Frame makeFrame(std::uint8_t outputs, double t1, double t2, double t3, double humidity);

}  // namespace im::sim
