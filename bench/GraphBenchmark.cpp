// Every redraw walks all signals of all lists; the totals over years of
// results hold a great many of them.

#include <benchmark/benchmark.h>

#include <random>

#include "signals/Graph.h"
#include "support/RecordingView.h"

namespace {

// 100,000 signals spread over the four kinds and the drift range.
signals::SignalLists ManySignals() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> chirp(-10, 10), height(0, 1);
    signals::SignalLists lists;
    for (int i = 0; i < 25000; ++i) {
        lists.SpikeList.push_back({20 + 40 * height(random), 16384, chirp(random), 0, 0, 0});
        signals::TGaussianRec g;
        g.Score = height(random);
        g.ChirpRate = chirp(random);
        lists.GaussianList.push_back(g);
        lists.TripletList.push_back({20 * height(random), 1, 1, 8, chirp(random), 0, 0, 0});
        signals::TPulseRec p;
        p.Score = 2 * height(random);
        p.ChirpRate = chirp(random);
        lists.PulseList.push_back(p);
    }
    return lists;
}

void DrawSignals(benchmark::State& state) {
    testsupport::RecordingView view;
    const signals::SignalLists lists = ManySignals();
    signals::GraphMenus menus(view);
    menus.CheckPlot(state.range(0) != 0);
    signals::Graph graph(view, signals::GraphGeometry{}, lists, menus, '.');
    graph.DrawGraphFrame();
    for (auto _ : state) {
        graph.ClearGraph();
        graph.DrawSignals(true);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    state.SetLabel(state.range(0) != 0 ? "dots" : "lines");
}
BENCHMARK(DrawSignals)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
