// The device's own options' rows of the plug-in's option catalogue.
#include "DeviceOptionRows.h"

#include "support/OptionReader.h"

// A test build adds a spelling here, to show that one edit reaches every reader.
#ifndef TRACKER_TEST_PORT_SPELLING
#define TRACKER_TEST_PORT_SPELLING
#endif

namespace {

using namespace optionReason;
using Topic = OptionTopic;
using Values = OptionValues;

constexpr const char* port[] = {"port", "serialport" TRACKER_TEST_PORT_SPELLING};
constexpr const char* reset[] = {"reset"};
constexpr const char* reconnect[] = {"reconnect"};
constexpr const char* position[] = {"position"};

constexpr OptionRow rows[] = {
    {Topic::port,
     port,
     "SerialPort",
     "port",
     Values::integer,
     false,
     1,
     1,
     {},
     nullptr,
     "serial port number, 1 to 4"},
    {Topic::reset,
     reset,
     "Reset",
     "reset",
     Values::switchWord,
     false,
     1,
     1,
     {},
     nullptr,
     "yes/on or no/off: reset the sensor's orientation in configure"},
    {Topic::position, position, "Position", "position", Values::lengths, false, 3, 4,
     lengthUnitWords, invalidString, "x y z [unit]: fixed position put into every record"},
    {Topic::reconnect,
     reconnect,
     "Reconnect",
     "reconnect",
     Values::decimal,
     false,
     1,
     1,
     {},
     nullptr,
     "seconds of a lost stream before the sensor is woken again; 0: off"},
};

} // namespace

OptionList<OptionRow> deviceOptionRows() {
    return rows;
}
