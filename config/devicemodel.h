#pragma once

#include "model/modeltypes.h"

#include <QString>

#include <array>
#include <optional>

namespace Application::R58 {

// A device model as the tool knows it without a device: its article number, its name and the
// limits its settings have there, so that a settings file can be prepared and checked at a desk.
// A connected device reports its own limits; these are what the four models report.
struct DeviceModel
{
    using TripClass = Model::Interfaces::ModelTypes::Settings::TripClass;

    quint32 articleNumber = 0;
    const char* productName = ""; // fixed by the product, never translated
    const char* pictureStem = ""; // the pictures of the device's states start so
    double maxNominalCurrent = 0.0; // amperes
    TripClass maxTripClass = TripClass::Class2E;
    // Only the "Plus" models have the load asymmetry protection.
    bool loadAsymmetry = false;

    // The models the tool knows, by article number.
    [[nodiscard]] static const std::array<DeviceModel, 4>& all();
    // Null for an article number the tool does not know.
    [[nodiscard]] static const DeviceModel* find(quint32 articleNumber);
    // "51322 VELOR®R58 Strand Plus 2,6 A".
    [[nodiscard]] QString label() const;
    // A sentence for the user when a file made for one model goes to a device of another; empty
    // when the file names no model or the same one.
    [[nodiscard]] static QString mismatch(
        std::optional<quint32> fileArticleNumber, quint32 deviceArticleNumber);
};

} // namespace Application::R58
