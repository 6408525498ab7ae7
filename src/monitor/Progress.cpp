#include "monitor/Progress.h"

#include "clientfiles/Format.h"

namespace monitor {

std::string PercentageText(double fraction, char decimalSeparator) {
    const double hundredths = clientfiles::RoundHalfEven(fraction * 10000);
    return clientfiles::ShortestForm(hundredths / 100, decimalSeparator) + "%";
}

}  // namespace monitor
