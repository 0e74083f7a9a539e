// Side-by-side benchmarks of one tracking cycle: the floor of unavoidable work,
// the pieces of the cycle, the whole recvData and four devices on one storage.
// Ends with a summary of the ratios, each from medians of the same run.
#include "BenchRig.h"
#include "Floor.h"

#include "sim/birdsim.h"
#include "support/CDataStorage.h"
#include "support/TraData.h"
#include "tracker/Matrix4.h"
#include "tracker/PoseTransform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Four devices, the most one process may wake; device 0 serves the single-device
// benchmarks.
BenchRig& rig() {
    static BenchRig instance(4);
    return instance;
}

// The same non-trivial transforms the rig's devices are configured with.
struct Transforms {
    Matrix4 transmitter = combineTransform(axisAngleMatrix(0.0f, 1.0f, 0.0f, 90.0f),
                                           offsetMatrix(10.0f, 0.0f, -2.0f));
    Matrix4 sensor =
        combineTransform(axisAngleMatrix(1.0f, 0.0f, 0.0f, 30.0f), offsetMatrix(0.0f, 0.5f, 1.0f));
    float translation[3] = {0.5f, 0.25f, 0.125f};
};

// Poses in feet and degrees built from the reading ring, as the cycle sees them.
std::vector<TrackerPose> poseRing() {
    ReadingRing ring;
    std::vector<TrackerPose> poses(ReadingRing::size);
    for (TrackerPose& pose : poses) {
        const BenchReading& reading = ring.next();
        pose = {0.5f,
                -0.25f,
                1.0f,
                static_cast<float>(reading.angle1 * 57.29577951471995),
                static_cast<float>(reading.angle2 * 57.29577951471995),
                static_cast<float>(reading.angle3 * 57.29577951471995)};
    }
    return poses;
}

// The floor: the unavoidable arithmetic and one uncontended lock and release of
// the storage's mutex.
void unavoidableFloor(benchmark::State& state) {
    CDataStorage* storage = rig().storage();
    ReadingRing ring;
    for (auto _ : state) {
        const BenchReading& reading = ring.next();
        double result = floorArithmetic(reading.angle1, reading.angle2, reading.angle3);
        benchmark::DoNotOptimize(result);
        storage->lock();
        storage->unlock();
    }
}
BENCHMARK(unavoidableFloor);

void transformPoseAlone(benchmark::State& state) {
    const Transforms transforms;
    const std::vector<TrackerPose> poses = poseRing();
    std::size_t position = 0;
    for (auto _ : state) {
        TrackerPose pose = poses[position++ & (ReadingRing::size - 1)];
        benchmark::DoNotOptimize(pose);
        transformPose(pose, &transforms.transmitter, &transforms.sensor, transforms.translation);
        benchmark::DoNotOptimize(pose);
    }
}
BENCHMARK(transformPoseAlone);

