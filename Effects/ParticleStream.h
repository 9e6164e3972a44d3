// Emission at a fixed rate into a particle pool: the balance carries the
// fractions over from frame to frame.
#pragma once

class ParticleStream {
public:
    explicit ParticleStream(float perSecond) : mPerSecond(perSecond) {}

    // Calls emit once for every particle owed after dt more seconds.
    template <typename Emit>
    void Advance(float dt, Emit emit) {
        mBalance += mPerSecond * dt;
        while (mBalance > 0.0f) {
            emit();
            mBalance -= 1.0f;
        }
    }
    float Balance() const { return mBalance; }

private:
    float mPerSecond;
    float mBalance = 0.0f;
};
