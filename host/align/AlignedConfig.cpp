// The alignment's lines written into the configuration.
#include "host/align/AlignedConfig.h"

#include "host/align/AlignSection.h"
#include "host/check/WriteTarget.h"
#include "host/files/StagedFile.h"
#include "host/input/ConfigEdit.h"
#include "host/input/ConfigFile.h"
#include "host/input/TextFile.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"

#include "platform/platform.h"

#include <ostream>
#include <system_error>

bool alignedConfigWritable(const std::string& configFile, std::ostream& err) {
    std::string problem =
        writeTargetProblem("--align --write", configFile, WrittenContent::configuration);
    int error = 0;
    // The new content goes to a new file in the configuration's folder.
    if (problem.empty() &&
        (!platform::writableFile(configFile, error) || !StagedFile::canOpen(configFile, error))) {
        problem =
            "cannot write " + configFile + " (" + std::generic_category().message(error) + ")";
    }
    if (!problem.empty()) {
        hostMessage(err) << problem << "; --align --write changes nothing" << std::endl;
        return false;
    }
    return true;
}

int writeAlignedConfig(const std::string& configFile, const std::string& section,
                       const std::vector<std::string>& lines, std::ostream& err) {
    std::string text;
    std::string problem;
    if (!readWholeFile(configFile, maxConfigFileSize, text, problem)) {
        hostMessage(err) << configFile << ": " << problem << std::endl;
        return exitConfiguration;
    }
    std::vector<WrittenLine> written;
    for (const std::string& line : lines) {
        const std::string keyword = line.substr(0, line.find(' '));
        written.push_back({static_cast<int>(alignedSetting(keyword)), line});
    }
    const LineKindOf kindOf = [](const std::string& keyword) {
        return static_cast<int>(alignedSetting(keyword));
    };
    std::string edited;
    std::vector<LineChange> changes;
    if (!editConfigSection(text, section, written, kindOf, edited, changes, problem)) {
        hostMessage(err) << "cannot write the lines into " << configFile << ": " << problem
                         << "; nothing is written" << std::endl;
        return exitConfiguration;
    }
    if (!writeWholeFile(configFile, edited, true, problem)) {
        hostMessage(err) << problem << "; " << configFile << " is as it was" << std::endl;
        return exitUsage;
    }
    for (const LineChange& change : changes) {
        err << configFile << ":" << change.line << ": " << change.text;
        err << (change.was.empty() ? std::string(" (added)")
                                   : " (was: " + shownText(change.was) + ")")
            << std::endl;
    }
    hostMessage(err) << "wrote [" << section << "] into " << configFile << "; its old content is "
                     << configFile << ".bak" << std::endl;
    return exitSuccess;
}
