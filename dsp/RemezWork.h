// Working storage of one Remez exchange run and the steps that work on it (private to dsp/:
// the rest of the program calls RemezDesign in dsp/FirDesign.h).
#pragma once

#include <vector>

namespace dsp {

struct RemezWork {
    static constexpr int kGridDensity = 16;   // dense-grid points per cosine term
    static constexpr int kMaxIterations = 40; // exchange iterations before giving up
    static constexpr int kMaxExtremals = 200; // capacity of the per-extremal arrays (r <= 199)
    // Converged when the largest weighted error anywhere on the grid and the smallest on the new
    // extremals agree to this fraction: the error is then level, at the optimum the grid allows.
    static constexpr double kLevelTolerance = 0.0001;

    // The layout of this run (the caller's arrays, valid for the whole run).
    int nTaps = 0;
    int nBands = 0;
    const double* pEdges = nullptr;   // 2 * nBands normalised edges, ascending
    const double* pDesired = nullptr; // nBands desired gains
    const double* pWeights = nullptr; // nBands weights

    // Antisymmetric taps (Hilbert transformer, differentiator): the taps come from
    // SampleAntisymmetricTaps (dsp/RemezKinds.cpp). These and multiband layouts run on the
    // stepped grid (BuildSteppedGrid).
    bool antisymmetric = false;
    bool differentiator = false; // weights fall as 1/f in the bands of a slope

    // Grid points per cosine term of this run: kGridDensity, or half of it for the first try of a
    // two-band-type design, whose refinement takes the set to the optimum of the bands anyway.
    int density = kGridDensity;
    // The level rule of this run (IsConverged): kLevelTolerance, or looser for a sketch, whose
    // set the refinement levels on the continuous axis anyway.
    double levelTolerance = kLevelTolerance;
    int r = 0;           // cosine terms; the extremal set has r + 1 members
    int nGrid = 0;       // G, points of the dense grid in use
    double deltaF = 0.0; // grid step, normalised frequency

    // Dense grid, G entries each: frequency (fraction of fs), desired value, weight, weighted
    // error E of the current iteration, and cos(2 pi f) of each grid frequency. Sized once per
    // design with room for the edge points below.
    std::vector<double> grid, desired, weight, error, gridCos;
    std::vector<int> candidates; // extremal search: candidate grid indices (capacity G)
    std::vector<int> reduced;    // extremal search: the candidates after the quick reduction

    // Per-extremal arrays, r + 1 entries valid: grid index, cos(2 pi f), barycentric weight,
    // interpolation value. Like the other per-extremal arrays below, they are written before they
    // are read (InitialExtremals, ComputeParameters) and not cleared with each new work area.
    int ext[kMaxExtremals];
    double x[kMaxExtremals];
    double ad[kMaxExtremals];
    double y[kMaxExtremals];
    // Frequency, desired value and weight of each extremal (as on the grid: with the factor of
    // the response). Grid values until the continuous refinement moves the extremals off it.
    double fext[kMaxExtremals];
    double dext[kMaxExtremals];
    double wext[kMaxExtremals];
    // Frequency samples A[0..N/2] of the final response.
    double a[kMaxExtremals];

    double delta = 0.0;        // signed deviation of the current extremal set (weighted)
    double maxError = 0.0;     // largest |E| over the whole grid in the current iteration
    double refinedError = 0.0; // largest |E| on the continuous axis once the refinement levelled
    bool refinedLevel = false; // the refinement levelled to the last digits (not only improved)
    bool tapsSampled = false;  // the refinement left the taps of its set (RefineExtremals)
    double tapError = 0.0;     // their largest weighted error on the grid
    bool searchFailed = false; // no alternating set of r + 1 extrema could be formed
    bool clipped = false;      // a barycentric product of this set was replaced by 1e-12
    // The extremal set whose response had the smallest largest error so far, and that error:
    // what a run that never levels falls back to.
    int bestExt[kMaxExtremals];
    double bestError = -1.0;

