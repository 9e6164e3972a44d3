// The rule that decides on which display refreshes the show plays a frame,
// checked on synthetic refresh times against what the rule promises: the
// refresh nearest each 1/60 s tick on a fast display, every refresh on one of
// 60 Hz or slower, never a burst after a late refresh or a jump of the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "DemoSys/FramePacing.h"

namespace {

constexpr double kTick = 1.0 / 60.0;
const double kRates[] = {59.94, 60.0, 75.0, 90.0, 120.0, 144.0, 165.0, 240.0};

// Refresh k of a steady display at k / hz seconds after `start`.
std::vector<double> SteadyRefreshes(double hz, double seconds, double start = 0.0) {
    std::vector<double> times;
    for (long k = 0; static_cast<double>(k) / hz < seconds; ++k) times.push_back(start + static_cast<double>(k) / hz);
    return times;
}

// The refreshes the pacer plays, each told the display's nominal period.
std::vector<double> Played(const std::vector<double>& refreshes, double period) {
    FramePacer pacer;
    std::vector<double> played;
    for (double t : refreshes)
        if (pacer.Due(t, period)) played.push_back(t);
    return played;
}

// The same for a host that only sees the refreshes.
std::vector<double> PlayedSeenFromRefreshes(const std::vector<double>& refreshes) {
    FramePacer pacer;
    std::vector<double> played;
    for (double t : refreshes)
        if (pacer.Due(t)) played.push_back(t);
    return played;
}

long CountIn(const std::vector<double>& times, double from, double to) {
    return std::count_if(times.begin(), times.end(), [&](double t) { return t >= from && t < to; });
}

std::vector<double> Gaps(const std::vector<double>& times) {
    std::vector<double> gaps;
    for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
    return gaps;
}

double LargestGap(const std::vector<double>& times) {
    const std::vector<double> gaps = Gaps(times);
    return *std::max_element(gaps.begin(), gaps.end());
}

double SmallestGap(const std::vector<double>& times) {
    const std::vector<double> gaps = Gaps(times);
    return *std::min_element(gaps.begin(), gaps.end());
}

}  // namespace

// Each whole second plays 60 frames on a display of 60 Hz or faster, and as
// many as the display refreshes in it on a slower one (59 or 60 at 59.94 Hz).
TEST(FramePacing, EachSecondPlaysSixtyFramesOrEveryRefreshOfASlowerDisplay) {
    for (double hz : kRates) {
        const std::vector<double> refreshes = SteadyRefreshes(hz, 20.0);
        const std::vector<double> played = Played(refreshes, 1.0 / hz);
        for (int second = 0; second < 19; ++second) {
            const long shown = CountIn(refreshes, second, second + 1);
            EXPECT_EQ(CountIn(played, second, second + 1), std::min(60L, shown)) << hz << " Hz, second " << second;
        }
    }
}

// Brute force: for every tick, the refresh nearest it (the earlier of two at
// the same distance) is the one played, and no other refresh plays.
TEST(FramePacing, AFastDisplayPlaysTheRefreshNearestEachTick) {
    for (double hz : {75.0, 90.0, 120.0, 144.0, 165.0, 240.0}) {
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

// Frames come every whole number of refreshes, the two nearest to
// hz / 60: 2 and 3 refreshes apart at 144 Hz, 1 and 2 at 75 Hz, always 1 at
// 60 Hz and below.
TEST(FramePacing, PlayedFramesAreAsEvenlySpacedAsTheRefreshesAllow) {
    for (double hz : kRates) {
        const std::vector<double> played = Played(SteadyRefreshes(hz, 10.0), 1.0 / hz);
        const double most = std::ceil(hz / 60.0 - 1e-9) / hz;
        const double least = std::max(1.0, std::floor(hz / 60.0 + 1e-9)) / hz;
        EXPECT_NEAR(LargestGap(played), most, 1e-9) << hz << " Hz";
        EXPECT_NEAR(SmallestGap(played), least, 1e-9) << hz << " Hz";
    }
}

// Displays slower than the show: every refresh plays, the gaps are the display's.
TEST(FramePacing, ADisplayOfSixtyHertzOrSlowerPlaysEveryRefresh) {
    for (double hz : {24.0, 30.0, 48.0, 50.0, 59.0, 59.94, 60.0}) {
        const std::vector<double> refreshes = SteadyRefreshes(hz, 30.0, 0.0042);
        EXPECT_EQ(Played(refreshes, 1.0 / hz).size(), refreshes.size()) << hz << " Hz";
        EXPECT_EQ(PlayedSeenFromRefreshes(refreshes).size(), refreshes.size()) << hz << " Hz";
    }
}

// Real refreshes are read off a clock with some noise; at 60 and 59.94 Hz no
// refresh may be lost to it.
TEST(FramePacing, NoisyRefreshTimesAtSixtyHertzStillPlayEveryRefresh) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-0.003, 0.003);
    for (double hz : {59.94, 60.0}) {
        std::vector<double> refreshes = SteadyRefreshes(hz, 60.0, 0.5);
        for (double& t : refreshes) t += noise(random);
        EXPECT_EQ(Played(refreshes, 1.0 / hz).size(), refreshes.size()) << hz << " Hz";
        EXPECT_EQ(PlayedSeenFromRefreshes(refreshes).size(), refreshes.size()) << hz << " Hz";
    }
}

