// The rule that picks the refreshes on which the show plays a frame, checked on
// synthetic refresh times against what it promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "DemoSys/FramePacing.h"

namespace {

constexpr double kTick = 1.0 / 60.0;

// Refresh k of a steady display at k / hz seconds after `start`.
std::vector<double> SteadyRefreshes(double hz, double seconds, double start = 0.0) {
    std::vector<double> times;
    for (long k = 0; static_cast<double>(k) / hz < seconds; ++k) times.push_back(start + static_cast<double>(k) / hz);
    return times;
}

// The refreshes the pacer plays, told the display's period, or (period 0) seeing only the refreshes.
std::vector<double> Played(const std::vector<double>& refreshes, double period) {
    FramePacer pacer;
    std::vector<double> played;
    for (double t : refreshes)
        if (period > 0 ? pacer.Due(t, period) : pacer.Due(t)) played.push_back(t);
    return played;
}

long CountIn(const std::vector<double>& times, double from, double to) {
    return std::count_if(times.begin(), times.end(), [&](double t) { return t >= from && t < to; });
}

double LargestGap(const std::vector<double>& times) {
    double largest = 0.0;
    for (size_t i = 1; i < times.size(); ++i) largest = std::max(largest, times[i] - times[i - 1]);
    return largest;
}

}  // namespace

// Brute force: for every tick the refresh nearest it (the earlier of two at the same distance) plays, and
// no other; 60.5 Hz must leave out a refresh now and then.
TEST(FramePacing, AFastDisplayPlaysTheRefreshNearestEachTick) {
    for (double hz : {60.5, 75.0, 90.0, 120.0, 144.0, 165.0, 240.0}) {
        for (double start : {0.0, 0.00123, 1234.5678}) {
            const std::vector<double> refreshes = SteadyRefreshes(hz, 5.0, start);
            std::vector<double> nearest;
            for (int tick = 0; start + tick * kTick <= refreshes.back() - 0.5 / hz; ++tick) {
                const double at = start + tick * kTick;
                double best = refreshes[0];
                for (double t : refreshes)
                    if (std::abs(t - at) < std::abs(best - at) - 1e-9) best = t;
                nearest.push_back(best);
            }
            const std::vector<double> played = Played(refreshes, 1.0 / hz);
            ASSERT_GE(played.size(), nearest.size()) << hz << " Hz from " << start;
            for (size_t i = 0; i < nearest.size(); ++i)
                EXPECT_DOUBLE_EQ(played[i], nearest[i]) << hz << " Hz from " << start << ", tick " << i;
        }
    }
}

// On 60 Hz or slower every refresh plays, also when read off a clock with some noise.
TEST(FramePacing, ADisplayOfSixtyHertzOrSlowerPlaysEveryRefresh) {
    std::mt19937 random(7);
    for (double noise : {0.0, 0.003}) {
        std::uniform_real_distribution<double> jitter(-noise, noise);
        for (double hz : {24.0, 30.0, 48.0, 50.0, 59.0, 59.94, 60.0}) {
            std::vector<double> refreshes = SteadyRefreshes(hz, 60.0, 0.0042);
            for (double& t : refreshes) t += jitter(random);
            EXPECT_EQ(Played(refreshes, 1.0 / hz).size(), refreshes.size()) << hz << " Hz, noise " << noise;
            EXPECT_EQ(Played(refreshes, 0.0).size(), refreshes.size()) << hz << " Hz, noise " << noise;
        }
    }
    std::vector<double> missing = SteadyRefreshes(60.0, 3.0);  // a missed refresh costs that refresh alone
    missing.erase(missing.begin() + 100);
    EXPECT_EQ(Played(missing, kTick).size(), missing.size());
}

// The same clock reading twice is one refresh's worth: one frame at most.
TEST(FramePacing, NeverTwoFramesAtOneRefresh) {
    FramePacer pacer;
    EXPECT_TRUE(pacer.Due(3.0, 1.0 / 144.0));
    EXPECT_FALSE(pacer.Due(3.0, 1.0 / 144.0));
    for (double t = 3.0; t < 10.0; t += 1.0 / 144.0) {
        const bool first = pacer.Due(t, 1.0 / 144.0);
        EXPECT_FALSE(first && pacer.Due(t, 1.0 / 144.0)) << t;
    }
    FramePacer seen;
    EXPECT_TRUE(seen.Due(3.0));
    EXPECT_FALSE(seen.Due(3.0));
}

