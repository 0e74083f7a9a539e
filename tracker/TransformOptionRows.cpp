// The transform options' rows of the plug-in's option catalogue.
#include "TransformOptionRows.h"

#include "support/CCalibH.h"
#include "support/OptionReader.h"

namespace {

using namespace optionReason;
using Topic = OptionTopic;
using Values = OptionValues;

constexpr const char* transmitterOffset[] = {"transmitteroffset"};
constexpr const char* transmitterRotation[] = {"transmitterrotation"};
constexpr const char* transmitterRotationMatrix[] = {"transmitterrotationmatrix"};
constexpr const char* sensorOffset[] = {"sensoroffset"};
constexpr const char* sensorTranslation[] = {"sensortranslation"};
constexpr const char* sensorRotation[] = {"sensorrotation"};
constexpr const char* sensorRotationMatrix[] = {"sensorrotationmatrix"};
constexpr const char* calibration[] = {"calibration", "calib"};
constexpr const char* order[] = {"trackerorder", "unitorder", "order"};
constexpr const char* caveCoordinates[] = {"cavecoord", "cavecoordinates"};

constexpr std::uint32_t anyCount = ~0u;

constexpr OptionRow rows[] = {
    {Topic::transmitterOffset, transmitterOffset, "TransmitterOffset", "transmitter offset",
     Values::lengths, false, 3, 4, lengthUnitWords, invalidString,
     "x y z [unit]: where the transmitter sits; 0 0 0 changes nothing"},
    {Topic::transmitterRotation,
     transmitterRotation,
     "TransmitterRotation",
     "transmitter rotation",
     Values::rotation,
     false,
     4,
     4,
     {},
     nullptr,
     "ax ay az angle: turn of the transmitter, about an axis, in degrees"},
    {Topic::transmitterRotationMatrix,
     transmitterRotationMatrix,
     "TransmitterRotationMatrix",
     "transmitter rotation",
     Values::matrix,
     false,
     9,
     9,
     {},
     nullptr,
     "nine values: the transmitter's turn, by columns"},
    {Topic::sensorOffset, sensorOffset, "SensorOffset", "sensor offset", Values::lengths, true, 4,
     5, lengthUnitWords, invalidUnit,
     "id x y z [unit]: offset turned with the sensor's orientation"},
    {Topic::sensorTranslation, sensorTranslation, "SensorTranslation", "sensor translation",
     Values::lengths, true, 4, 5, lengthUnitWords, invalidUnit,
     "id x y z [unit]: offset added in the output frame"},
    {Topic::sensorRotation,
     sensorRotation,
     "SensorRotation",
     "sensor rotation",
     Values::rotation,
     true,
     5,
     5,
     {},
     nullptr,
     "id ax ay az angle: the sensor's mounting turn"},
    {Topic::sensorRotationMatrix,
     sensorRotationMatrix,
     "SensorRotationMatrix",
     "sensor rotation",
     Values::matrix,
     true,
     10,
     10,
     {},
     nullptr,
     "id and nine values: the sensor's mounting turn"},
    {Topic::calibration,
     calibration,
     "Calibration",
     "calibration",
     Values::library,
     false,
     1,
     1 + CCalibH::maxArgs,
     {},
     nullptr,
     "library name and up to 10 arguments for it"},
    {Topic::order,
     order,
     "Order",
     nullptr,
     Values::trackerIds,
     false,
     0,
     anyCount,
     {},
     nullptr,
     "tracker IDs in output order; a device's single tracker cannot be reordered"},
    {Topic::caveCoordinates,
     caveCoordinates,
     "CAVECoord",
     "CAVE coordinates",
     Values::switchWord,
     false,
     1,
     1,
     {},
     nullptr,
     "yes/on or no/off: poses in CAVE coordinates"},
};

} // namespace

OptionList<OptionRow> transformOptionRows() {
    return rows;
}
