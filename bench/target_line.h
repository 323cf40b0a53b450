#pragma once
// One line per measured target, in a form scripts/bench.sh collects into its table:
//   TARGET <id> | <what is measured> | <figure> | <baseline> | <ratio or value> | <target> | ok|MISSED
// `figure` and `baseline` are free text (with units); `value` is what the target compares against
// `limit`: at most (`AtMost`) or at least (`AtLeast`). A benchmark prints one such line for each
// target it measures, after its own table.
#include <cstdio>
#include <string>

enum class TargetSense { AtMost, AtLeast };

inline bool printTarget(const std::string& id, const std::string& what, const std::string& figure,
                        const std::string& baseline, double value, TargetSense sense, double limit,
                        const std::string& unit = "×")
{
    const bool ok = sense == TargetSense::AtMost ? value <= limit : value >= limit;
    std::printf("TARGET %s | %s | %s | %s | %.2f%s | %s %.2f%s | %s\n", id.c_str(), what.c_str(), figure.c_str(),
                baseline.c_str(), value, unit.c_str(), sense == TargetSense::AtMost ? "≤" : "≥", limit, unit.c_str(),
                ok ? "ok" : "MISSED");
    std::fflush(stdout);
    return ok;
}
