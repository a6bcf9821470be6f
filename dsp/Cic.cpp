#include "dsp/Cic.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace dsp {

namespace {

// The registers are at most kCicMaxDataBits + 8 * 11 = 112 bits wide.
__extension__ typedef unsigned __int128 Word;
__extension__ typedef __int128 SignedWord;

Word Power(Word base, int exponent) {
    Word result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= base;
    }
    return result;
}

// The smallest g with 2^g >= value (value >= 1).
int CeilLog2(Word value) {
    int g = 0;
    while ((Word{1} << g) < value) {
        ++g;
    }
    return g;
}

// The sum of h: (R*DL)^S, below 2^88.
Word KernelSum(const CicParams& p) {
    return Power(static_cast<Word>(p.rate) * static_cast<Word>(p.delay), p.stages);
}

int Growth(const CicParams& p) {
    const Word sum = KernelSum(p);
    return CeilLog2(p.interpolate ? sum / static_cast<Word>(p.rate) : sum);
}

// Modulo 2^W arithmetic on unsigned words; the result read back as a signed W-bit value.
class Wrap {
public:
    explicit Wrap(int bits) : m_bits(bits), m_mask((Word{1} << bits) - 1) {}
    Word operator()(Word value) const { return value & m_mask; }
    SignedWord Signed(Word value) const {
        value &= m_mask;
        const Word sign = Word{1} << (m_bits - 1);
        return value >= sign ? static_cast<SignedWord>(value) - static_cast<SignedWord>(sign << 1)
                             : static_cast<SignedWord>(value);
    }

private:
    int m_bits;
    Word m_mask;
};

// floor(value / 2^shift) for a signed value.
std::int64_t FloorShift(SignedWord value, int shift) {
    const SignedWord divisor = static_cast<SignedWord>(Word{1} << shift);
    SignedWord q = value / divisor;
    if (value % divisor != 0 && value < 0) {
        --q;
    }
    return static_cast<std::int64_t>(q);
}

// S combs of delay DL on one sample: each keeps its last DL inputs.
class Combs {
public:
    Combs(int stages, int delay) : m_delay(delay), m_history(static_cast<size_t>(stages * delay)) {}
    Word Step(Word value, const Wrap& wrap) {
        const size_t d = static_cast<size_t>(m_delay);
        for (size_t s = 0; s * d < m_history.size(); ++s) {
            Word* line = &m_history[s * d];
            const Word out = wrap(value - line[d - 1]);
            for (size_t k = d - 1; k > 0; --k) {
                line[k] = line[k - 1];
            }
            line[0] = value;
            value = out;
        }
        return value;
    }

private:
    int m_delay;
    std::vector<Word> m_history;
};

// S integrators on one sample.
class Integrators {
public:
    explicit Integrators(int stages) : m_sums(static_cast<size_t>(stages)) {}
    Word Step(Word value, const Wrap& wrap) {
        for (Word& sum : m_sums) {
            sum = wrap(sum + value);
            value = sum;
        }
        return value;
    }

private:
    std::vector<Word> m_sums;
};

// Clears the `dropped` lowest bits: floor(value / 2^dropped) * 2^dropped modulo 2^W.
Word Keep(Word value, int dropped) {
    return value & ~((Word{1} << dropped) - 1);
}

// The impulse response from the input of stage j (1-based; integrators, then combs) of a
// decimator to its output, at the rate of that stage: (R*DL ones)^(S-j+1) * (1 - z^-(R*DL))^(j-1)
// for an integrator, (1 - z^-DL)^(2S+1-j) for a comb.
std::vector<SignedWord> StageResponse(const CicParams& p, int j) {
    std::vector<SignedWord> h = {1};
    auto times = [&h](size_t lag, int sign) { // h * (1 + sign z^-lag)
        std::vector<SignedWord> next(h.size() + lag, 0);
        for (size_t i = 0; i < h.size(); ++i) {
            next[i] += h[i];
            next[i + lag] += sign * h[i];
        }
        h = std::move(next);
    };
    const size_t box = static_cast<size_t>(p.rate * p.delay);
    if (j <= p.stages) {
        for (int k = 0; k < p.stages - j + 1; ++k) { // a moving sum of `box` terms
            std::vector<SignedWord> next(h.size() + box - 1, 0);
            SignedWord run = 0;
            for (size_t i = 0; i < next.size(); ++i) {
                run += i < h.size() ? h[i] : 0;
                run -= i >= box && i - box < h.size() ? h[i - box] : 0;
                next[i] = run;
            }
            h = std::move(next);
        }
        for (int k = 0; k < j - 1; ++k) {
            times(box, -1);
        }
    } else {
        for (int k = 0; k < 2 * p.stages + 1 - j; ++k) {
            times(static_cast<size_t>(p.delay), -1);
        }
    }
    return h;
}

} // namespace