    // Grid points the upper band edges took the place of while they lie at least a step below
    // their band's last point: the response can overshoot in the wide gap before the edge, and
    // a design that does is repeated with these points added (AddEdgePoints).
    struct EdgePoint {
        int lastIndex = 0; // grid index of the band's last point; the point goes just before it
        double f = 0.0;
        double desired = 0.0; // as on the grid (even tap counts carry the cosine factor)
        double weight = 0.0;
    };
    std::vector<EdgePoint> edgePoints;

    // The first grid index of each band (bandFirst[b]) and, past the last band, w.nGrid: where
    // BuildDenseGrid put the bands' points.
    static constexpr int kMaxBands = 8;
    int bandFirst[kMaxBands + 1] = {};
};

// The two grid loops that dominate a design are built twice, for AVX2 and for any x86-64, and
// the loader picks one. Only GCC emits such clones under the plain symbol name; other compilers
// (clang for the fuzzers) build the one portable version.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define VANTREL_GRID_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VANTREL_GRID_CLONES
#endif

// ---- The dense grid (dsp/RemezGrid.cpp) --------------------------------------------------------
// Dense-grid size of the layout: 2 * r * density points per unit of normalised band width, per
// band.
int GridSize(int r, int nBands, const double* pEdges, int density = RemezWork::kGridDensity);
// Sizes the arrays for w.nGrid points (and the edge points that may join them later).
void SizeGridArrays(RemezWork& w);
// Fills the grid of the layout in w (w.nGrid points sized by GridSize); w.nGrid ends as the
// points filled. Even tap counts divide the desired values by cos(pi f) and weigh by it.
void BuildDenseGrid(RemezWork& w);
// The grid of half the density of `fine` (a grid of BuildDenseGrid), taken from its points: every
// other point of each band from the band's first, the last of them moved up to the band's last
// (its upper edge). Sets the
// layout, grid and step of w; kept[i] is the index in `fine` of w's point i. No cosine is
// computed again.
void SubsampleGrid(const RemezWork& fine, RemezWork& w, std::vector<int>& kept);
// r + 1 indices spread evenly over the whole grid, band gaps ignored.
void InitialExtremals(RemezWork& w);
// The largest weighted error of the current response at the skipped edge points, when it
// overshoots the level by more than the convergence rule allows; 0 when it does not.
double EdgeOvershoot(const RemezWork& w);
// Puts the skipped edge points into the grid and moves the extremal set along with the points it
// indexes.
void AddEdgePoints(RemezWork& w);

// ---- The stepped grid and antisymmetric taps (dsp/RemezKinds.cpp) -------------------------------
// The response of N antisymmetric taps is sin(2 pi f) Q(f) (odd N) or sin(pi f) Q(f) (even N),
// Q a sum of r = N/2 cosines: the exchange approximates D/s with weight W*s, s that factor.
// The stepped grid of a multiband layout or an antisymmetric design: points one step apart from
// each band's lower edge (antisymmetric: from one step when the first edge lies below it), the
// last point of a band on its upper edge; where the response is forced to 0 at half of fs, a
// last point above half of fs less a step is left out. Returns the count.
int SteppedGridSize(const RemezWork& w);
// Fills the grid of w (sized for SteppedGridSize points) with the points above, the desired
// values and weights of the kind, carrying the factor of the response (cos(pi f) for even
// symmetric N, s for antisymmetric taps).
void BuildSteppedGrid(RemezWork& w, bool differentiator);
// Desired value and weight at frequency f of band b, as the grid holds them (with the factor of
// the response).
void TargetAt(const RemezWork& w, double f, int band, double& desired, double& weight);
// The taps h[0..N-1] of the response through the current extremal set, by frequency sampling.
void SampleAntisymmetricTaps(const RemezWork& w, double* pCoeffs);
// The same taps from Q's cosines solved on the extremal values (for when the samples in wide
// transition bands carry rounding into the bands); false when the system is degenerate.
bool SolveAntisymmetricTaps(const RemezWork& w, double* pCoeffs);
// The largest weighted error of antisymmetric taps on the grid.
double AntisymmetricTapError(const RemezWork& w, const double* pCoeffs);

// ---- One exchange iteration and the frequency sampling (dsp/RemezSteps.cpp) --------------------
// Interpolation values and deviation delta of the extremal set. Returns false when a guard fired:
// an index outside the grid (reset to 0), a barycentric product below 1e-12 or not finite
// (extremals nearly coincide, or the level of the set is rounding), or a numerator of 0.
bool ComputeParameters(RemezWork& w);
// Interpolation values and deviation delta of the extremals as they stand in x, dext and wext
// (ComputeParameters fills them from the grid; the refinement from the continuous axis). Returns
// false when a guard fired, as ComputeParameters.
bool LevelExtremals(RemezWork& w);
// The response through the extremal set at frequency f (fraction of fs).
double InterpolateResponse(const RemezWork& w, double f);
// The weighted error E at every grid point.
void ComputeError(RemezWork& w);
// The multiple exchange: the next extremal set from the error curve (w.searchFailed when fewer
// than r + 1 alternating extrema exist; the set then stays). Keeps the best set so far.
void SearchExtremals(RemezWork& w);
// The exchange of the published one-at-a-time kind: each extremal moves within the interval
// between its neighbours, and the largest error anywhere joins the set. Keeps the best set.
void SearchExtremalsLocally(RemezWork& w);
// Remembers the extremal set in use when the response through it has the smallest largest error
// so far (w.maxError of this iteration): what a run that never levels falls back to.
void KeepBestExtremals(RemezWork& w);
// Level: the largest error anywhere and the smallest on the extremals agree to w.levelTolerance.
bool IsConverged(const RemezWork& w);
// Taps h[0..N-1] from the frequency samples w.a[0..N/2].
void FrequencySample(const RemezWork& w, double* pCoeffs);
// The taps h[0..N-1] of symmetric N through the current extremal set: the response sampled at
// f = i/N into w.a, then FrequencySample (one table of cosines serves both).
void SampleSymmetricTaps(RemezWork& w, double* pCoeffs);

// ---- The continuous refinement (dsp/RemezRefine.cpp) ------------------------------------------
// The multiple exchange's choice of the largest alternating set among k candidates q[0..k-1]
// whose errors are e[q[i]] (dsp/RemezSteps.cpp). Returns the count kept in q.
int KeepLargestAlternation(const std::vector<double>& e, int* q, int k, int wanted, double level);
// Local extrema of the weighted error on the grid, in grid order, into q; returns their count.
int CollectErrorExtrema(const RemezWork& w, int* q);
// Moves a levelled extremal set off the grid onto the extrema of the error on the continuous
// axis, and levels it there, until the set stops moving: the optimum the grid only approximates.
// Returns true when the set levelled on the continuous axis, or at least came nearer to it than
// the grid's set (w.refinedError then holds the largest error of its response there); otherwise
// the set is left as it was, and false.
//
// With pTaps (symmetric taps only, room for N of them), the set that levels is checked against
// the error curve of its own taps on the grid, sampled into pTaps: w.tapsSampled then says they
// are the taps of the refined set, and w.tapError their largest error on the grid.
bool RefineExtremals(RemezWork& w, double* pTaps = nullptr);

// ---- The taps checked against the grid (dsp/RemezTaps.cpp) ------------------------------------
// Largest weighted error of the taps h[0..N-1] over the dense grid, from the taps themselves.
double TapGridError(const RemezWork& w, const double* pCoeffs);
// The same, and the signed weighted error of the taps at every grid point into w.error: the
// error curve of the response the taps have.
double TapGridErrorCurve(RemezWork& w, const double* pCoeffs);
// Solves the cosine coefficients of the response from its values on the current extremal set
// (least squares, Householder QR) and writes them as taps. Returns false when the system is
// degenerate; the taps are then untouched.
bool SolveTapsOnExtremals(const RemezWork& w, double* pCoeffs);
// The least-squares solution c[0..r-1] of sum_k c_k cos((k + shift) theta_i) = y_i cos(shift
// theta_i) on the extremal set (theta = 2 pi f). Returns false when the system is degenerate.
bool SolveCosinesOnExtremals(const RemezWork& w, double shift, double* pCosines);

} // namespace dsp
