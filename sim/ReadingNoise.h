// The jitter the simulated sensors add to the angles they report, their motion's, a
// fixed reading's or a replayed one's (birdsim_setNoise): a normal deviate per angle from a
// generator that restarts with each reset, so a run's noise is the same every time.
#pragma once

#include <random>

class ReadingNoise {
public:
    // `degreesRms` 0 or less adds none.
    void set(float degreesRms);
    // Inline, so that a reading without noise costs a comparison.
    void add(float& angle) {
        if (radians > 0.0f) {
            addDeviate(angle);
        }
    }

private:
    void addDeviate(float& angle);

    float radians = 0.0f;
    std::mt19937 source;
    std::normal_distribution<float> normal;
};
