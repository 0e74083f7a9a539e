// The formats trackhost writes its records in.
#pragma once

#include <string>

enum class OutputFormat { table, csv, json };

// The name of a format on the command line ("table", "csv", "json"); false for others.
bool parseOutputFormat(const std::string& name, OutputFormat& format);