CicPruning PruneCic(const CicParams& p) {
    CicPruning out;
    if (p.interpolate) {
        return out;
    }
    const int growth = Growth(p);
    out.registerBits = p.dataBits + growth + 1;
    const double stages = static_cast<double>(p.stages);
    Word bound = 0;
    for (int j = 1; j <= 2 * p.stages; ++j) {
        const std::vector<SignedWord> h = StageResponse(p, j);
        double squares = 0.0;
        Word absolute = 0;
        for (SignedWord v : h) {
            const double d = static_cast<double>(v);
            squares += d * d;
            absolute += static_cast<Word>(v < 0 ? -v : v);
        }
        const double b =
            std::floor(growth - 0.5 * std::log2(squares) - 0.5 - 0.5 * std::log2(stages));
        const int dropped =
            b > 0.0 ? static_cast<int>(std::min(b, static_cast<double>(growth))) : 0;
        out.dropped.push_back(dropped);
        bound += ((Word{1} << dropped) - 1) * absolute;
    }
    const Word unit = Word{1} << growth;
    out.errorBound = static_cast<std::int64_t>((bound + unit - 1) / unit);
    return out;
}

std::string CicRangeError(const CicParams& p) {
    auto range = [](const char* name, int low, int high) {
        return std::string(name) + " must be " + std::to_string(low) + " to " +
               std::to_string(high);
    };
    if (p.stages < kCicMinStages || p.stages > kCicMaxStages) {
        return range("the stage count", kCicMinStages, kCicMaxStages);
    }
    if (p.rate < kCicMinRate || p.rate > kCicMaxRate) {
        return range("the rate change", kCicMinRate, kCicMaxRate);
    }
    if (p.delay != 1 && p.delay != 2) {
        return "the differential delay must be 1 or 2";
    }
    if (p.dataBits < kCicMinDataBits || p.dataBits > kCicMaxDataBits) {
        return range("the data bit length", kCicMinDataBits, kCicMaxDataBits);
    }
    if (p.prune && p.interpolate) {
        return "register pruning applies to decimators only";
    }
    if (p.pipeline && (p.interpolate || p.prune)) {
        return "pipelined adders apply to decimators without pruning only";
    }
    return {};
}

CicStructure DescribeCic(const CicParams& p) {
    CicStructure s;
    s.growth = Growth(p);
    s.registerBits = p.dataBits + s.growth + (p.prune && !p.interpolate ? 1 : 0);
    s.kernelLength = p.stages * (p.rate * p.delay - 1) + 1;
    Word sum = KernelSum(p);
    if (p.interpolate) {
        sum /= static_cast<Word>(p.rate);
    }
    s.gain = std::ldexp(static_cast<double>(sum), -s.growth);
    return s;
}

