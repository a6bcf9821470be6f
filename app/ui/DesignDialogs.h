// The dialogs of the Design command: the eight parameter dialogs (FIR and IIR for each filter
// type), the adjustment choice dialog and the eight adjustment result dialogs. Each is a small
// class whose members are exchanged with the controls of its template in both directions.
#pragma once

#include "dsp/Cic.h"
#include "platform/Dialog.h"
#include "resources/DesignResources.h"

class COlvexDoc;

namespace design {

// ---- Dialogs
// ------------------------------------------------------------------------------------- A FIR
// parameter dialog or an adjustment result dialog: fs, the edges of the type, N, RR and the
// multiplier. The adjustment result dialogs keep every field but the adjusted ones read-only.
class CFirDesignDialog : public platform::Dialog {
public:
    CFirDesignDialog(int type, FirDialogKind kind);

    // Pre-fills from the document; the tap count field shows `shownTaps`.
    void Fill(const COlvexDoc& doc, int shownTaps);
    // Keeps the requirements mode and its Ap and As for the next opening (parameter dialogs).
    void Remember(COlvexDoc& doc) const;
    void DoDataExchange(platform::DataExchange& exchange) override;
    void DrawPicture(int controlId, platform::DrawContext& dc) override;
    // The requirements mode enables Ap and As and disables N and RR, which it replaces. The
    // method enables what it is designed with: beta for the Kaiser window (chosen by Kaiser's
    // formula in the requirements mode), RR for the other two. A kind designed on a band table
    // keeps fs, N and the multiplier and disables the rest, the requirements mode included. The
    // factor is enabled while a rate change is chosen.
    void OnInitDialog(platform::ControlAccess& controls) override;
    void OnClicked(int controlId, platform::ControlAccess& controls) override;

    double m_fs = 0.0;
    double m_fc1 = 0.0;
    double m_fc2 = 0.0;
    double m_fc3 = 0.0;
    double m_fc4 = 0.0;
    int m_nTaps = 0;
    double m_dRR = 0.0;
    int m_nCoeffMultiplier = 1;
    // Design from requirements (parameter dialogs only): on, Ap and As replace N and RR.
    int m_bFromRequirements = 0;
    double m_dApDb = 0.5;
    double m_dAsDb = 60.0;
    // Parameter dialogs only: the kind (a dsp::FirKind, the index of the kind radios), the method
    // (a dsp::FirMethod) and the Kaiser window's beta.
    int m_nFirKind = 0;
    int m_nFirMethod = 0;
    double m_dKaiserBeta = 8.6;
    // Parameter dialogs only: the rate (a COlvexDoc::RateKind, the index of the rate radios) and
    // the factor of a rate change, 2 to 64; single rate reads a well-formed factor in range and
    // otherwise keeps the one it had.
    int m_nRateKind = 0;
    int m_nRateFactor = 2;

    // What the accepted dialog designs with: a kind on a band table, and whether the entries of
    // RR and beta are in use (a disabled field's entry is neither checked nor taken).
    bool UsesBandTable() const { return m_nFirKind != 0; }
    bool UsesRR() const;
    bool UsesBeta() const;

private:
    void ShowMode(platform::ControlAccess& controls) const;
    void ExchangeRate(platform::DataExchange& exchange);

    int m_nType;
    FirDialogKind m_kind;
};

// The band table of a FIR kind that is designed on one (Hilbert transformer, differentiator,
// multiband): up to eight bands of two edges (Hz), a gain (a differentiator's slope) and a
// weight. Add band and Remove band change the count of rows in use; a row taken out of use
// keeps its entries, greyed, until it is added back. OK checks the rows in use against fs:
// numbers, edges ascending within 0..fs/2 without overlap, weights above 0; a failure keeps the
// dialog open with every entry and the focus on the cell to correct.
class CBandTableDialog : public platform::Dialog {
public:
    // `kind` a dsp::FirKind other than the filter type's layout.
    explicit CBandTableDialog(int kind);

