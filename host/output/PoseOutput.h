// Where trackhost's records go: a stream the caller owns, a file, or the original
// standard output. A file is written under a new name beside its target, which it
// takes once the run has started (commit()); every write is checked, and the first
// failure is kept with the system's reason.
#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "host/files/StagedFile.h"
#include "platform/platform.h"

class PoseOutput {
public:
    // Records to `stream`, which the caller owns and never closes here.
    explicit PoseOutput(std::ostream& stream);
    // Records to the file at `path`: open() starts a new file beside it, commit()
    // puts it in its place.
    explicit PoseOutput(const std::string& path);
    // Records to `original`, a stream on the process's original standard output;
    // closed by close().
    explicit PoseOutput(std::FILE* original);
    ~PoseOutput();

    PoseOutput(const PoseOutput&) = delete;
    PoseOutput& operator=(const PoseOutput&) = delete;

    // The file the records go to, whatever its name: the output file once it
    // exists, or what standard output writes to. False when there is none to tell.
    bool identity(platform::FileIdentity& identity) const;
    // The output file's path; empty for a stream or standard output.
    const std::string& filePath() const { return path; }

    // Opens the file (nothing to do for the other kinds); false when it cannot.
    bool open();
    // The run has started: the file takes its name, the old content gone (nothing to
    // do for the other kinds). False when it cannot; the old file stays then.
    bool commit();
    std::ostream& stream();
    // A write, open or close failed; closedPipe(): because the reader went away.
    bool failed() const;
    bool closedPipe() const;
    // Writes out what is buffered and closes the file or standard output; false
    // when that fails.
    bool close();
    // "cannot write NAME (reason)" for the first failure.
    std::string problem() const;
    // The file's path, or "standard output".
    const std::string& name() const { return outputName; }

private:
    // The records' bytes, written straight into the C stream, whose buffer and
    // flushes report the system's errors through errno.
    class FileBuffer : public std::streambuf {
    public:
        std::FILE* file = nullptr;
        int error = 0;
        bool closedPipe = false;

        // Keeps a failure: errno, or `fallback` when the runtime set none.
        void fail(int fallback);

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;
        int sync() override;

    private:
        bool put(const char* text, std::size_t count);
    };

    std::ostream* external = nullptr;
    std::string path;
    std::unique_ptr<StagedFile> staged;
    // The staged file's own account of a failure, which names the target.
    std::string stagedProblem;
    std::string outputName;
    FileBuffer buffer;
    std::ostream fileStream;
};
