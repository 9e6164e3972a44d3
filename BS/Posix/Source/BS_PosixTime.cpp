#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include "BS/Export/BS_Time.h"

namespace BS {

namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

bool LocalNow(struct tm& out) {
    const time_t now = time(nullptr);
    return localtime_r(&now, &out) != nullptr;
}

template <typename T>
T LocalField(int tm::*field, int add = 0) {
    struct tm lt;
    return LocalNow(lt) ? static_cast<T>(lt.*field + add) : T(0);
}

}  // namespace

Time* Time::CreateTime() { return new PosixTime(); }

void Time::Sleep(double seconds) { usleep(static_cast<useconds_t>(seconds * 1000000.0)); }

uint64_t Time::GetTickCount() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}

void Time::Spin(unsigned int ticks) {
    const uint64_t start = GetTickCount();
    while (GetTickCount() - start < ticks) {
    }
}

uint16_t Time::GetYear() { return LocalField<uint16_t>(&tm::tm_year, 1900); }
uint8_t Time::GetMonth() { return LocalField<uint8_t>(&tm::tm_mon, 1); }
uint16_t Time::GetDay() { return LocalField<uint16_t>(&tm::tm_mday); }
uint8_t Time::GetHour() { return LocalField<uint8_t>(&tm::tm_hour); }
uint8_t Time::GetMinute() { return LocalField<uint8_t>(&tm::tm_min); }
uint8_t Time::GetSecond() { return LocalField<uint8_t>(&tm::tm_sec); }

std::string Time::GetMonthName() {
    struct tm lt;
    return LocalNow(lt) ? kMonthNames[lt.tm_mon] : "";
}

std::string Time::GetDayName() {
    struct tm lt;
    return LocalNow(lt) ? kDayNames[lt.tm_wday] : "";
}

double PosixTime::Now() {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1000000.0;
}

double PosixTime::GetTime() const { return Now() - mOffset; }

void PosixTime::SetTime(double seconds) { mOffset = Now() - seconds; }

}  // namespace BS
