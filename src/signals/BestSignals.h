#pragma once
// The best signal of each kind, shown above the graph: from the lists for a
// finished or archived work unit and the totals, and while the client works
// also from the client's own best figures in its state file.

#include <cstddef>
#include <string>

#include "signals/SignalRecords.h"

namespace clientfiles {
class Reading;
class ClientReaders;
}  // namespace clientfiles
namespace views {
class MainView;
}

namespace signals {

struct BestValues {
    double BestPeak = 0;
    double BestGaussianScore = 0;
    double BestGaussianPower = 0;  // kept while no gaussian scores above 0
    double BestGaussianFit = 0;
    double BestTriplet = 0;
    double BestPulse = 0;
};

class BestSignals {
public:
    BestSignals(views::MainView& view, const SignalLists& lists, ShownMarkers& shown,
                clientfiles::ClientReaders& readers, char decimalSeparator)
        : view_(view),
          lists_(lists),
          shown_(shown),
          readers_(readers),
          decimalSeparator_(decimalSeparator) {}

    // The best values from the lists; with `updateLabels` also the four
    // labels (and the markers reset, so the next live reading rebuilds).
    void ComputeBestSignals(bool updateLabels);
    // The client's best figures from a loaded state text, read on from the
    // reading's cursor; `bytesLoaded` is the size of the loaded prefix.
    void UpdateLiveBests(clientfiles::Reading& reading, std::size_t bytesLoaded);
    // Two decimals (halves to even) in shortest form: 24.567 gives 24.57.
    std::string FormatBest(double value) const;

    const BestValues& Values() const { return best_; }

private:
    void ShowGaussian(double score, double power, double fit);

    views::MainView& view_;
    const SignalLists& lists_;
    ShownMarkers& shown_;
    clientfiles::ClientReaders& readers_;
    char decimalSeparator_;
    BestValues best_;
};

}  // namespace signals
