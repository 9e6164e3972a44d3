// Keyframe tracks: sorted insertion, Catmull-Rom and slerp, wrap and clamp against the current scene's last time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DAS/Source/DAS.h"

namespace {

class KeyframeTest : public ::testing::Test {
protected:
    // Tracks read the last time of the current scene.
    void SetUp() override { UseLastTime(10.0f); }
    void UseLastTime(float last) {
        mScene.SetLastTime(last);
        mScene.Animate(0.0f);  // makes it the current scene
    }
    static DAS_ObjectPositionKeyframe At(float time, float x) { return {BS::Vector3(x, 0.0f, 0.0f), time}; }

    B3D_World mWorld;
    DAS mScene{&mWorld};
};

// The rule written out: normalise, count the keys up to the time, take the four (or two) neighbours wrapped
// or clamped, then Catmull-Rom or slerp.
struct TrackOracle {
    std::vector<float> times;
    std::vector<BS::Vector3> positions;
    std::vector<BS::Quaternion> rotations;
    float last;

    // The normalised time, or a negative value for "the last key".
    float Normalised(float t, bool loop) const {
        if (!(t > last)) return t;
        if (!loop || !(last > 0)) return -1e30f;  // a scene without a length never wraps
        return static_cast<float>(double(t) - std::floor(double(t) / last) * double(last));
    }
    int Index(int k, bool loop) const {
        const int n = static_cast<int>(times.size());
        return loop ? ((k % n) + n) % n : std::min(std::max(k, 0), n - 1);
    }
    int Count(float t) const { return static_cast<int>(std::upper_bound(times.begin(), times.end(), t) - times.begin()); }

    BS::Vector3 Position(float time, bool loop) const {
        const float t = Normalised(time, loop);
        if (t == -1e30f) return positions.back();
        const int i = Count(t);
        int k[4];
        for (int j = 0; j < 4; ++j) k[j] = Index(i - 2 + j, loop);
        if (k[1] == k[2]) return positions[k[2]];
        const double u = (t - times[k[1]]) / (times[k[2]] - times[k[1]]);
        BS::Vector3 r;
        for (int c = 0; c < 3; ++c) {
            const double p0 = (&positions[k[0]].x)[c], p1 = (&positions[k[1]].x)[c], p2 = (&positions[k[2]].x)[c],
                         p3 = (&positions[k[3]].x)[c];
            (&r.x)[c] = float(0.5 * (2 * p1 + (p2 - p0) * u + (2 * p0 - 5 * p1 + 4 * p2 - p3) * u * u +
                                     (3 * p1 - p0 - 3 * p2 + p3) * u * u * u));
        }
        return r;
    }
    // The rotation as a matrix, so that q and -q agree.
    BS::Matrix44 Rotation(float time, bool loop) const {
        const float t = Normalised(time, loop);
        if (t == -1e30f) return rotations.back().Matrix();
        const int i = Count(t), n = static_cast<int>(times.size());
        const int k1 = loop ? Index(i - 1, true) : std::max(i - 1, 0), k2 = loop ? Index(i, true) : std::min(i, n - 1);
        if (k1 == k2) return rotations[k1].Matrix();
        const float u = (t - times[k1]) / (times[k2] - times[k1]);
        const BS::Quaternion& a = rotations[k1];
        BS::Quaternion b = rotations[k2];
        double d = a.w * b.w + a.v * b.v;
        if (d < 0) b = b * -1.0f, d = -d;
        double k0 = 1 - u, kb = u;
        if (d < 0.9999) {
            const double theta = std::acos(d);
            k0 = std::sin((1 - u) * theta) / std::sin(theta);
            kb = std::sin(u * theta) / std::sin(theta);
        }
        return BS::Quaternion(float(k0 * a.w + kb * b.w), a.v * float(k0) + b.v * float(kb)).Matrix();
    }
};

// Object tracks against the oracle, a position and a rotation, times before the first key and past the last
// included. (Morph and face tracks animate no file of the show: its meshes keep their rest shape.)
TEST_F(KeyframeTest, TracksFollowTheRuleOverRandomKeysAndTimes) {
    std::mt19937 random(3111);
    std::uniform_real_distribution<float> coordinate(-5, 5), unit(0, 1);
    for (int trial = 0; trial < 60; ++trial) {
        TrackOracle oracle;
        oracle.last = trial % 5 == 0 ? 0.0f : 4.0f + 8.0f * unit(random);
        UseLastTime(oracle.last);
        DAS_ObjectAnimator track;
        const int n = 1 + trial % 6;
        float time = trial % 2 ? -0.5f : 0.0f;
        for (int k = 0; k < n; ++k) {
            time += 0.2f + 2.0f * unit(random);
            BS::Vector3 axis(coordinate(random), coordinate(random), coordinate(random));
            axis.Normalize();
            const BS::Quaternion q = axis.GetQuaternion(coordinate(random));
            const BS::Vector3 p(coordinate(random), coordinate(random), coordinate(random));
            track.AddPositionKey(DAS_ObjectPositionKeyframe(p, time));
            track.AddRotationKey(DAS_ObjectRotationKeyframe(q.Matrix(), time));
            oracle.times.push_back(time);
            oracle.positions.push_back(p);
            oracle.rotations.push_back(track.RotationKeys().back().GetQuaternion());
        }
        for (int sample = 0; sample < 40; ++sample) {
            const float t = sample < 2 ? oracle.times[sample % n] : -2.0f + 30.0f * unit(random);
            for (bool loop : {false, true}) {
                SCOPED_TRACE(testing::Message() << "trial " << trial << " t " << t << " loop " << loop);
                const BS::Vector4 got = track.Position(t, loop);
                const BS::Vector3 w = oracle.Position(t, loop);
                const float tolerance = 1e-3f * (1 + std::fabs(w.x) + std::fabs(w.y) + std::fabs(w.z));
                EXPECT_NEAR(got.x, w.x, tolerance);
                EXPECT_NEAR(got.y, w.y, tolerance);
                EXPECT_NEAR(got.z, w.z, tolerance);
                const BS::Matrix44 r = track.Rotation(t, loop).Matrix(), wantR = oracle.Rotation(t, loop);
                for (int i = 0; i < 11; ++i) EXPECT_NEAR(r.m[i], wantR.m[i], 2e-3f) << i;
            }
        }
    }
}

TEST_F(KeyframeTest, KeysAreKeptInTimeOrderAndTimesAreUnique) {
    DAS_ObjectAnimator track;
    track.AddPositionKey(At(0.0f, 0.0f));
    track.AddPositionKey(At(2.0f, 2.0f));
    track.AddPositionKey(At(1.0f, 1.0f));
    ASSERT_EQ(track.PositionKeys().size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(track.PositionKeys()[i].Time(), static_cast<float>(i));
    EXPECT_THROW(track.AddPositionKey(At(1.0f, 5.0f)), BS::Error);
    EXPECT_EQ(track.PositionKeys().size(), 3u);
    EXPECT_FLOAT_EQ(track.PositionKeys()[1].Position().x, 1.0f);
}

TEST_F(KeyframeTest, EmptyTracksGiveTheRestPlace) {
    DAS_ObjectAnimator track;
    const BS::Vector4 p = track.Position(1.0f, false);
    const BS::Quaternion q = track.Rotation(1.0f, true);
    EXPECT_EQ(std::vector<float>({p.x, p.y, p.z, p.w, q.w, q.v.x}), (std::vector<float>{0, 0, 0, 1, 1, 0}));
}

}  // namespace
