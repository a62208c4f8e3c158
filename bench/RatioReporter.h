#pragma once
// A console reporter that, after the usual table, prints how the real time of one benchmark (the
// median of its repetitions when it has some) compares with that of another run in the same
// program ("subject / reference"), with the aim, for one pair or several. Benchmarks are named by
// the start of their names ("BM_TavuHttp" matches "BM_TavuHttp/real_time"; "BM_Get/2/" matches
// "BM_Get/2/manual_time" but not "BM_Get/20/...").

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    struct Pair {
        std::string subject;
        std::string reference;
        double aim = 0;   // this pair's own aim; 0: the reporter's
    };

    TRatioReporter(std::string subject, std::string reference, double aim)
        : pairs{{std::move(subject), std::move(reference)}}, aim(aim)
    {
    }
    TRatioReporter(std::vector<Pair> pairs, double aim) : pairs(std::move(pairs)), aim(aim) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        // The median of repetitions when there are some (one slow repetition on a busy machine
        // does not move it), else the one run.
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians.count(run.run_name.str())))
                seconds[run.run_name.str()] = run.GetAdjustedRealTime() / Unit(run.time_unit);
            if (median)
                medians.insert(run.run_name.str());
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Pair &pair : pairs)
            PrintRatio(pair);
    }

private:
    std::vector<Pair> pairs;
    double aim;

    void PrintRatio(const Pair &pair) const
    {
        const double mine = Seconds(pair.subject);
        const double theirs = Seconds(pair.reference);
        if (mine <= 0 || theirs <= 0) {
            std::printf("ratio %s / %s: not measured\n", pair.subject.c_str(), pair.reference.c_str());
            return;
        }
        const double ratio = mine / theirs;
        const double wanted = pair.aim > 0 ? pair.aim : aim;
        std::printf("ratio %s / %s: %.2f (aim: at most %.2f) %s\n", pair.subject.c_str(), pair.reference.c_str(),
                    ratio, wanted, ratio <= wanted ? "ok" : "slower than the aim");
    }
    std::map<std::string, double> seconds;   // real time of each run
    std::set<std::string> medians;           // the runs whose time is the median of repetitions

    static double Unit(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond: return 1e9;
        case benchmark::kMicrosecond: return 1e6;
        case benchmark::kMillisecond: return 1e3;
        default: return 1;
        }
    }

    double Seconds(const std::string &prefix) const
    {
        for (const auto &[name, value] : seconds) {
            if (name.rfind(prefix, 0) == 0)
                return value;
        }
        return 0;
    }
};

// Runs the benchmarks the command line names (all by default) with the reporter, after taking the
// library's flags out of argc and argv; 1 for an argument it does not know.
inline int RunBenchmarks(int &argc, char **argv, TRatioReporter &reporter)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
