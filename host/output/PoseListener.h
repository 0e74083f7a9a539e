// The receiver of every record trackhost delivers, besides its record output, and
// of every change in whether a device answers.
#pragma once

#include "host/output/PoseTable.h"

#include <string>

class PoseListener {
public:
    virtual ~PoseListener() = default;
    // Called from the receive cycle for each delivered record, right after it is
    // written out; must return at once, without waiting on anything slow.
    virtual void poseDelivered(const PoseRow& pose) = 0;
    // Called from the receive cycle when `device` stops answering (its recvData
    // fails) or answers again. A device that answers without a new record holds
    // still; it has not stopped. Must return at once, as poseDelivered.
    virtual void deviceAnswering(const std::string& device, bool answering) {
        (void)device;
        (void)answering;
    }
};
