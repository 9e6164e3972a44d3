// The show's clock as the viewer hears its music. A sample handed to the
// sound output leaves the speaker later (the output's buffers, a sound
// server, a wireless headset), so from the moment the music starts or goes
// on (the show's start, a resume, a seek) the show's clock stands still
// until that moment's first sample is heard, then runs on from where it
// stood: the frame on screen is the music's heard moment, not the moment
// it was handed over. A change of that delay while the music plays (the
// viewer's offset, an output reporting anew) is followed at a steady rate
// rather than in a jump. Pure arithmetic on a host's clock readings.
#pragma once

#include <algorithm>
#include <cmath>

class HeardClock {
public:
    // While a change is followed the show's clock runs at most this much
    // slower or faster than the host's: a change moves a 60 Hz frame by
    // under 9 ms, less than a frame.
    static constexpr double kFollowRate = 0.5;

    // The music starts or goes on at `now`: the show's clock stands where
    // it is until the moment HeardFrom names.
    void Hold(double now) {
        mStood = Read(now);
        mHeardFrom = HUGE_VAL;
        mRampFrom = mRampTo = 0.0;
        mStarted = true;
    }
    // The first sample handed over at Hold is heard at `moment`; one
    // before the Hold moves the show's clock on at once by the difference.
    void HeardFrom(double moment) { mHeardFrom = moment; }

    // The picture is to come `change` seconds later than so far (earlier
    // for a negative change), from `now` on.
    void Change(double now, double change) {
        if (!mStarted) return;
        mRampFrom = Drift(now);
        mRampTo += change;
        mRampStart = now;
    }

    bool Held(double now) const { return mStarted && now < Restart(now); }

    // What the show reads at the host's clock reading `now`: that reading
    // itself until the music first starts.
    double Read(double now) const {
        if (!mStarted) return now;
        return mStood + std::max(0.0, now - Restart(now));
    }

private:
    double Restart(double now) const { return mHeardFrom + Drift(now); }
    // The part of the changes since the Hold followed by `now`.
    double Drift(double now) const {
        const double way = mRampTo - mRampFrom;
        const double gone = std::max(0.0, now - mRampStart) * kFollowRate;
        return std::abs(way) <= gone ? mRampTo : mRampFrom + std::copysign(gone, way);
    }

    bool mStarted = false;
    double mStood = 0.0;
    double mHeardFrom = 0.0;
    double mRampStart = 0.0;
    double mRampFrom = 0.0;
    double mRampTo = 0.0;
};