std::vector<std::int64_t> RunCic(const CicParams& p, std::span<const std::int64_t> input) {
    if (!CicRangeError(p).empty()) {
        return {};
    }
    const std::int64_t high = (std::int64_t{1} << (p.dataBits - 1)) - 1;
    for (std::int64_t x : input) {
        if (x > high || x < -high - 1) {
            return {};
        }
    }
    const CicStructure s = DescribeCic(p);
    const Wrap wrap(s.registerBits);
    Integrators integrators(p.stages);
    Combs combs(p.stages, p.delay);
    std::vector<std::int64_t> out;
    const size_t rate = static_cast<size_t>(p.rate);
    if (p.interpolate) {
        out.reserve(input.size() * rate);
        for (std::int64_t x : input) {
            const Word combed = combs.Step(wrap(static_cast<Word>(x)), wrap);
            for (size_t phase = 0; phase < rate; ++phase) {
                const Word y = integrators.Step(phase == 0 ? combed : Word{0}, wrap);
                out.push_back(FloorShift(wrap.Signed(y), s.growth));
            }
        }
        return out;
    }
    out.reserve((input.size() + rate - 1) / rate);
    if (p.prune) {
        const CicPruning pruning = PruneCic(p);
        std::vector<Word> sums(static_cast<size_t>(p.stages), 0);
        const size_t d = static_cast<size_t>(p.delay);
        std::vector<Word> history(static_cast<size_t>(p.stages) * d, 0);
        const std::int64_t low = -high - 1;
        for (size_t n = 0; n < input.size(); ++n) {
            Word value = wrap(static_cast<Word>(input[n]));
            for (size_t j = 0; j < sums.size(); ++j) {
                sums[j] = wrap(sums[j] + Keep(value, pruning.dropped[j]));
                value = sums[j];
            }
            if (n % rate != 0) {
                continue;
            }
            for (size_t c = 0; c < sums.size(); ++c) {
                const Word kept = Keep(value, pruning.dropped[sums.size() + c]);
                Word* line = &history[c * d];
                value = wrap(kept - line[d - 1]);
                for (size_t k = d - 1; k > 0; --k) {
                    line[k] = line[k - 1];
                }
                line[0] = kept;
            }
            out.push_back(std::clamp(FloorShift(wrap.Signed(value), s.growth), low, high));
        }
        return out;
    }
    for (size_t n = 0; n < input.size(); ++n) {
        const Word y = integrators.Step(wrap(static_cast<Word>(input[n])), wrap);
        if (n % rate == 0) {
            out.push_back(FloorShift(wrap.Signed(combs.Step(y, wrap)), s.growth));
        }
    }
    return out;
}

std::vector<double> CicImpulseResponse(const CicParams& p) {
    const size_t box = static_cast<size_t>(p.rate) * static_cast<size_t>(p.delay);
    std::vector<double> h = {1.0};
    for (int s = 0; s < p.stages; ++s) { // a moving sum of `box` terms
        std::vector<double> next(h.size() + box - 1, 0.0);
        double run = 0.0;
        for (size_t i = 0; i < next.size(); ++i) {
            run += i < h.size() ? h[i] : 0.0;
            run -= i >= box && i - box < h.size() ? h[i - box] : 0.0;
            next[i] = run;
        }
        h = std::move(next);
    }
    const double scale = (p.interpolate ? static_cast<double>(p.rate) : 1.0) /
                         std::pow(static_cast<double>(box), p.stages);
    for (double& v : h) {
        v *= scale;
    }
    return h;
}

std::vector<double> CicStepResponse(const CicParams& p) {
    const std::vector<double> h = CicImpulseResponse(p);
    // A decimator's inputs come every high-rate sample, an interpolator's every R-th.
    const size_t step = p.interpolate ? static_cast<size_t>(p.rate) : 1;
    std::vector<double> y(h.size(), 0.0);
    for (size_t n = 0; n < y.size(); ++n) {
        y[n] = h[n] + (n >= step ? y[n - step] : 0.0);
    }
    return y;
}

double CicGroupDelay(const CicParams& p) {
    return 0.5 * static_cast<double>(p.stages) * (static_cast<double>(p.rate) * p.delay - 1.0);
}

double CicMagnitude(const CicParams& p, double frequency) {
    const double m = static_cast<double>(p.rate) * static_cast<double>(p.delay);
    const double x = std::numbers::pi * frequency;
    const double den = m * std::sin(x);
    const double ratio = std::abs(den) < 1e-300 ? 1.0 : std::sin(m * x) / den;
    return std::pow(std::abs(ratio), p.stages);
}

double CicMagnitudeDb(const CicParams& p, double frequency) {
    const double magnitude = CicMagnitude(p, frequency);
    return magnitude > 0.0 ? 20.0 * std::log10(magnitude)
                           : -std::numeric_limits<double>::infinity();
}

} // namespace dsp
