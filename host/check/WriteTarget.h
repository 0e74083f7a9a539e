// Whether trackhost may write a file at all, whatever else the run reads or writes:
// asked of every file it writes (--output, --record, a configuration written), before
// anything is touched. A name Windows keeps for a device is no file, and a program,
// a library or a configuration already there is never written over by records.
#pragma once

#include <string>

// What the file written will hold.
enum class WrittenContent {
    records,      // records or a recording: never in place of a configuration
    configuration // a configuration, which may take the place of one
};

// Why the name `path`, given to `role` ("--record"), names no file to write: it is
// empty, or a name Windows keeps for a device ("--record CON is a device's name on
// Windows (...), not a file's"). Told by the name alone, before anything is opened,
// which a serial port would notice. Empty when it names a file.
std::string fileNameProblem(const std::string& role, const std::string& path);
// Why the file at `path` must not be written: fileNameProblem, or a program or a
// library already there ("... is a program or a library (PE); ..."), or, for
// records, a configuration already there. Empty when it may be written.
std::string writeTargetProblem(const std::string& role, const std::string& path,
                               WrittenContent content = WrittenContent::records);
