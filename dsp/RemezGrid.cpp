// The dense grid of a Remez design: its size, its points, the first extremal set, and the points
// before band edges that a design adds when its response overshoots there.
//
// Even tap counts: the response of an even-length symmetric filter carries the factor cos(pi f),
// so the approximation runs on D(f)/cos(pi f) with weight W(f)*cos(pi f). cos(pi f) vanishes at
// f = 0.5, so a grid point at 0.5 is moved one grid step down.
#include "dsp/RemezWork.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dsp {

int GridSize(int r, int nBands, const double* pEdges, int density) {
    int g = 0;
    for (int b = 0; b < nBands; ++b) {
        const int k =
            static_cast<int>(2.0 * r * density * (pEdges[2 * b + 1] - pEdges[2 * b]) + 0.5);
        g += k > 0 ? k : 0;
    }
    return g;
}

void SizeGridArrays(RemezWork& w) {
    // Each band can add one edge point later; the room for them is taken now, so that adding
    // them moves the points within the arrays.
    const size_t room = static_cast<size_t>(w.nGrid + w.nBands);
    for (std::vector<double>* v : {&w.grid, &w.desired, &w.weight, &w.error, &w.gridCos}) {
        v->reserve(room);
        v->assign(w.nGrid, 0.0);
    }
    for (std::vector<int>* v : {&w.candidates, &w.reduced}) {
        v->reserve(room);
        v->assign(w.nGrid, -1);
    }
    w.edgePoints.reserve(w.nBands);
}

void BuildDenseGrid(RemezWork& w) {
    w.deltaF = 0.5 / (w.density * w.r);
    int j = 0;
    w.edgePoints.clear();
    for (int b = 0; b < w.nBands; ++b) {
        double low = w.pEdges[2 * b];
        const double high = w.pEdges[2 * b + 1];
        const int k = static_cast<int>((high - low) / w.deltaF + 0.5);
        const int first = j;
        w.bandFirst[b] = j;
        for (int i = 0; i < k && j < w.nGrid; ++i) {
            w.grid[j] = low;
            w.desired[j] = w.pDesired[b];
            w.weight[j] = w.pWeights[b];
            low += w.deltaF;
            ++j;
        }
        if (j > first) {
            w.edgePoints.push_back({j - 1, w.grid[j - 1], w.pDesired[b], w.pWeights[b]});
            w.grid[j - 1] = high; // the band's last point lies exactly on its upper edge
        }
    }
    // The two ways of counting a band's points can differ by rounding; keep only what was filled.
    w.nGrid = j;
    w.bandFirst[w.nBands] = j;

    if (w.nTaps % 2 == 0 && w.nGrid > 0) {
        if (w.grid[w.nGrid - 1] >= 0.5) {
            w.grid[w.nGrid - 1] = 0.5 - w.deltaF;
        }
        for (int i = 0; i < w.nGrid; ++i) {
            const double c = std::cos(std::numbers::pi * w.grid[i]);
            w.desired[i] /= c;
            w.weight[i] *= c;
        }
    }
    for (int i = 0; i < w.nGrid; ++i) {
        w.gridCos[i] = std::cos(2.0 * std::numbers::pi * w.grid[i]);
    }
    // Only a point that leaves a gap of more than a step to its edge is worth adding (less, and
    // the band's points are already no farther apart than a step).
    size_t kept = 0;
    for (RemezWork::EdgePoint p : w.edgePoints) {
        if (p.lastIndex >= w.nGrid || w.grid[p.lastIndex] - p.f < 0.999 * w.deltaF ||
            (p.lastIndex > 0 && p.f - w.grid[p.lastIndex - 1] < 0.999 * w.deltaF)) {
            continue;
        }
        if (w.nTaps % 2 == 0) {
            const double c = std::cos(std::numbers::pi * p.f);
            p.desired /= c;
            p.weight *= c;
        }
        w.edgePoints[kept++] = p;
    }
    w.edgePoints.resize(kept);
}

