// Plays a recording as `trackhost --replay FILE --replay-timed` does, but on the
// simulator's clock, which the driver moves on by one cycle's time before every
// cycle: an hour of recording plays in the time its cycles take, and that time is
// the replay's own cost.
//
//   replay_driver FILE [RATE]    RATE cycles per second of the recording (default 240)
//
// One device per serial port up to the highest one recorded, with the benchmark
// devices' transforms and calibration library. Prints the cycles, the records
// delivered and the processor time per cycle.
#include "BenchRig.h"

#include "host/recording/RecordingReader.h"
#include "sim/birdsim.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [RATE]\n", argv[0]);
        return 2;
    }
    const long rate = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 240;
    Recording recording;
    FileError error;
    if (rate <= 0) {
        std::fprintf(stderr, "RATE must be a positive number\n");
        return 2;
    }
    if (!readRecording(argv[1], recording, error)) {
        std::fprintf(stderr, "%s\n", formatError(error).c_str());
        return 2;
    }
    if (recording.readings.empty()) {
        std::fprintf(stderr, "%s holds no reading\n", argv[1]);
        return 2;
    }
    const int devices = *std::max_element(recording.ports.begin(), recording.ports.end());
    BenchRig rig(devices);
    birdsim_setClock(0);
    birdsim_replayClear();
    for (const RecordedReading& read : recording.readings) {
        birdsim_replayAdd(read.port, read.milliseconds, read.result, read.angles[0], read.angles[1],
                          read.angles[2]);
    }
    birdsim_replayStart(1, 0);

    const long length = recording.readings.back().milliseconds;
    long cycles = 0;
    long records = 0;
    std::uint8_t mask[4] = {};
    const std::clock_t started = std::clock();
    for (long milliseconds = 0; milliseconds <= length; milliseconds = ++cycles * 1000 / rate) {
        birdsim_setClock(static_cast<std::int32_t>(milliseconds));
        for (int device = 0; device < devices; ++device) {
            if (rig.device(device).recvData(mask, 0) == 1 &&
                (mask[0] | mask[1] | mask[2] | mask[3]) != 0) {
                ++records;
            }
        }
    }
    const double seconds = static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC;
    std::printf("%ld cycles of %d device(s) over %.1f s of recording, %ld records, "
                "%.3f s processor time, %.2f us per cycle\n",
                cycles, devices, static_cast<double>(length) / 1000.0, records, seconds,
                1e6 * seconds / static_cast<double>(cycles));
    return 0;
}
