#pragma once

#include "model/modeldisplayvalue.h"

#include <array>

namespace Model::Database::Information {

// Article number of the device. It steps through the four article numbers
// that exist rather than through every number between them.
class ArticleNumberValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Information::DeviceType>
{
public:
    ArticleNumberValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::ArticleNumber,
            Interfaces::ModelTypes::Information::DeviceType::StrandPlus_2_6A,
            Interfaces::ModelTypes::Information::DeviceType::Strand_2_6A,
            Interfaces::ModelTypes::Information::DeviceType::StrandPlus_6_6A, application, registry)
    {
    }

    using DeviceType = Interfaces::ModelTypes::Information::DeviceType;

    // The next smaller article number, the largest after the smallest.
    [[nodiscard]] DeviceType previous(const DeviceType& value) const override
    {
        for (auto it = Known.rbegin(); it != Known.rend(); ++it) {
            if (*it < value)
                return *it;
        }
        return Known.back();
    }
    // The next larger article number, the smallest after the largest.
    [[nodiscard]] DeviceType next(const DeviceType& value) const override
    {
        for (DeviceType known : Known) {
            if (known > value)
                return known;
        }
        return Known.front();
    }

private:
    static constexpr std::array<DeviceType, 4> Known = {DeviceType::Strand_2_6A,
        DeviceType::Strand_6_6A, DeviceType::StrandPlus_2_6A, DeviceType::StrandPlus_6_6A};
};

} // namespace Model::Database::Information
