#pragma once
// The one format in which every micro-benchmark program hands its results
// to scripts/bench.sh, which gathers the rows of all programs of an area
// into one table. After the usual output a program prints one line per
// routine:
//
//   row <TAB> routine <TAB> rate <TAB> unit <TAB> peer <TAB> peer rate
//
// (peer and peer rate "-" where the routine has no peer). A rate is the
// benchmark's counter whose name ends in "/s" (MP/s, MB/s); with
// --benchmark_repetitions it is the median of the repetitions.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Under Wine a thread's processor time moves in steps of a clock tick
// (about 16 ms): the 32-bit Windows build's programs are timed by the wall
// clock instead; the host's by processor time.
inline benchmark::internal::Benchmark *Timed(benchmark::internal::Benchmark *Benchmark) {
#ifdef _WIN32
    Benchmark->UseRealTime();
#endif
    return Benchmark;
}

class TRowReporter : public benchmark::ConsoleReporter {
public:
    // The routine measured by the benchmark Name, beside the benchmark Peer ("" for none).
    void AddRow(std::string Name, std::string Peer = "") { FRows.emplace_back(std::move(Name), std::move(Peer)); }

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs)
            for (const auto &[counter, value] : run.counters) {
                if (counter.size() < 2 || counter.compare(counter.size() - 2, 2, "/s") != 0) continue;
                const std::string name = RoutineName(run.run_name.str());
                if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                    FMedians[name] = {value.value, counter};
                else if (run.run_type == Run::RT_Iteration)
                    FRates[name] = {value.value, counter};
            }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto &[name, peer] : FRows) {
            const TRate ours = Rate(name);
            if (ours.Value <= 0) continue;
            const TRate theirs = peer.empty() ? TRate{} : Rate(peer);
            if (theirs.Value > 0)
                std::printf("row\t%s\t%.1f\t%s\t%s\t%.1f\n", name.c_str(), ours.Value, ours.Unit.c_str(), peer.c_str(),
                            theirs.Value);
            else
                std::printf("row\t%s\t%.1f\t%s\t-\t-\n", name.c_str(), ours.Value, ours.Unit.c_str());
        }
        std::fflush(stdout);
    }

private:
    // The name a benchmark was registered with: without the suffix that
    // timing by the wall clock adds to it.
    static std::string RoutineName(std::string Name) {
        const std::string suffix = "/real_time";
        if (Name.size() > suffix.size() && Name.compare(Name.size() - suffix.size(), suffix.size(), suffix) == 0)
            Name.resize(Name.size() - suffix.size());
        return Name;
    }

    struct TRate {
        double Value = 0;
        std::string Unit;
    };

    TRate Rate(const std::string &name) const {
        if (const auto median = FMedians.find(name); median != FMedians.end()) return median->second;
        const auto it = FRates.find(name);
        return it != FRates.end() ? it->second : TRate{};
    }

    std::vector<std::pair<std::string, std::string>> FRows;
    std::map<std::string, TRate> FRates;
    std::map<std::string, TRate> FMedians;
};

} // namespace bench
