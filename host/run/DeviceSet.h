// The devices of a run, one per section, driven through the plug-in in the order a
// host must: createDev and init for each in file order, so that the tracker IDs
// follow one another, then configure and start for each; and whatever way the run
// ends, stop for every device that came through init and deleteDev for every device.
// A failed operation is told as "device [NAME] at FILE:LINE: OPERATION failed"; the
// plug-in has said why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "device/CBase.h"
#include "host/input/ConfigFile.h"
#include "host/output/PoseTable.h"
#include "host/plugin/HostStorage.h"
#include "host/plugin/PluginLibrary.h"
#include "host/run/RunSettings.h"

class DeviceSet {
public:
    // `fileName`: the configuration the sections come from, named in messages.
    DeviceSet(const PluginLibrary& plugin, std::string fileName, std::ostream& err);
    ~DeviceSet() { shutDown(); }

    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;

    // createDev and init for each section, each device with a logger of its
    // section's name; false once a failure is told. A device that createDev could
    // not make (the plug-in ran out of memory) is told and never used.
    bool init(const std::vector<DeviceSection>& sections, const LogSettings& log,
              const InitInfo& info);
    // configure, then start, every device; a failed orientation reset is told and
    // passed over. False once a failure is told.
    bool start();

    // What one receive cycle of a device gave.
    struct Received {
        bool succeeded = false;   // recvData answered 1
        std::int64_t records = 0; // records handed on
    };
    // One receive cycle of device `index`: its recvData, then each record it marked
    // in the update mask, read from `storage`, decoded and handed to `deliver`, until
    // `deliver` answers false.
    Received receive(std::size_t index, HostStorage& storage,
                     const std::function<bool(const PoseRow&)>& deliver);

    std::size_t size() const { return devices.size(); }
    const std::string& name(std::size_t index) const { return devices[index].section->name; }

    // stop for each device that came through init, then deleteDev for each; false
    // when a stop failed. Runs once; the destructor calls it too.
    bool shutDown();

private:
    struct Device {
        const DeviceSection* section;
        CBase* device;
        bool initialised = false;
    };

    void report(const Device& device, const char* operation);

    const PluginLibrary& plugin;
    std::string fileName;
    std::ostream& err;
    std::vector<Device> devices;
};
