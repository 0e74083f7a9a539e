// The devices' lifecycle through the plug-in, and their receive cycles.
#include "host/run/DeviceSet.h"

#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/run/HostRig.h"

#include <ostream>
#include <utility>

namespace {

// Tracker ID n is bit n - 1 of the mask read as a big-endian 32-bit number.
bool maskHas(const std::uint8_t* mask, std::uint32_t id) {
    const std::uint32_t bit = id - 1;
    return (mask[3 - bit / 8] & (1u << (bit % 8))) != 0;
}

} // namespace

DeviceSet::DeviceSet(const PluginLibrary& plugin, std::string fileName, std::ostream& err)
    : plugin(plugin), fileName(std::move(fileName)), err(err) {}

void DeviceSet::report(const Device& device, const char* operation) {
    hostMessage(err) << "device [" << shownText(device.section->name) << "] at "
                     << shownText(fileName) << ":" << device.section->line << ": " << operation
                     << " failed" << std::endl;
}

bool DeviceSet::init(const std::vector<DeviceSection>& sections, const LogSettings& log,
                     const InitInfo& info) {
    for (const DeviceSection& section : sections) {
        // The device copies the logger; the option record stays ours until the end.
        const CLoggerH logger = makeLogger(log, section.name);
        const Device device{&section, plugin.createDev(section.config->record(), &logger)};
        if (device.device == nullptr) {
            report(device, "createDev"); // the plug-in ran out of memory
            return false;
        }
        devices.push_back(device);
        if (devices.back().device->init(&info) != 1) {
            report(devices.back(), "init");
            return false;
        }
        devices.back().initialised = true;
    }
    return true;
}

bool DeviceSet::start() {
    for (const Device& device : devices) {
        const std::int32_t configured = device.device->configure();
        if (configured < 0) {
            report(device, "configure");
            return false;
        }
        if (configured == 0) {
            hostMessage(err) << "device [" << shownText(device.section->name)
                             << "]: the orientation reset failed; going on without it" << std::endl;
        }
    }
    for (const Device& device : devices) {
        if (!device.device->start()) {
            report(device, "start");
            return false;
        }
    }
    return true;
}

DeviceSet::Received DeviceSet::receive(std::size_t index, HostStorage& storage,
                                       const std::function<bool(const PoseRow&)>& deliver) {
    const Device& device = devices[index];
    std::uint8_t mask[4] = {};
    Received received;
    received.succeeded = device.device->recvData(mask, 0) == 1;
    for (std::uint32_t id = 1; received.succeeded && id <= CDataStorage::maxRecords; ++id) {
        TraData record;
        if (maskHas(mask, id) && storage.readSlot(id, record)) {
            ++received.records;
            if (!deliver(decodeRecord(device.section->name, record))) {
                break;
            }
        }
    }
    return received;
}

bool DeviceSet::shutDown() {
    bool stopped = true;
    for (const Device& device : devices) {
        if (device.initialised && !device.device->stop()) {
            report(device, "stop");
            stopped = false;
        }
    }
    for (const Device& device : devices) {
        plugin.deleteDev(device.device);
    }
    devices.clear();
    return stopped;
}
