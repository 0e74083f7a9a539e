// The smoothing library's filter against no filter and a plain exponential filter,
// on a simulated motion: at rest with jitter, then a steady turn. Prints a table of
// the jitter at rest and the lag in the turn, and writes the samples for a plot.
//
//   smoothing_bench [DATA_FILE] [minCutoff beta derivativeCutoff]
#include "examples/calibration/smoothing/OneEuroFilter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr double rate = 100.0;        // samples per second, as the sensor measures
constexpr double restSeconds = 2.0;   // at rest first
constexpr double turnSeconds = 1.5;   // then a steady turn
constexpr double turnSpeed = 90.0;    // degrees per second
constexpr double jitterRms = 0.2;     // degrees
constexpr double settleSeconds = 0.5; // left out of both measures, after each start

struct Sample {
    double seconds;
    double truth;
    double raw;
};

std::vector<Sample> motion() {
    std::mt19937 source(14);
    std::normal_distribution<double> jitter(0.0, jitterRms);
    std::vector<Sample> samples;
    const int count = static_cast<int>((restSeconds + turnSeconds) * rate);
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double truth = t < restSeconds ? 0.0 : turnSpeed * (t - restSeconds);
        samples.push_back({t, truth, truth + jitter(source)});
    }
    return samples;
}

struct Measure {
    double jitter; // RMS of the error at rest, degrees
    double lagMs;  // mean error in the turn over its speed, milliseconds
};

Measure measure(const std::vector<Sample>& samples, const std::vector<double>& filtered) {
    double squares = 0.0;
    double behind = 0.0;
    int resting = 0;
    int turning = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = samples[i].seconds;
        const double error = samples[i].truth - filtered[i];
        if (t >= settleSeconds && t < restSeconds) {
            squares += error * error;
            ++resting;
        } else if (t >= restSeconds + settleSeconds) {
            behind += error;
            ++turning;
        }
    }
    return {std::sqrt(squares / resting), 1000.0 * behind / turning / turnSpeed};
}

std::vector<double> unfiltered(const std::vector<Sample>& samples) {
    std::vector<double> out;
    for (const Sample& sample : samples) {
        out.push_back(sample.raw);
    }
    return out;
}

std::vector<double> exponential(const std::vector<Sample>& samples, double alpha) {
    std::vector<double> out;
    double value = samples.front().raw;
    for (const Sample& sample : samples) {
        value += alpha * (sample.raw - value);
        out.push_back(value);
    }
    return out;
}

std::vector<double> oneEuro(const std::vector<Sample>& samples,
                            const OneEuroParameters& parameters) {
    OneEuroFilter filter(parameters);
    std::vector<double> out;
    for (const Sample& sample : samples) {
        // Unwrapped again for the comparison: the turn passes 180 degrees.
        const double value = filter.filter(sample.raw, sample.seconds);
        out.push_back(sample.truth + wrapDegrees(value - sample.truth));
    }
    return out;
}

// The exponential filter's weight that leaves the same jitter at rest.
double matchingAlpha(const std::vector<Sample>& samples, double jitter) {
    double low = 1e-4;
    double high = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double alpha = std::sqrt(low * high);
        (measure(samples, exponential(samples, alpha)).jitter > jitter ? high : low) = alpha;
    }
    return std::sqrt(low * high);
}

} // namespace

int main(int argc, char** argv) {
    OneEuroParameters parameters;
    if (argc == 5) {
        parameters = {std::atof(argv[2]), std::atof(argv[3]), std::atof(argv[4])};
    } else if (argc != 1 && argc != 2) {
        std::fprintf(stderr, "usage: smoothing_bench [DATA_FILE] [minCutoff beta "
                             "derivativeCutoff]\n");
        return 2;
    }
    const std::vector<Sample> samples = motion();
    const std::vector<double> none = unfiltered(samples);
    const std::vector<double> euro = oneEuro(samples, parameters);
    const Measure euroMeasure = measure(samples, euro);
    const double alpha = matchingAlpha(samples, euroMeasure.jitter);
    const std::vector<double> plain = exponential(samples, alpha);
    const Measure noneMeasure = measure(samples, none);
    const Measure plainMeasure = measure(samples, plain);

    std::printf("%.0f Hz samples: %.1f s at rest with %.2f deg RMS jitter, then a turn at "
                "%.0f deg/s for %.1f s\n(the first %.1f s of each left out)\n\n",
                rate, restSeconds, jitterRms, turnSpeed, turnSeconds, settleSeconds);
    std::printf("%-44s %22s %18s\n", "filter", "jitter at rest (deg)", "lag in turn (ms)");
    char name[64];
    std::printf("%-44s %22.4f %18.1f\n", "none", noneMeasure.jitter, noneMeasure.lagMs);
    std::snprintf(name, sizeof name, "exponential, alpha %.4f", alpha);
    std::printf("%-44s %22.4f %18.1f\n", name, plainMeasure.jitter, plainMeasure.lagMs);
    std::snprintf(name, sizeof name, "One Euro %g Hz, beta %g, %g Hz", parameters.minCutoff,
                  parameters.beta, parameters.derivativeCutoff);
    std::printf("%-44s %22.4f %18.1f\n", name, euroMeasure.jitter, euroMeasure.lagMs);
    std::printf("\njitter cut %.1f-fold; lag %.0f%% of the exponential filter's\n",
                noneMeasure.jitter / euroMeasure.jitter,
                100.0 * euroMeasure.lagMs / plainMeasure.lagMs);

    if (argc >= 2) {
        std::FILE* data = std::fopen(argv[1], "w");
        if (data == nullptr) {
            std::perror(argv[1]);
            return 1;
        }
        std::fprintf(data, "# seconds truth raw exponential one-euro (degrees)\n");
        for (std::size_t i = 0; i < samples.size(); ++i) {
            std::fprintf(data, "%.3f %.4f %.4f %.4f %.4f\n", samples[i].seconds, samples[i].truth,
                         samples[i].raw, plain[i], euro[i]);
        }
        if (std::fclose(data) != 0) {
            std::perror(argv[1]);
            return 1;
        }
    }
    return 0;
}
