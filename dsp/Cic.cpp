#include "dsp/Cic.h"

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

} // namespace

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
    return {};
}

CicStructure DescribeCic(const CicParams& p) {
    CicStructure s;
    s.growth = Growth(p);
    s.registerBits = p.dataBits + s.growth;
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
    for (size_t n = 0; n < input.size(); ++n) {
        const Word y = integrators.Step(wrap(static_cast<Word>(input[n])), wrap);
        if (n % rate == 0) {
            out.push_back(FloorShift(wrap.Signed(combs.Step(y, wrap)), s.growth));
        }
    }
    return out;
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