void SubsampleGrid(const RemezWork& fine, RemezWork& w, std::vector<int>& kept) {
    w.nTaps = fine.nTaps;
    w.nBands = fine.nBands;
    w.pEdges = fine.pEdges;
    w.pDesired = fine.pDesired;
    w.pWeights = fine.pWeights;
    w.antisymmetric = fine.antisymmetric;
    w.differentiator = fine.differentiator;
    w.r = fine.r;
    w.density = fine.density / 2;
    w.deltaF = 2.0 * fine.deltaF;
    kept.clear();
    kept.reserve(static_cast<size_t>(fine.nGrid / 2 + fine.nBands + 1));
    for (int b = 0; b < fine.nBands; ++b) {
        const int first = fine.bandFirst[b];
        const int last = fine.bandFirst[b + 1] - 1;
        for (int j = first; j <= last; j += 2) {
            kept.push_back(j);
        }
        if (last > first && (last - first) % 2 != 0) {
            // A band of two points keeps both.
            if (kept.back() == first) {
                kept.push_back(last);
            } else {
                kept.back() = last;
            }
        }
    }
    w.nGrid = static_cast<int>(kept.size());
    SizeGridArrays(w);
    for (int i = 0; i < w.nGrid; ++i) {
        const int j = kept[static_cast<size_t>(i)];
        w.grid[i] = fine.grid[j];
        w.desired[i] = fine.desired[j];
        w.weight[i] = fine.weight[j];
        w.gridCos[i] = fine.gridCos[j];
    }
    w.edgePoints.clear();
}

void InitialExtremals(RemezWork& w) {
    for (int i = 0; i <= w.r; ++i) {
        w.ext[i] = static_cast<int>((static_cast<long long>(i) * (w.nGrid - 1)) / w.r);
    }
}

double EdgeOvershoot(const RemezWork& w) {
    double level = std::fabs(w.error[w.ext[0]]);
    for (int i = 1; i <= w.r; ++i) {
        level = std::min(level, std::fabs(w.error[w.ext[i]]));
    }
    double largest = 0.0;
    for (const RemezWork::EdgePoint& p : w.edgePoints) {
        const double e = std::fabs(p.weight * (p.desired - InterpolateResponse(w, p.f)));
        if (e > w.maxError && (e - level) / e >= RemezWork::kLevelTolerance) {
            largest = std::max(largest, e);
        }
    }
    return largest;
}

void AddEdgePoints(RemezWork& w) {
    const int added = static_cast<int>(w.edgePoints.size());
    const int old = w.nGrid;
    const int g = old + added;
    for (std::vector<double>* v : {&w.grid, &w.desired, &w.weight, &w.gridCos, &w.error}) {
        v->resize(g);
    }
    w.candidates.resize(g);
    // From the top down: every point moves up by the edge points that go before it, and an edge
    // point goes just before its band's last point.
    int next = added - 1;
    int j = g - 1;
    for (int i = old - 1; i >= 0; --i) {
        w.grid[j] = w.grid[i];
        w.desired[j] = w.desired[i];
        w.weight[j] = w.weight[i];
        w.gridCos[j] = w.gridCos[i];
        --j;
        if (next >= 0 && w.edgePoints[next].lastIndex == i) {
            const RemezWork::EdgePoint& p = w.edgePoints[next--];
            w.grid[j] = p.f;
            w.desired[j] = p.desired;
            w.weight[j] = p.weight;
            w.gridCos[j] = std::cos(2.0 * std::numbers::pi * p.f);
            --j;
        }
    }
    for (int i = 0; i <= w.r; ++i) {
        int before = 0; // edge points now below the extremal's point
        while (before < added && w.edgePoints[before].lastIndex <= w.ext[i]) {
            ++before;
        }
        w.ext[i] += before;
    }
    w.nGrid = g;
    w.edgePoints.clear();
    w.bestError = -1.0;
    w.searchFailed = false;
}

} // namespace dsp
