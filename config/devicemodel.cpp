#include "config/devicemodel.h"

#include <QCoreApplication>

namespace Application::R58 {

namespace {

using TripClass = DeviceModel::TripClass;

// The 2,6 A models take up to 2.6 A, the 6,6 A ones up to 6.6 A; the Strand models go up to
// trip class 20, the Strand Plus models up to 40E.
constexpr std::array<DeviceModel, 4> Models {{
    {51310, "VELOR®R58 Strand 2,6 A", ":/images/velor_r58_strand_", 2.6, TripClass::Class20,
        false},
    {51314, "VELOR®R58 Strand 6,6 A", ":/images/velor_r58_strand_", 6.6, TripClass::Class20,
        false},
    {51322, "VELOR®R58 Strand Plus 2,6 A", ":/images/velor_r58_strand+_", 2.6,
        TripClass::Class40E, true},
    {51326, "VELOR®R58 Strand Plus 6,6 A", ":/images/velor_r58_strand+_", 6.6,
        TripClass::Class40E, true},
}};

} // namespace

const std::array<DeviceModel, 4>& DeviceModel::all()
{
    return Models;
}

const DeviceModel* DeviceModel::find(quint32 articleNumber)
{
    for (const DeviceModel& model : Models) {
        if (model.articleNumber == articleNumber)
            return &model;
    }
    return nullptr;
}

QString DeviceModel::label() const
{
    return QStringLiteral("%1 %2").arg(articleNumber).arg(QString::fromUtf8(productName));
}

QString DeviceModel::mismatch(std::optional<quint32> fileArticleNumber, quint32 deviceArticleNumber)
{
    if (!fileArticleNumber || *fileArticleNumber == deviceArticleNumber)
        return {};
    return QCoreApplication::translate("DeviceModel",
        "The file was made for %1, this device is %2: its limits may differ.")
        .arg(*fileArticleNumber)
        .arg(deviceArticleNumber);
}

} // namespace Application::R58