// The six fixed-point fields of one record.
void encodeRecord(benchmark::State& state) {
    const std::vector<TrackerPose> poses = poseRing();
    std::size_t position = 0;
    TraData record;
    for (auto _ : state) {
        const TrackerPose& pose = poses[position++ & (ReadingRing::size - 1)];
        encodePose(record, pose);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(encodeRecord);

// Equal poses, the dearest comparison: all six pairs are decoded.
void samePoseEqual(benchmark::State& state) {
    const std::vector<TrackerPose> poses = poseRing();
    std::vector<TraData> records(poses.size());
    for (std::size_t i = 0; i < poses.size(); ++i) {
        records[i].x = encode(poses[i].x);
        records[i].angle1 = encode(poses[i].angle1);
        records[i].angle2 = encode(poses[i].angle2);
        records[i].angle3 = encode(poses[i].angle3);
    }
    std::size_t position = 0;
    for (auto _ : state) {
        const TraData& last = records[position++ & (ReadingRing::size - 1)];
        TraData current = last;
        benchmark::DoNotOptimize(current);
        std::int32_t same = samePose(last, current);
        benchmark::DoNotOptimize(same);
    }
}
BENCHMARK(samePoseEqual);

// The wall-clock read of the record's time stamp.
void stampRecord(benchmark::State& state) {
    TraData record;
    for (auto _ : state) {
        stamp(record);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(stampRecord);

// One uncontended lock and release of the storage's mutex, as the floor has it.
void storageLockRelease(benchmark::State& state) {
    CDataStorage* storage = rig().storage();
    for (auto _ : state) {
        storage->lock();
        storage->unlock();
    }
}
BENCHMARK(storageLockRelease);

// The simulator's control call that sets the next reading. It belongs to the
// benchmark, not to recvData, and is taken off the cycle's time in the summary.
void setReadingAlone(benchmark::State& state) {
    const std::int32_t index = rig().device(0).deviceIndexValue();
    ReadingRing ring;
    for (auto _ : state) {
        const BenchReading& next = ring.next();
        birdsim_setReading(index, next.angle1, next.angle2, next.angle3);
    }
}
BENCHMARK(setReadingAlone);

// The sensor library call inside recvData, alone: the simulator's lock and clock.
void sensorReadAlone(benchmark::State& state) {
    const std::int32_t index = rig().device(0).deviceIndexValue();
    std::uint8_t reading[bird::readingSize];
    birdsim_setReading(index, 0.1f, 0.2f, 0.3f); // no motion generation
    for (auto _ : state) {
        benchmark::DoNotOptimize(_3dbirdGetMostRecentReading(index, reading));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(sensorReadAlone);

// One cycle with everything on: transforms, calibration library, storage write.
// Every cycle sees a new reading and must deliver.
void recvDataCycle(benchmark::State& state) {
    BenchRig& bench = rig();
    std::uint8_t mask[4] = {};
    std::int64_t delivered = 0;
    for (auto _ : state) {
        delivered += bench.cycle(0, mask) ? 1 : 0;
    }
    if (delivered != state.iterations()) {
        state.SkipWithError("a cycle delivered nothing");
    }
}
BENCHMARK(recvDataCycle);

// A host thread that reads every device's slot under the storage's lock ten
// thousand times a second, far more often than a tracking server's frames.
class HostReader {
public:
    HostReader(CDataStorage* storage, int slots)
        : worker([this, storage, slots] { run(storage, slots); }) {}
    ~HostReader() {
        stopping = true;
        worker.join();
    }

private:
    void run(CDataStorage* storage, int slots) {
        TraData copy[4];
        while (!stopping) {
            storage->lock();
            for (int id = 1; id <= slots; ++id) {
                if (const TraData* slot = storage->getTraData(static_cast<std::uint32_t>(id))) {
                    copy[id - 1] = *slot;
                }
            }
            storage->unlock();
            benchmark::DoNotOptimize(copy);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }

    std::atomic<bool> stopping{false};
    std::thread worker;
};

// One device per benchmark thread, all on one storage, with the host reading.
void devicesSharingStorage(benchmark::State& state) {
    static std::unique_ptr<HostReader> reader;
    BenchRig& bench = rig();
    if (state.thread_index() == 0) {
        reader = std::make_unique<HostReader>(bench.storage(), state.threads());
    }
    const int index = state.thread_index();
    std::uint8_t mask[4] = {};
    std::int64_t delivered = 0;
    for (auto _ : state) {
        delivered += bench.cycle(index, mask) ? 1 : 0;
    }
    if (state.thread_index() == 0) {
        reader.reset();
    }
    state.counters["cycles"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (delivered != state.iterations()) {
        state.SkipWithError("a cycle delivered nothing");
    }
}
BENCHMARK(devicesSharingStorage)->Threads(1)->Threads(2)->Threads(4)->UseRealTime();

// The simulator's share of the above without the devices: each thread sets and
// gets the readings of its own sensor. The simulator keeps all sensors behind one
// lock, so its calls from several threads wait for each other.
void simulatorSharing(benchmark::State& state) {
    const std::int32_t index = rig().device(state.thread_index()).deviceIndexValue();
    ReadingRing ring;
    std::uint8_t reading[bird::readingSize];
    for (auto _ : state) {
        const BenchReading& next = ring.next();
        birdsim_setReading(index, next.angle1, next.angle2, next.angle3);
        benchmark::DoNotOptimize(_3dbirdGetMostRecentReading(index, reading));
    }
    state.counters["cycles"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(simulatorSharing)->Threads(1)->Threads(4)->UseRealTime();

// The devices' one shared resource without the rest of the cycle: each thread
// writes a record into its own slot under the storage's lock, as recvData does.
void storageSharing(benchmark::State& state) {
    CDataStorage* storage = rig().storage();
    const auto id = static_cast<std::uint32_t>(state.thread_index() + 1);
    TraData record;
    for (auto _ : state) {
        storage->lock();
        if (TraData* slot = storage->getTraData(id)) {
            *slot = record;
        }
        storage->unlock();
        ++record.x;
    }
    state.counters["cycles"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(storageSharing)->Threads(1)->Threads(4)->UseRealTime();

// Passes every report on to the console and keeps the figures for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) {
                continue;
            }
            const std::string key = run.run_name.function_name + "/" + std::to_string(run.threads);
            cpuNanoseconds[key].push_back(run.GetAdjustedCPUTime());
            const auto cycles = run.counters.find("cycles");
            if (cycles != run.counters.end()) {
                cyclesPerSecond[key].push_back(cycles->second.value);
            }
        }
    }

    void printSummary() const {
        const double floor = median(cpuNanoseconds, "unavoidableFloor/1");
        // The benchmark's loop sets a reading before each cycle; recvData is the rest.
        const double cycle =
            median(cpuNanoseconds, "recvDataCycle/1") - median(cpuNanoseconds, "setReadingAlone/1");
        const double sensor = median(cpuNanoseconds, "sensorReadAlone/1");
        std::printf("\nSummary: medians of %zu repetitions, CPU time per iteration\n",
                    repetitions());
        line("floor: 12 sin/cos, 3 atan2, 1 sqrt, lock", floor, floor);
        line("transformPose", median(cpuNanoseconds, "transformPoseAlone/1"), floor);
        line("encode, six fields", median(cpuNanoseconds, "encodeRecord/1"), floor);
        line("samePose, equal poses", median(cpuNanoseconds, "samePoseEqual/1"), floor);
        line("stamp", median(cpuNanoseconds, "stampRecord/1"), floor);
        line("storage lock and release", median(cpuNanoseconds, "storageLockRelease/1"), floor);
        line("simulator: set reading (not in recvData)",
             median(cpuNanoseconds, "setReadingAlone/1"), floor);
        line("simulator: get reading (in recvData)", sensor, floor);
        line("recvData cycle, everything on (budget 1.5)", cycle, floor);
        line("recvData less the sensor library call", cycle - sensor, floor);
        std::printf("\nScaling: devices on threads of their own, one storage, host reading; "
                    "%u hardware threads\n",
                    std::thread::hardware_concurrency());
        const double one = median(cyclesPerSecond, "devicesSharingStorage/1");
        for (const int threads : {1, 2, 4}) {
            const double total =
                median(cyclesPerSecond, "devicesSharingStorage/" + std::to_string(threads));
            std::printf("  %d device(s)  %10.0f cycles/s in total  %5.2f x one device\n", threads,
                        total, one > 0.0 ? total / one : 0.0);
        }
        const double simOne = median(cyclesPerSecond, "simulatorSharing/1");
        const double simFour = median(cyclesPerSecond, "simulatorSharing/4");
        const double storageOne = median(cyclesPerSecond, "storageSharing/1");
        const double storageFour = median(cyclesPerSecond, "storageSharing/4");
        std::printf("  simulator calls alone:  four threads %5.2f x one thread\n",
                    simOne > 0.0 ? simFour / simOne : 0.0);
        std::printf("  storage writes alone:   four threads %5.2f x one thread\n",
                    storageOne > 0.0 ? storageFour / storageOne : 0.0);
    }

private:
    using Figures = std::map<std::string, std::vector<double>>;

    static double median(const Figures& figures, const std::string& key) {
        const auto found = figures.find(key);
        if (found == figures.end() || found->second.empty()) {
            return 0.0;
        }
        std::vector<double> values = found->second;
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 == 1 ? values[middle]
                                      : (values[middle - 1] + values[middle]) / 2.0;
    }

    static void line(const char* what, double nanoseconds, double floor) {
        std::printf("  %-44s %9.1f ns  %6.2f x floor\n", what, nanoseconds,
                    floor > 0.0 ? nanoseconds / floor : 0.0);
    }

    std::size_t repetitions() const {
        const auto found = cpuNanoseconds.find("recvDataCycle/1");
        return found == cpuNanoseconds.end() ? 0 : found->second.size();
    }

    Figures cpuNanoseconds;
    Figures cyclesPerSecond;
};

} // namespace

// Repeats every benchmark five times in random order unless told otherwise, so
// that a slow spell of a shared machine does not fall on one benchmark alone.
int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitionFlag = "--benchmark_repetitions=5";
    std::string interleaveFlag = "--benchmark_enable_random_interleaving=true";
    const bool repetitionsGiven = std::any_of(args.begin(), args.end(), [](const char* arg) {
        return std::string(arg).rfind("--benchmark_repetitions", 0) == 0;
    });
    if (!repetitionsGiven) {
        args.push_back(repetitionFlag.data());
        args.push_back(interleaveFlag.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    std::printf("calibration library: %s\n", rig().calibrationLibrary().c_str());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
