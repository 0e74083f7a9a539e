// The output formats by their names on the command line.
#include "host/output/OutputFormat.h"

bool parseOutputFormat(const std::string& name, OutputFormat& format) {
    if (name == "table") {
        format = OutputFormat::table;
    } else if (name == "csv") {
        format = OutputFormat::csv;
    } else if (name == "json") {
        format = OutputFormat::json;
    } else {
        return false;
    }
    return true;
}
