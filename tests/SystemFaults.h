// Failing system calls and environment for the base system's tests. Only the unit test binary wraps these calls
// (-Wl,--wrap, tests/CMakeLists.txt), so the program pays nothing per frame.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace SystemFaults {

enum Call { kFopen, kFtello, kFseeko, kMalloc, kRealloc, kCallCount };

// The call's next use after `skip` successful ones fails once, with `error` in errno.
void Fail(Call call, int error, int skip = 0);
// True while an armed failure has not been used.
bool Pending(Call call);

// Every fault disarmed.
void Reset();

// Resets on the way out of a test, failed assertions included.
class Scope {
public:
    Scope() { Reset(); }
    ~Scope() { Reset(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

// An environment variable set (unset for nullptr) for one scope; the time zone is read anew both ways.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : mName(name), mHad(getenv(name) != nullptr) {
        if (mHad) mOld = getenv(name);
        Set(value);
    }
    ~ScopedEnv() { Set(mHad ? mOld.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value) {
        value ? setenv(mName, value, 1) : unsetenv(mName);
        tzset();
    }

    const char* mName;
    bool mHad;
    std::string mOld;
};

}  // namespace SystemFaults
