// STAND-IN until the files branch's staged writing is merged, in its shape: a file
// trackhost writes goes to a new file beside its target, is flushed to disk, and
// then takes the target's name in one step, so that a failure leaves the target
// whole or untouched.
#pragma once

#include <string>

class StagedFile {
public:
    // Stages the content of `target`; nothing is written before commit.
    explicit StagedFile(std::string target);
    ~StagedFile();

    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Whether the target could be written, before anything is: its folder takes new
    // files. False with `problem`, "cannot write FILE (reason)".
    bool writable(std::string& problem) const;
    // Writes `content` under the new name, flushes it to disk and renames it over the
    // target; with `backup`, the target's old content is kept as TARGET.bak first.
    // False with `problem`, the target untouched and the new file gone.
    bool commit(const std::string& content, bool backup, std::string& problem);

private:
    std::string target;
    std::string staged; // the new name beside the target
};
