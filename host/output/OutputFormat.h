// The formats trackhost writes its records in.
#pragma once

#include <string>

enum class OutputFormat { table, csv, json };

// Where the pose rows go and in which format.
struct OutputSettings {
    std::string file; // --output; empty: standard output
    OutputFormat format = OutputFormat::table;
};

// The name of a format on the command line ("table", "csv", "json"); false for others.
bool parseOutputFormat(const std::string& name, OutputFormat& format);