// A refresh 50 ms late, or a clock set ten seconds forward or back, plays at once; the frames after it keep
// a tick apart instead of catching up or freezing, and the next whole seconds play 60 again.
TEST(FramePacing, ALateRefreshOrAJumpOfTheClockPlaysAtOnceAndTheTicksGoOnFromIt) {
    for (double jump : {0.050, 10.0, -10.0}) {
        std::vector<double> refreshes = SteadyRefreshes(144.0, 2.0, 100.0);
        const double after = refreshes.back() + jump;
        const std::vector<double> rest = SteadyRefreshes(144.0, 3.0, after);
        refreshes.insert(refreshes.end(), rest.begin(), rest.end());
        const std::vector<double> played = Played(refreshes, 1.0 / 144.0);
        const auto at = std::find(played.begin(), played.end(), after);
        ASSERT_NE(at, played.end()) << jump;
        for (auto i = (jump > 0 ? played.begin() : at) + 1; i != played.end(); ++i)
            EXPECT_GE(*i - *(i - 1), kTick - 1.0 / 144.0 - 1e-9) << jump;  // back in time only across the jump
        EXPECT_EQ(CountIn(played, after, after + 1.0), 60) << jump;
        EXPECT_EQ(CountIn(played, after + 1.0, after + 2.0), 60) << jump;
    }
}

// Variable refresh: where refreshes come a tick or more apart every one plays; where they come faster, ten
// seconds play 600 frames (a second cut across the ticks may hold one more or fewer), and no gap exceeds a
// tick and the longest refresh interval.
TEST(FramePacing, VariableRefreshPlaysEverySlowRefreshAndSixtyASecondOfFastOnes) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> slow(1.0 / 60.0, 1.0 / 48.0), fast(1.0 / 240.0, 1.0 / 100.0);
    std::vector<double> refreshes;
    double t = 0.0;
    for (; t < 5.0; t += slow(random)) refreshes.push_back(t);
    const long slowCount = static_cast<long>(refreshes.size());
    for (; t < 16.0; t += fast(random)) refreshes.push_back(t);
    for (const std::vector<double>& played : {Played(refreshes, 0.0), Played(refreshes, 1.0 / 240.0)}) {
        EXPECT_EQ(CountIn(played, 0.0, 5.0), slowCount);
        EXPECT_NEAR(CountIn(played, 5.5, 15.5), 600, 1);
        for (int second = 6; second < 15; ++second) EXPECT_NEAR(CountIn(played, second, second + 1), 60, 1) << second;
        EXPECT_LE(LargestGap(played), kTick + 1.0 / 48.0);
    }
}

// A host that sleeps through the refreshes on which nothing is due wakes at NextDue and plays; a moment
// earlier nothing would be due. Frames quicker than a tick play exactly 60 a second, longer ones on every
// refresh, late, without waiting.
TEST(FramePacing, AHostThatSleepsUntilTheNextDueMomentPlaysSixtyASecond) {
    const double period = kTick / 4.0;
    for (double frameTime : {0.002, 0.009, 0.016, 0.025}) {
        FramePacer pacer;
        std::vector<double> played;
        double now = 50.0;
        while (now < 60.0) {
            if (pacer.Due(now, period)) {
                played.push_back(now);
                now += frameTime;
                continue;
            }
            if (pacer.NextDue(period) - 0.001 > now) {
                FramePacer probe = pacer;
                EXPECT_FALSE(probe.Due(pacer.NextDue(period) - 0.001, period));
            }
            now = std::max(now, pacer.NextDue(period));
        }
        const long expected = frameTime < kTick ? 60 : static_cast<long>(std::ceil(1.0 / frameTime - 1e-9));
        for (int second = 51; second < 59; ++second)
            EXPECT_NEAR(CountIn(played, second, second + 1), expected, frameTime < kTick ? 0 : 1)
                << frameTime << " s a frame, second " << second;
    }
}

// A frame played on a fast display stands for its tick, a tick after the one before; a late refresh stands
// for itself, and the ticks after it follow on from it.
TEST(FramePacing, AFrameShowsTheShowAtTheTickItStandsFor) {
    for (double hz : {60.0, 75.0, 144.0, 165.0}) {
        FramePacer pacer;
        std::vector<double> times;
        for (double t : SteadyRefreshes(hz, 5.0, 2.0))
            if (pacer.Due(t, 1.0 / hz)) times.push_back(pacer.FrameTime());
        ASSERT_EQ(times.size(), 300u) << hz << " Hz";
        for (size_t i = 0; i < times.size(); ++i)
            EXPECT_NEAR(times[i], 2.0 + static_cast<double>(i) / 60.0, 1e-9) << hz << " Hz, frame " << i;
    }
    FramePacer pacer;
    pacer.Due(0.0, 1.0 / 144.0);
    EXPECT_TRUE(pacer.Due(0.1, 1.0 / 144.0));
    EXPECT_DOUBLE_EQ(pacer.FrameTime(), 0.1);
    EXPECT_FALSE(pacer.Due(0.1 + 1.0 / 144.0, 1.0 / 144.0));
    EXPECT_TRUE(pacer.Due(0.1 + 2.0 / 144.0, 1.0 / 144.0));
    EXPECT_NEAR(pacer.FrameTime(), 0.1 + 1.0 / 60.0, 1e-12);
}
