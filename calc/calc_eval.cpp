// TCalcExpress: the evaluation program compiled from the tree, and its run.

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "calc/calc_express.h"

namespace tarvex {

namespace {

// Halves go to the even neighbour, whatever the rounding mode in force.
long double RoundHalfEven(long double X) {
    const long double t = std::trunc(X);
    const long double rest = X - t;
    if (std::fabs(rest) != 0.5L) return std::round(X);
    return std::fmod(t, 2.0L) == 0 ? t : t + (X < 0 ? -1 : 1);
}

long double ApplyFunction(TCalcOp Op, long double X) {
    switch (Op) {
        case coNeg: return -X;
        case coCos: return std::cos(X);
        case coSin: return std::sin(X);
        case coTg: return std::tan(X);
        case coCtg: return 1.0L / std::tan(X);
        case coAbs: return std::fabs(X);
        case coSgn: return X > 0 ? 1.0L : (X < 0 ? -1.0L : 0.0L);
        case coSqrt: return std::sqrt(X);
        case coLn: return std::log(X);
        case coExp: return std::exp(X);
        case coArcsin: return std::asin(X);
        case coArccos: return std::acos(X);
        case coArctg: return std::atan(X);
        case coArcctg: return std::numbers::pi_v<long double> / 2 - std::atan(X);
        case coSh: return std::sinh(X);
        case coCh: return std::cosh(X);
        // The library's tanh stays finite where (e^x - e^-x) / (e^x + e^-x)
        // would divide infinity by infinity.
        case coTh: return std::tanh(X);
        case coCth: return 1.0L / std::tanh(X);
        case coHeaviside: return X < 0 ? 0.0L : 1.0L;
        case coCeil: return std::ceil(X);
        case coFrac: return X - std::trunc(X);
        case coInt: return std::trunc(X);
        case coRound: return RoundHalfEven(X);
        case coLog10: return std::log10(X);
        case coLog2: return std::log2(X);
        case coSqr: return X * X;
        case coFloor: return std::floor(X);
        default: return std::numeric_limits<long double>::quiet_NaN();
    }
}

// Functions whose infinite result means an argument at a pole, not overflow.
bool HasPole(TCalcOp Op) { return Op == coLn || Op == coLog10 || Op == coLog2 || Op == coCtg || Op == coCth; }

}  // namespace

void TCalcExpress::Compile() {
    FProgram.clear();
    FProgram.reserve(FNodes.size() + 8);
    struct TFrame {
        std::int32_t Node;
        std::uint8_t Stage;
    };
    std::vector<TFrame> todo;
    todo.push_back({FRoot, 0});
    std::size_t depth = 0, deepest = 0;
    auto emit = [&](TCalcOp Op, const TCalcNode& N) { FProgram.push_back({Op, N.Percent, N.Pos, N.Var, N.Value}); };
    while (!todo.empty()) {
        const std::int32_t at = todo.back().Node;
        const std::uint8_t stage = todo.back().Stage;
        const TCalcNode& n = FNodes[static_cast<std::size_t>(at)];
        if (n.Left < 0) {  // a number or a variable
            emit(n.Op, n);
            deepest = std::max(deepest, ++depth);
            todo.pop_back();
            continue;
        }
        if (n.Right < 0) {  // a function or the negation
            if (stage == 0) {
                todo.back().Stage = 1;
                todo.push_back({n.Left, 0});
            } else {
                emit(n.Op, n);
                todo.pop_back();
            }
            continue;
        }
        // A division evaluates and checks its divisor before its dividend.
        const bool divide = n.Op == coDiv;
        if (stage == 0) {
            todo.back().Stage = 1;
            todo.push_back({divide ? n.Right : n.Left, 0});
        } else if (stage == 1) {
            if (divide) emit(coCheckDivisor, n);
            todo.back().Stage = 2;
            todo.push_back({divide ? n.Left : n.Right, 0});
        } else {
            emit(n.Op, n);
            --depth;
            todo.pop_back();
        }
    }
    FStack.assign(deepest, 0.0L);
}

bool TCalcExpress::Fault(std::int32_t Code, std::int32_t Pos) noexcept {
    FErrorCode = Code;
    FErrorPos = Pos;
    return false;
}

bool TCalcExpress::Run(std::span<const long double> Values, long double& Result) noexcept {
    long double* const base = FStack.data();
    long double* sp = base;
    for (const TStep& s : FProgram) {
        long double r;
        switch (s.Op) {
            case coNumber: *sp++ = s.Value; continue;
            case coVariable: {
                if (s.Var < 0 || static_cast<std::size_t>(s.Var) >= Values.size()) return Fault(ceWrongVariable, s.Pos);
                const long double v = Values[static_cast<std::size_t>(s.Var)];
                if (!std::isfinite(v)) return Fault(ceWrongNumber, s.Pos);
                *sp++ = v;
                continue;
            }
            case coCheckDivisor:
                if (sp[-1] == 0) return Fault(ceDivideByZero, s.Pos);
                continue;
            case coPlus: {
                const long double b = *--sp, a = sp[-1];
                r = s.Percent ? a + a * b / 100 : a + b;
                break;
            }
            case coMinus: {
                const long double b = *--sp, a = sp[-1];
                r = s.Percent ? a - a * b / 100 : a - b;
                break;
            }
            case coMul: {
                const long double b = *--sp, a = sp[-1];
                r = s.Percent ? a * b / 100 : a * b;
                break;
            }
            case coDiv: {  // the dividend is on top, the divisor below it
                const long double a = *--sp, b = sp[-1];
                r = s.Percent ? a / (b / 100) : a / b;
                break;
            }
            case coPow: {
                const long double b = *--sp, a = sp[-1];
                r = std::pow(a, b);
                // 0 to a negative power is a pole; anything else infinite overflowed.
                if (!std::isfinite(r)) return Fault(std::isnan(r) || a == 0 ? ceSyntax : ceWrongNumber, s.Pos);
                break;
            }
            default: r = ApplyFunction(s.Op, sp[-1]); break;
        }
        // NaN is a domain error of the arithmetic (code 7); infinity is
        // overflow (code 1) unless the function has a pole there.
        if (!std::isfinite(r)) return Fault(std::isnan(r) || HasPole(s.Op) ? ceSyntax : ceWrongNumber, s.Pos);
        sp[-1] = r;
    }
    Result = base[0];
    return true;
}

bool TCalcExpress::TryEvaluate(std::span<const long double> Values, long double& Result) noexcept {
    Result = 0;
    if (FParseCode != ceNone) return Fault(FParseCode, FParsePos);
    FErrorCode = ceNone;
    FErrorPos = 0;
    if (Run(Values, Result)) return true;
    Result = 0;
    return false;
}

long double TCalcExpress::Evaluate(std::span<const long double> Values) {
    long double r = 0;
    if (!TryEvaluate(Values, r)) throw ECalcError(FErrorCode, FErrorPos);
    return r;
}

}  // namespace tarvex
