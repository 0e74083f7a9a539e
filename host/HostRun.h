// What trackhost does once its command line is read: the configuration file, the
// plug-in, the devices on one storage, the receive cycle and the clean stop.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

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

class PluginLibrary;
class SensorSession;
struct DeviceSection;

// The steps of a run, in their order; each answers exitSuccess or the exit code,
// having said why, or null with `code` set.
// Before any sensor wakes: no file written is one read, the drop-outs fit the
// configuration, and the configuration passes the checker of --check (its warnings
// told once).
int checkRun(const HostOptions& options, const RecordOutput& output,
             const std::vector<DeviceSection>& sections, std::ostream& err);
// Before any device exists: the session's replay and recording prepared (the
// recording library loads ahead of the plug-in), then the plug-in of --plugin or the
// one built beside trackhost.
std::unique_ptr<PluginLibrary> loadPlugin(const HostOptions& options,
                                          const std::vector<DeviceSection>& sections,
                                          SensorSession& session, std::ostream& err, int& code);
// Once the plug-in is loaded: the simulator's noise, replay and pose as the options
// ask, and a note of what the sensors' poses are (replayed or simulated).
int steerSensors(const HostOptions& options, SensorSession& session, std::ostream& err);

// The logger record trackhost hands to the device of a section named `name`.
CLoggerH makeLogger(const HostOptions& options, const std::string& name);

// Ends a running host after its current cycle, as Ctrl-C does; safe to call from a
// signal handler or another thread. Stays set for the rest of the process.
void requestHostStop();
bool hostStopRequested();
