// The jitter on the simulated sensors' angles.
#include "sim/ReadingNoise.h"

void ReadingNoise::set(float degreesRms) {
    radians = degreesRms > 0.0f ? degreesRms * 0.017453292f : 0.0f;
}

void ReadingNoise::addDeviate(float& angle) {
    angle += radians * normal(source);
}
