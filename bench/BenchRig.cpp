// The benchmarks' host: storage, option records and streaming devices.
#include "BenchRig.h"

#include "platform/platform.h"
#include "sim/birdsim.h"
#include "support/LineSink.h"
#include "tests/fixtures/PlainLogger.h"

#include <cmath>
#include <stdexcept>

namespace {

bool libraryBesideUs(const char* baseName) {
    const platform::LibraryHandle library =
        platform::loadLibrary(platform::libraryFileName(baseName).c_str());
    if (library == nullptr) {
        return false;
    }
    platform::freeLibrary(library);
    return true;
}

// The example calibration library when it was built beside this program, else the
// test calibration library; with the arguments each one takes.
std::vector<std::string> calibrationOption() {
    if (libraryBesideUs("boresight")) {
        // Angle offsets in degrees and a position offset in feet.
        return {platform::libraryFileName("boresight"), "1.5", "-0.5", "0.25", "0.1", "0", "-0.2"};
    }
    return {platform::libraryFileName("testcalib"), "0.5"};
}

} // namespace

ReadingRing::ReadingRing() : readings(size) {
    constexpr double turn = 6.283185307179586 / static_cast<double>(size);
    for (std::size_t i = 0; i < size; ++i) {
        const double step = static_cast<double>(i) * turn;
        readings[i] = {static_cast<float>(1.2 * std::sin(step)),
                       static_cast<float>(0.6 * std::cos(3.0 * step)),
                       static_cast<float>(0.9 * std::sin(2.0 * step + 0.5))};
    }
}

BenchRig::BenchRig(int count)
    : logger(plainLogger("C3DBird")), rig(logger, 1), calibration(calibrationOption()) {
    // The device information blocks and transform printouts stay out of the report.
    const LineSinkScope silent(droppedLines);
    for (int i = 0; i < count; ++i) {
        auto config = std::make_unique<HostConfig>("sensor" + std::to_string(i + 1));
        config->add("port", {std::to_string(i + 1)}); // a port opens once
        config->add("transmitteroffset", {"10", "0", "-2"});
        config->add("transmitterrotation", {"0", "1", "0", "90"});
        config->add("sensoroffset", {"1", "0", "0.5", "1"});
        config->add("sensorrotation", {"1", "1", "0", "0", "30"});
        config->add("sensortranslation", {"1", "0.5", "0.25", "0.125"});
        config->add("calibration", calibration);
        auto device = std::make_unique<C3DBird>(config->record(), &logger);
        const InitInfo info = rig.initInfo();
        if (device->init(&info) != 1 || device->configure() != 2 || !device->start()) {
            throw std::runtime_error("a benchmark device did not start");
        }
        configs.push_back(std::move(config));
        devices.push_back(std::move(device));
    }
    rings.resize(devices.size());
}

BenchRig::~BenchRig() {
    const LineSinkScope silent(droppedLines);
    for (auto& device : devices) {
        device->stop();
    }
}

bool BenchRig::cycle(int index, std::uint8_t* mask) {
    C3DBird& device = *devices[static_cast<std::size_t>(index)];
    const BenchReading& reading = rings[static_cast<std::size_t>(index)].next();
    birdsim_setReading(device.deviceIndexValue(), reading.angle1, reading.angle2, reading.angle3);
    const std::int32_t result = device.recvData(mask, 0);
    return result == 1 && (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
}