    // The document's table when its design is of this kind (or, for a multiband filter, any
    // table it holds: the filter type's layout after a filter-type design), else one band of the
    // kind (0.05..0.45 fs for a Hilbert transformer, 0..0.45 fs for a differentiator). Edges in Hz
    // of the document's fs; `fs` is the one the table is checked against.
    void Fill(const COlvexDoc& doc, double fs);
    void DoDataExchange(platform::DataExchange& exchange) override;
    void OnInitDialog(platform::ControlAccess& controls) override;
    void OnButton(int controlId, platform::ControlAccess& controls) override;

    double m_fs = 1000.0;
    int m_nBands = 1;
    double m_aFrom[kBandTableRows] = {};
    double m_aTo[kBandTableRows] = {};
    double m_aGain[kBandTableRows] = {};
    double m_aWeight[kBandTableRows] = {};

private:
    void ShowRows(platform::ControlAccess& controls, int count) const;

    int m_nKind;
};

// An IIR parameter dialog: the method, n, the ripple, the method's As, the cut-off edge(s) and
// fs.
class CIirDesignDialog : public platform::Dialog {
public:
    explicit CIirDesignDialog(int type);

    void Fill(const COlvexDoc& doc);
    // Keeps the requirements mode and its As for the next opening.
    void Remember(COlvexDoc& doc) const;
    void DoDataExchange(platform::DataExchange& exchange) override;
    void DrawPicture(int controlId, platform::DrawContext& dc) override;
    // The method enables the fields it is designed with (the ripple for Chebyshev I and
    // elliptic, As for Chebyshev II and elliptic). The requirements mode enables Ap (the ripple
    // field), its As and the stop-band edges and disables the section count; Bessel has no
    // minimum order, so it turns the mode off.
    void OnInitDialog(platform::ControlAccess& controls) override;
    void OnClicked(int controlId, platform::ControlAccess& controls) override;

    int m_nIirMethod = 0;       // a dsp::IirMethod, the index of the method radios
    double m_dIirAttenDb = 0.0; // As of Chebyshev II and elliptic, dB
    int m_nIirSections = 0;
    double m_dRippleDb = 0.0;
    double m_dIirFc1 = 0.0;
    double m_dIirFc2 = 0.0;
    double m_fs = 0.0;
    // Design from requirements: on, the ripple is Ap, and As with the stop-band edge(s) choose n.
    int m_bFromRequirements = 0;
    double m_dAsDb = 40.0;
    double m_dStopFc1 = 0.0;
    double m_dStopFc2 = 0.0;

private:
    void ShowMode(platform::ControlAccess& controls) const;

    int m_nType;
};

// The CIC parameter dialog: decimator or interpolator, R, S, DL, D, the pass-band edge of the
// droop line and, for a decimator, pruned registers or pipelined adders. OK checks every entry
// (the filter's own range texts); a refusal keeps the dialog open with every entry as typed and
// the focus on the one to correct. With the droop compensator checked its tap count and edges are
// checked as well (the compensator's own range texts, which need the CIC's entries).
class CCicDesignDialog : public platform::Dialog {
public:
    CCicDesignDialog();

    void Fill(const COlvexDoc& doc);
    // The accepted entries into the document's CIC parameters.
    void Store(COlvexDoc& doc) const;
    void DoDataExchange(platform::DataExchange& exchange) override;
    // Pruning and pipelining are decimator options: disabled for an interpolator.
    void OnInitDialog(platform::ControlAccess& controls) override;
    void OnClicked(int controlId, platform::ControlAccess& controls) override;

    int m_nKind = 0; // 0 decimate, 1 interpolate
    int m_nRate = 8;
    int m_nStages = 4;
    int m_nDelay = 1;
    int m_nDataBits = 16;
    double m_dEdge = 0.25;
    int m_bPrune = 0;
    int m_bPipeline = 0;
    // The droop compensator: asked for, its tap count and its edges at the low rate.
    int m_bCompensate = 0;
    int m_nCompTaps = 31;
    double m_dCompPassEdge = 0.2;
    double m_dCompStopEdge = 0.3;

private:
    bool ReadCompensator(platform::DataExchange& exchange, const dsp::CicParams& cic);
    void ShowMode(platform::ControlAccess& controls) const;
};

// The adjustment choice: 0 Tap Count, 1 Band Edge. Only an OK button.
class CAdjustChoiceDialog : public platform::Dialog {
public:
    CAdjustChoiceDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;

    int m_nChoice = 0;
};

} // namespace design
