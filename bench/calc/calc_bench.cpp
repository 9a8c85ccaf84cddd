// The calculator benchmark.
//
//   tarvex-bench-calc [COUNT]
//
// Generates COUNT (default 100,000) arithmetic expressions of 20 to 200
// characters, the same on every machine, and parses and evaluates each of
// them through EvaluateText as the calculate command does (best of three
// runs); then parses one formula once and evaluates its tree a million times
// with changing variables. Prints TSV figures on standard output and
// readable lines on standard error (see bench_util.h).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/common/bench_util.h"
#include "calc/calc_express.h"
#include "calc/evaluate_text.h"
#include "platform/huge_page_heap.h"

namespace {

using namespace tarvex;
using namespace tarvex::bench;

class TRandom {
public:
    std::uint32_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return static_cast<std::uint32_t>(FState >> 11);
    }
    std::uint32_t Below(std::uint32_t N) { return Next() % N; }

private:
    std::uint64_t FState = 0x2545F4914F6CDD1Dull;
};

const char* const kFunctions[] = {"sin", "cos", "sqrt", "abs", "ln", "exp", "arctg", "th", "round", "sqr", "frac", "lg"};

std::string Expression(TRandom& R, int Depth);

std::string Number(TRandom& R) {
    switch (R.Below(4)) {
        case 0: return std::to_string(1 + R.Below(999));
        case 1: return std::to_string(R.Below(100)) + "." + std::to_string(R.Below(1000));
        case 2: return std::to_string(1 + R.Below(9)) + " " + std::to_string(100 + R.Below(900));  // thousands
        default: return std::to_string(1 + R.Below(9));
    }
}

std::string Factor(TRandom& R, int Depth) {
    std::string s;
    const std::uint32_t k = R.Below(10);
    if (k < 4 || Depth > 2) s = Number(R);
    else if (k < 7) s = std::string(1, "xyz"[R.Below(3)]);
    else {
        if (k >= 8) s = kFunctions[R.Below(std::size(kFunctions))];
        s += '(';
        s += Expression(R, Depth + 1);
        s += ')';
    }
    if (R.Below(8) == 0) s += "^2";
    return s;
}

std::string Term(TRandom& R, int Depth) {
    std::string s = Factor(R, Depth);
    for (std::uint32_t i = R.Below(3); i > 0; --i) {
        s += R.Below(2) ? "*" : "/";
        s += Factor(R, Depth);
    }
    return s;
}

std::string Expression(TRandom& R, int Depth) {
    std::string s = Term(R, Depth);
    for (std::uint32_t i = R.Below(4); i > 0; --i) {
        s += R.Below(2) ? " + " : " - ";
        s += Term(R, Depth);
        if (R.Below(20) == 0) s += "%";
    }
    return s;
}

// An expression of Min to Max characters, its variables defined after ":".
std::string Generate(TRandom& R, std::size_t Min, std::size_t Max) {
    static const std::string kDefinitions = " : x=1.5; y=2.25; z=0.75";
    for (;;) {
        std::string s = Expression(R, 0);
        while (s.size() + kDefinitions.size() < Min) s += " + " + Term(R, 1);
        const bool variables = s.find_first_of("xyz") != std::string::npos;
        if (variables) s += kDefinitions;
        if (s.size() >= Min && s.size() <= Max) return s;
    }
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    return RunGuarded("tarvex-bench-calc", [&] {
        TRandom r;
        std::vector<std::string> exprs;
        exprs.reserve(count);
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < count; ++i) {
            exprs.push_back(Generate(r, 20, 200));
            bytes += exprs.back().size();
        }
        char size[32];
        std::snprintf(size, sizeof size, "%.1f", static_cast<double>(bytes) / kMB);
        const Reporter rep(size, "tarvex", std::to_string(count) + " exprs", "");
        const TCalcLocale locale = CalcLocale(TCalcLanguage::English);

        // Parse and evaluate every expression, best of three.
        double best = 1e30;
        std::size_t errors = 0;
        for (int run = 0; run < 3; ++run) {
            errors = 0;
            const Stopwatch w;
            for (const std::string& e : exprs)
                if (!EvaluateText(e, locale).Ok()) ++errors;
            best = std::min(best, w.Seconds());
        }
        rep.Note("average " + std::to_string(bytes / std::max<std::size_t>(count, 1)) + " characters; " +
                 std::to_string(errors) + " evaluations ended in an error (a domain, a zero divisor, an overflow)");
        rep.Figure("calc_parse_eval_time", best, "s");
        rep.Figure("calc_parse_eval_rate", static_cast<double>(count) / best, "expr/s");
        rep.Figure("calc_parse_eval_target_ratio", 0.5 * static_cast<double>(count) / 100000 / best, "x");

        // One tree, a million evaluations with changing variables.
        TCalcExpress calc(locale);
        calc.SetVariables({"x", "y", "z"});
        calc.SetFormula("sin(x)*cos(y) + sqrt(abs(x*y - z)) / (1 + z^2) - ln(2 + x^2) * 3.5 + (x - y)*(y - z)*(z - x)"
                        " + exp(-abs(z)) + round(x*100)/100 - frac(y) + 10%");
        if (calc.Error()) throw std::runtime_error("the benchmark formula does not parse");
        const std::size_t nodes = calc.Nodes().size();
        const int iterations = 1000000;
        long double sum = 0;
        long double values[3];
        const Stopwatch w;
        for (int i = 0; i < iterations; ++i) {
            values[0] = i * 1e-6L;
            values[1] = 1 + (i % 1000) * 1e-3L;
            values[2] = -0.5L + (i % 7) * 0.25L;
            long double v = 0;
            if (calc.TryEvaluate(values, v)) sum += v;
        }
        const double seconds = w.Seconds();
        const double rate = static_cast<double>(nodes) * iterations / seconds;
        rep.Note("tree of " + std::to_string(nodes) + " nodes, " + std::to_string(iterations) + " evaluations in " +
                 std::to_string(seconds) + " s (sum " + std::to_string(static_cast<double>(sum)) + ")");
        rep.Figure("calc_eval_node_rate", rate / 1e6, "Mnodes/s");
        rep.Figure("calc_eval_target_ratio", rate / 1e7, "x");
        rep.Figure("calc_peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
        return 0;
    });
}
