// The filter document: construction with the defaults of a fresh start.
#include "app/OlvexDoc.h"

#include <algorithm>
#include <cstdio>
#include <utility>

COlvexDoc::COlvexDoc()
    : m_fnConsole([](const std::string& text) {
          std::fputs(text.c_str(), stdout);
          std::fflush(stdout);
      }) {}

void COlvexDoc::WriteConsole(const std::string& text) const {
    if (m_fnConsole) {
        m_fnConsole(text);
    }
}

void COlvexDoc::ShowStructure(int structure) {
    if (structure == kCicStructure) {
        return;
    }
    const int shown = structure == 0 ? 0 : 1;
    if (shown == m_nShownStructure) {
        return;
    }
    if (m_aStructureMade[shown] != 0) {
        std::swap(m_nFilterType, m_nOtherFilterType);
        std::swap(m_fs, m_dOtherFs);
        std::swap(m_bBandsKnown, m_bOtherBandsKnown);
    } else {
        m_nOtherFilterType = m_nFilterType;
        m_dOtherFs = m_fs;
        m_bOtherBandsKnown = m_bBandsKnown;
    }
    m_nShownStructure = shown;
}

bool COlvexDoc::ShowsPairOf(int structure) const {
    const int asked = structure == 0 ? 0 : 1;
    return asked == m_nShownStructure || m_aStructureMade[asked] == 0;
}

int COlvexDoc::FilterTypeOf(int structure) const {
    return ShowsPairOf(structure) ? m_nFilterType : m_nOtherFilterType;
}

double COlvexDoc::FsOf(int structure) const {
    return ShowsPairOf(structure) ? m_fs : m_dOtherFs;
}

bool COlvexDoc::BandsKnownOf(int structure) const {
    return (ShowsPairOf(structure) ? m_bBandsKnown : m_bOtherBandsKnown) != 0;
}

std::string COlvexDoc::DesignCicCompensator() {
    m_nCicCompDesigned = 0;
    m_dCicCompRipple = 0.0;
    m_dCicCompPassRippleDb = 0.0;
    m_dCicCompStopAttenDb = 0.0;
    if (m_bCicCompensate == 0) {
        return {};
    }
    const dsp::CicCompensator c = dsp::DesignCicCompensator(CicParams(), CicCompensatorParams());
    if (!c.error.empty()) {
        return c.error;
    }
    if (c.taps.empty() || c.taps.size() > static_cast<size_t>(kMaxCicCompTaps)) {
        return "the compensator's Remez design failed";
    }
    std::copy(c.taps.begin(), c.taps.end(), m_aCicCompCoeffs);
    m_nCicCompDesigned = static_cast<int>(c.taps.size());
    m_dCicCompRipple = c.ripple;
    m_dCicCompPassRippleDb = c.cascadeRippleDb;
    m_dCicCompStopAttenDb = c.stopAttenuationDb;
    return {};
}

dsp::FilterCoefficients COlvexDoc::TakeCicCompensatorCoefficients() const {
    const std::span<const double> taps = CicCompensatorTaps();
    return dsp::FirCoefficients(taps, m_nCicCompDesigned, m_nCicCompDesigned, 1, m_bQuantize == 1,
                                m_nQuantBits);
}
