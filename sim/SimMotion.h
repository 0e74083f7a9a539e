// The motion of the simulated sensors' bodies when no reading is fixed: smooth turns
// about all three axes or the alignment's script (a BirdSimMotion), seen through a
// turned transmitter and a crooked mount once either is set.
#pragma once

#include <cstdint>

#include "sim/SimRotation.h"
#include "sim/birdsim.h"

class SimMotion {
public:
    // birdsim_setMotion: anything but birdsimMotionAlign is the wave.
    void setKind(std::int32_t motion);
    // birdsim_setTransmitter and birdsim_setMount: a turn by `degrees` about an axis.
    void setTransmitter(float ax, float ay, float az, float degrees);
    void setMount(float ax, float ay, float az, float degrees);

    // The reading of a device index's body `seconds` into its motion, in radians. The
    // orientation the plug-in sees with CAVE coordinates negates the first and third
    // reading angle.
    void reading(std::int32_t deviceIndex, double seconds, float angles[3]) const;

private:
    std::int32_t kind = birdsimMotionWave;
    bool mounted = false; // the readings are turned once either turn is set
    Turn transmitterInverse = axisTurn(1, 0, 0, 0);
    Turn mountInverse = axisTurn(1, 0, 0, 0);
};
