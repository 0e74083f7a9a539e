// What trackhost does once its command line is read: the devices of the
// configuration file driven through the plug-in on one storage, each cycle's poses
// written out and told to a listener, the devices' health, and the summary.
#pragma once

#include <iosfwd>

#include "host/HostOptions.h"
#include "host/output/PoseListener.h"
#include "host/output/PoseOutput.h"

// Runs the host and answers its exit code. Decoded records go to `output`, which
// is opened only once every device has come through init, and to `listener` when
// one is given; the host's own messages (configuration errors, failed device
// operations) go to `err`. The plug-in writes its messages to standard output itself.
int runHost(const HostOptions& options, PoseOutput& output, std::ostream& err,
            PoseListener* listener = nullptr);
// The same with the records going to `out`.
int runHost(const HostOptions& options, std::ostream& out, std::ostream& err,
            PoseListener* listener = nullptr);