// A display slightly faster than the show must leave out a refresh now and
// then: 60.5 Hz has 30 refreshes too many in a minute.
TEST(FramePacing, ADisplayJustFasterThanTheShowLeavesOutTheRefreshesTooMany) {
    const std::vector<double> refreshes = SteadyRefreshes(60.5, 60.0);
    const std::vector<double> played = Played(refreshes, 1.0 / 60.5);
    EXPECT_EQ(refreshes.size(), 3630u);
    EXPECT_NEAR(static_cast<double>(played.size()), 3600.0, 1.0);
    EXPECT_NEAR(LargestGap(played), 2.0 / 60.5, 1e-9);
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

// A refresh that comes 50 ms late (the display stalled, a frame took long)
// plays at once; the frames after it keep a tick apart instead of catching
// up, and the next whole seconds play 60 again.
TEST(FramePacing, ALateRefreshPlaysOnceAndTheTicksGoOnFromIt) {
    const double hz = 144.0;
    std::vector<double> refreshes = SteadyRefreshes(hz, 2.0);
    const double late = refreshes.back() + 0.050;
    for (double t : SteadyRefreshes(hz, 3.0, late)) refreshes.push_back(t);
    const std::vector<double> played = Played(refreshes, 1.0 / hz);
    ASSERT_NE(std::find(played.begin(), played.end(), late), played.end());
    EXPECT_GE(SmallestGap(played), kTick - 1.0 / hz - 1e-9);
    EXPECT_EQ(CountIn(played, late, late + 1.0), 60);
    EXPECT_EQ(CountIn(played, late + 1.0, late + 2.0), 60);

    // At 60 Hz a missed refresh costs that refresh alone.
    std::vector<double> missing = SteadyRefreshes(60.0, 3.0);
    missing.erase(missing.begin() + 100);
    EXPECT_EQ(Played(missing, kTick).size(), missing.size());
}

// A clock set forward by ten seconds (or a show resumed after a pause) plays
// the next refresh; one set back does not freeze the show for ten seconds.
TEST(FramePacing, AClockThatJumpsPlaysAtOnceAndKeepsSixtyASecond) {
    for (double jump : {10.0, -10.0}) {
        std::vector<double> refreshes = SteadyRefreshes(144.0, 2.0, 100.0);
        const double after = refreshes.back() + jump;
        for (double t : SteadyRefreshes(144.0, 3.0, after)) refreshes.push_back(t);
        const std::vector<double> played = Played(refreshes, 1.0 / 144.0);
        EXPECT_NE(std::find(played.begin(), played.end(), after), played.end()) << jump;
        EXPECT_EQ(CountIn(played, after, after + 1.0), 60) << jump;
        EXPECT_EQ(CountIn(played, after + 1.0, after + 2.0), 60) << jump;
    }
}

// Variable refresh: the display refreshes at uneven times. Where its
// refreshes come a tick or more apart every one plays; where they come
// faster, ten seconds play 600 frames (a second cut across the ticks may hold
// one more or one fewer), and no gap exceeds a tick and the longest refresh
// interval.
TEST(FramePacing, VariableRefreshPlaysEverySlowRefreshAndSixtyASecondOfFastOnes) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> slow(1.0 / 60.0, 1.0 / 48.0), fast(1.0 / 240.0, 1.0 / 100.0);
    std::vector<double> slowPart, fastPart;
    double t = 0.0;
    for (; t < 5.0; t += slow(random)) slowPart.push_back(t);
    for (; t < 16.0; t += fast(random)) fastPart.push_back(t);
    std::vector<double> refreshes = slowPart;
    refreshes.insert(refreshes.end(), fastPart.begin(), fastPart.end());

    for (const std::vector<double>& played : {PlayedSeenFromRefreshes(refreshes), Played(refreshes, 1.0 / 240.0)}) {
        EXPECT_EQ(CountIn(played, 0.0, 5.0), static_cast<long>(slowPart.size()));
        EXPECT_NEAR(CountIn(played, 5.5, 15.5), 600, 1);
        for (int second = 6; second < 15; ++second) EXPECT_NEAR(CountIn(played, second, second + 1), 60, 1) << second;
        EXPECT_LE(LargestGap(played), kTick + 1.0 / 48.0);
    }
}

// A host that sleeps through the refreshes on which nothing is due wakes at
// NextDue and plays; a moment earlier nothing would be due. Frames that take
// less than a tick then play exactly 60 a second; longer ones play on every
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

// Every frame played on a fast display stands for its tick: the show sees
// the times a 60 Hz display gives it, a tick apart. A late refresh stands for
// itself, and the ticks after it follow on from it.
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
