// The receiver of every record trackhost delivers, besides its record output.
#pragma once

#include "host/output/PoseTable.h"

class PoseListener {
public:
    virtual ~PoseListener() = default;
    // Called from the receive cycle for each delivered record, right after it is
    // written out; must return at once, without waiting on anything slow.
    virtual void poseDelivered(const PoseRow& pose) = 0;
};
