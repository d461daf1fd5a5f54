#include "IncubatorModel.h"

#include <algorithm>
#include <cmath>

namespace im::sim {

namespace {

constexpr double kHeaterOn = 37.6;
constexpr double kHeaterOff = 37.8;
constexpr double kHumidifierOn = 50.0;
constexpr double kHumidifierOff = 58.0;
constexpr double kAlarmHigh = 39.0;
constexpr double kRelayHigh = 39.5;
constexpr long kTurnEvery = 180;
constexpr long kTurnFor = 12;
constexpr long kStuckFor = 75;

std::uint16_t clampRaw(double value) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
}

}  // namespace

link::Frame makeFrame(std::uint8_t outputs, double t1, double t2, double t3, double humidity) {
    const std::uint16_t raw1 = clampRaw(t1 * 16);
    const std::uint16_t raw2 = clampRaw(t2 * 16);
    const std::uint16_t raw3 = clampRaw(t3 * 10);
    link::Frame f{};
    f[0] = outputs;
    f[1] = raw1 & 0xFF;
    f[2] = raw1 >> 8;
    f[3] = raw2 & 0xFF;
    f[4] = raw2 >> 8;
    f[5] = raw3 & 0xFF;
    f[6] = raw3 >> 8;
    f[7] = static_cast<std::uint8_t>(std::clamp(std::lround(humidity), 0L, 255L));
    f[8] = link::frameChecksum(f);
    return f;
}

IncubatorModel::IncubatorModel(unsigned seed, long excursionEvery)
    : rng_(seed), excursionEvery_(std::max(excursionEvery, 240L)) {
    // The first excursion comes within a few minutes, so that a demo shows
    // an alarm; later ones two minutes either side of the spacing asked for.
    nextExcursion_ = 240 + static_cast<long>(rng_() % 120);
}

double IncubatorModel::noise(double sigma) {
    std::normal_distribution<double> d(0.0, sigma);
    return d(rng_);
}

link::Frame IncubatorModel::step() {
    ++second_;
    if (second_ == nextExcursion_) {
        stuckUntil_ = second_ + kStuckFor;
        nextExcursion_ = second_ + excursionEvery_ - 120 + static_cast<long>(rng_() % 240);
    }
    const bool stuck = second_ < stuckUntil_;

    if (t1_ < kHeaterOn) {
        heater_ = true;
    } else if (t1_ > kHeaterOff) {
        heater_ = false;
    }
    const bool heating = heater_ || stuck;
    const bool cooling = t1_ >= kAlarmHigh;
    t1_ += heating ? 0.035 : -0.02;
    if (cooling) {
        t1_ -= 0.06;
    }
    t1_ += noise(0.004);
    t2_ += (t1_ - t2_) * 0.08 - 0.004 + noise(0.004);
    t3_ += (t1_ - 0.8 - t3_) * 0.02;

    if (hm_ < kHumidifierOn) {
        humidifier_ = true;
    } else if (hm_ > kHumidifierOff) {
        humidifier_ = false;
    }
    hm_ += humidifier_ ? 0.35 : -0.12;
    hm_ = std::clamp(hm_ + noise(0.05), 0.0, 100.0);

    const long turnPhase = second_ % kTurnEvery;
    const bool turning = second_ >= kTurnEvery && turnPhase < kTurnFor;
    const bool turnLeft = (second_ / kTurnEvery) % 2 == 0;

    std::uint8_t out = 0;
    if (t1_ >= kAlarmHigh || t1_ <= 35.0) {
        out |= 0x01;  // buzzer
    }
    if (heating) {
        out |= 0x02;
    }
    if (std::fabs(t1_ - t2_) >= 0.5) {
        out |= 0x04;
    }
    if (humidifier_) {
        out |= 0x08;
    }
    if (turning) {
        out |= turnLeft ? 0x10 : 0x20;
    }
    if (cooling) {
        out |= 0x40;
    }
    if (t1_ >= kRelayHigh) {
        out |= 0x80;
    }
    return makeFrame(out, t1_, t2_, t3_, hm_);
}

}  // namespace im::sim
