#include "views/ControlNames.h"

namespace views {

std::string_view ControlName(Control c) {
    switch (c) {
        case Control::WUPanel:
            return "WUPanel";
        case Control::DateLabel:
            return "DateLabel";
        case Control::SkyPosLabel:
            return "SkyPosLabel";
        case Control::TelescopeLabel:
            return "TelescopeLabel";
        case Control::BaseFreqLabel:
            return "BaseFreqLabel";
        case Control::UserPanel:
            return "UserPanel";
        case Control::UserNameLabel:
            return "UserNameLabel";
        case Control::EMailLabel:
            return "EMailLabel";
        case Control::CountryLabel:
            return "CountryLabel";
        case Control::RegisterLabel:
            return "RegisterLabel";
        case Control::ProgressPanel:
            return "ProgressPanel";
        case Control::PercentageLabel:
            return "PercentageLabel";
        case Control::ProgressBar:
            return "ProgressBar";
        case Control::CPUTimeLabel:
            return "CPUTimeLabel";
        case Control::LeftTimeCaption:
            return "LeftTimeCaption";
        case Control::LeftTimeLabel:
            return "LeftTimeLabel";
        case Control::TotalTimeCaption:
            return "TotalTimeCaption";
        case Control::TotalTimeLabel:
            return "TotalTimeLabel";
        case Control::CacheStateLabel:
            return "CacheStateLabel";
        case Control::TotalInfoPanel:
            return "TotalInfoPanel";
        case Control::TotalWULabel:
            return "TotalWULabel";
        case Control::AllTimeLabel:
            return "AllTimeLabel";
        case Control::AverageTimeLabel:
            return "AverageTimeLabel";
        case Control::RecordedWULabel:
            return "RecordedWULabel";
        case Control::Label14:
            return "Label14";
        case Control::Label15:
            return "Label15";
        case Control::Label17:
            return "Label17";
        case Control::Label18:
            return "Label18";
        case Control::BestPeakLabel:
            return "BestPeakLabel";
        case Control::BestGaussianLabel:
            return "BestGaussianLabel";
        case Control::BestTripletLabel:
            return "BestTripletLabel";
        case Control::BestPulseLabel:
            return "BestPulseLabel";
        case Control::Image:
            return "Image";
        case Control::GaugeN2:
            return "GaugeN2";
        case Control::GaugeN1:
            return "GaugeN1";
        case Control::GaugeP1:
            return "GaugeP1";
        case Control::GaugeP2:
            return "GaugeP2";
        case Control::Label1:
            return "Label1";
        case Control::Label2:
            return "Label2";
        case Control::Label3:
            return "Label3";
        case Control::Label4:
            return "Label4";
        case Control::Label5:
            return "Label5";
        case Control::Label6:
            return "Label6";
        case Control::AxisLabel1:
            return "AxisLabel1";
        case Control::AxisLabel2:
            return "AxisLabel2";
        case Control::AxisLabel3:
            return "AxisLabel3";
        case Control::AxisLabel4:
            return "AxisLabel4";
        case Control::NoSignalsLabel:
            return "NoSignalsLabel";
        case Control::ZoomBtn:
            return "ZoomBtn";
        case Control::SkyMapButton:
            return "SkyMapButton";
        case Control::SAHVerLabel:
            return "SAHVerLabel";
        case Control::WUComboBox:
            return "WUComboBox";
        case Control::WUCache1:
            return "WUCache1";
        case Control::ConnectMenu:
            return "ConnectMenu";
        case Control::Settings1:
            return "Settings1";
        case Control::ScaleMenu:
            return "ScaleMenu";
        case Control::mHalf:
            return "mHalf";
        case Control::MNormal:
            return "MNormal";
        case Control::mx2:
            return "mx2";
        case Control::mx4:
            return "mx4";
        case Control::mx8:
            return "mx8";
        case Control::mx16:
            return "mx16";
        case Control::Show2:
            return "Show2";
        case Control::ShowSpikesMenu:
            return "ShowSpikesMenu";
        case Control::ShowGaussiansMenu:
            return "ShowGaussiansMenu";
        case Control::ShowTripletsMenu:
            return "ShowTripletsMenu";
        case Control::ShowPulsesMenu:
            return "ShowPulsesMenu";
        case Control::Plot1:
            return "Plot1";
        case Control::LinesMenu:
            return "LinesMenu";
        case Control::DotsMenu:
            return "DotsMenu";
        case Control::Totals1:
            return "Totals1";
        case Control::MenuTotalAll:
            return "MenuTotalAll";
        case Control::MenuTotalBest:
            return "MenuTotalBest";
        case Control::MenuTotalLast:
            return "MenuTotalLast";
        case Control::MenuTotalIgnore:
            return "MenuTotalIgnore";
        case Control::Skyvanesite1:
            return "Skyvanesite1";
        case Control::SETIhomesite1:
            return "SETIhomesite1";
        case Control::About1:
            return "About1";
        case Control::Count:
            break;
    }
    return {};
}

std::optional<Control> ControlByName(std::string_view name) {
    for (int i = 0; i < static_cast<int>(Control::Count); ++i) {
        const auto c = static_cast<Control>(i);
        if (ControlName(c) == name) return c;
    }
    return std::nullopt;
}

}  // namespace views
