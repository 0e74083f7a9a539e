// What trackhost does once its command line is read: the configuration file, the
// plug-in, the devices on one storage, the receive cycle and the clean stop.
#pragma once

#include <iosfwd>
#include <string>

#include "host/HostOptions.h"
#include "host/output/RecordListener.h"
#include "host/output/RecordOutput.h"
#include "support/CLoggerH.h"

// Runs the host and answers its exit code. Decoded records go to `output`, which
// is opened only once every device has come through init, and to `listener` when
// one is given; the host's own messages (configuration errors, failed device
// operations) go to `err`. The plug-in writes its messages to standard output itself.
int runHost(const HostOptions& options, RecordOutput& output, std::ostream& err,
            RecordListener* listener = nullptr);
// The same with the records going to `out`.
int runHost(const HostOptions& options, std::ostream& out, std::ostream& err,
            RecordListener* listener = nullptr);

// The logger record trackhost hands to the device of a section named `name`.
CLoggerH makeLogger(const HostOptions& options, const std::string& name);

// Ends a running host after its current cycle, as Ctrl-C does; safe to call from a
// signal handler or another thread. Stays set for the rest of the process.
void requestHostStop();
bool hostStopRequested();
