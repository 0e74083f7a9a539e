// A file written whole or not at all: its bytes go to a new file beside the target,
// which takes the target's name in one step when commit() says the file is wanted.
// Until then the target keeps what it held; a StagedFile that goes uncommitted
// takes its new file with it.
#pragma once

#include <cstdio>
#include <string>

class StagedFile {
public:
    // Nothing is touched before open().
    explicit StagedFile(std::string target);
    // Closes the stream; uncommitted, removes the new file as well.
    ~StagedFile();

    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Whether open() could make its new file, found out without making it: the
    // target's folder takes new files (or the target is a device). False with the
    // reason as an errno value in `error`.
    static bool canOpen(const std::string& target, int& error);

    // Creates the new file in the target's folder, under a name no other file has
    // ("TARGET.~N.new"), opened with `mode` ("w" for text, "wb"). A target that is a
    // device (/dev/null, NUL) or a pipe is opened as it is instead, and taking its
    // name is nothing then. False with the problem said.
    bool open(const char* mode, std::string& problem);
    // The stream the bytes go to; null before open() and after close().
    std::FILE* stream() const { return file; }
    // The file the bytes are in now: the new file, or the target once committed (the
    // file a link leads to), or a device.
    const std::string& path() const { return current; }
    const std::string& target() const { return targetName; }
    bool committed() const { return done; }

    // Puts what is written so far on the disk and renames the new file over the
    // target; the stream stays open for more, now into the target. With
    // `keepBackup`, the stream is closed first and the target's old content is kept
    // as TARGET.bak. False with the problem said; the target is untouched then.
    bool commit(std::string& problem, bool keepBackup = false);
    // Puts what is written on the disk and closes the stream; the file keeps the
    // name it has. False with the problem said.
    bool close(std::string& problem);

private:
    std::string problemText(int error) const;
    // The first name open() tries for the new file beside `destination`.
    static std::string firstName(const std::string& destination);

    std::string targetName;
    // The file the target's name stands for, which takes the new file's place: the
    // file a symbolic link leads to, the link kept.
    std::string destination;
    std::string current;
    std::FILE* file = nullptr;
    bool staged = false; // the bytes go to a new file of our own
    bool done = false;
};

// `text` written whole as `target` through a StagedFile, its old content kept as
// TARGET.bak with `keepBackup`. False with the problem said; the target is untouched.
bool writeWholeFile(const std::string& target, const std::string& text, bool keepBackup,
                    std::string& problem);
