// The base clock: a stopwatch whose reading can be set, plus calendar queries.
#pragma once

#include <cstdint>
#include <string>

namespace BS {

class Time {
public:
    virtual ~Time() = default;
    virtual void SetTime(double seconds) = 0;
    virtual double GetTime() const = 0;

    static Time* CreateTime();  // caller owns the result
    static void Sleep(double seconds);
    // Busy-waits until the tick counter has advanced by ticks.
    static void Spin(unsigned int ticks);
    // A monotonic high-resolution counter, in nanoseconds.
    static uint64_t GetTickCount();

    // Local calendar; each answers 0 (names: "") when the local time is unavailable.
    static uint16_t GetYear();
    static uint8_t GetMonth();
    static uint16_t GetDay();
    static uint8_t GetHour();
    static uint8_t GetMinute();
    static uint8_t GetSecond();
    static std::string GetMonthName();
    static std::string GetDayName();
};

class PosixTime : public Time {
public:
    void SetTime(double seconds) override;
    double GetTime() const override;

private:
    static double Now();
    double mOffset = 0.0;
};

}  // namespace BS
