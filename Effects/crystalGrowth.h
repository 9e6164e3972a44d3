// A room with a mechanical arm and a spinning crystal that grows a new shard
// on every bass beat (up to 60); the camera circles and cuts between two
// viewpoints on every snare. The crystals reflect a snapshot of the room
// rendered while loading. A function of demo time and the beat tables.
#pragma once

#include "BS/Export/BS_Math.h"
#include "Effect.h"

class crystalGrowth : public Effect {
public:
    void load() override;
    // Only demoTime is used.
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    bool CoversFrame() const override { return true; }
    bool Stateless() const override { return true; }

    // Shards drawn at demo time t: the first four always, then one per bass
    // beat already passed, at most 60.
    static int ShardCount(float t);
    // A shard's size: from nothing to full in the 0.2 s after its beat.
    static float ShardGrowth(float t, int shard);
    // True for the first viewpoint; flips on every snare.
    static bool FirstViewpoint(float t);
    // The crystals' turn in the room: about x, y and z at 1, 1.5 and 2
    // radians a second, a hundred times as fast from 52.2 s to 58 s.
    static BS::Matrix44 Spin(float t);
    // The big crystal: twice as wide and deep as tall, 10 below the spin's centre.
    static BS::Matrix44 MainPlacement();
    // A shard's size and its own fixed tilt, the same for every viewpoint.
    static BS::Matrix44 ShardPlacement(float t, int shard);
};
