#pragma once
// A console reporter that, after the usual table, prints how the mean real time of one benchmark
// compares with that of another run in the same program ("subject / reference"), with the aim.
// Benchmarks are named by the start of their names ("BM_TavuHttp" matches "BM_TavuHttp/real_time").

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    TRatioReporter(std::string subject, std::string reference, double aim)
        : subject(std::move(subject)), reference(std::move(reference)), aim(aim)
    {
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / Unit(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double mine = Seconds(subject);
        const double theirs = Seconds(reference);
        if (mine <= 0 || theirs <= 0) {
            std::printf("ratio %s / %s: not measured\n", subject.c_str(), reference.c_str());
            return;
        }
        const double ratio = mine / theirs;
        std::printf("ratio %s / %s: %.2f (aim: at most %.2f) %s\n", subject.c_str(), reference.c_str(), ratio, aim,
                    ratio <= aim ? "ok" : "slower than the aim");
    }

private:
    std::string subject;
    std::string reference;
    double aim;
    std::map<std::string, double> seconds;   // mean real time of each run

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
