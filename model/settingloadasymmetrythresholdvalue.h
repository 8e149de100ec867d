#pragma once

#include "model/modeldisplayvalue.h"

#include <algorithm>
#include <cmath>

namespace Model::Database::Setting {

// Load asymmetry limit; the screens narrow its maximum to the nominal current.
class LoadAsymmetryThresholdValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    LoadAsymmetryThresholdValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::LoadAsymmetryThreshold, 0.01f, 0.01f, 1.0f,
            application, registry)
    {
    }

    // Shown with one decimal, so it steps by 0.1 like the currents. Its minimum
    // 0.01 is off that grid: a step that would leave the range lands on the end
    // it passes, and only a step from an end wraps, which keeps every step in
    // range and undoable.
    [[nodiscard]] float previous(const float& value) const override
    {
        if (!(value < getMaximum()))
            return getMinimum();
        return within(std::round(value * 10.0f + 1.0f) / 10.0f);
    }
    [[nodiscard]] float next(const float& value) const override
    {
        if (!(value > getMinimum()))
            return getMaximum();
        return within(std::round(value * 10.0f - 1.0f) / 10.0f);
    }

private:
    [[nodiscard]] float within(float value) const
    {
        return std::min(std::max(value, getMinimum()), getMaximum());
    }
};

} // namespace Model::Database::Setting
