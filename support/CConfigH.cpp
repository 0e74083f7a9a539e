// Option-line helpers: keyword matching, integer conversion, the unknown-option check.
#include "CConfigH.h"

#include "CLoggerH.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

void toLowerCase(char* text) {
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
}

int compareNoCase(const char* a, const char* b) {
    // Byte-wise comparison of the lower-cased texts; the same order as comparing
    // lower-cased copies, without making them.
    for (;; ++a, ++b) {
        const int left = std::tolower(static_cast<unsigned char>(*a));
        const int right = std::tolower(static_cast<unsigned char>(*b));
        if (left != right) {
            return static_cast<unsigned char>(left) < static_cast<unsigned char>(right) ? -1 : 1;
        }
        if (left == '\0') {
            return 0;
        }
    }
}

std::int32_t toInteger(const char* text) {
    return static_cast<std::int32_t>(std::strtol(text, nullptr, 0));
}

bool checkUnknownOptions(const CConfigH* config, const CLoggerH* logger,
                         std::vector<OptionProblem>* collected) {
    bool result = true;
    for (std::uint32_t i = 0; i < config->lineCount; ++i) {
        const ConfigLine& line = config->lines[i];
        if (line.used != 0) {
            continue;
        }
        if (collected != nullptr) {
            collected->push_back({line.lineNumber, std::string("Unknown option \"") +
                                                       line.optionName + "\" found at line " +
                                                       std::to_string(line.lineNumber) + '.'});
        } else {
            logger->error("CConfigH: Unknown option \"")
                << line.optionName << "\" found at line " << line.lineNumber << '.';
        }
        result = false;
    }
    return result;
}
