// Where a command's output file goes. "-" is stdout. A regular file (new or existing) is
// written to a temporary file beside it, synced and renamed over it at Commit, keeping an
// existing file's mode and owner, so a failed or interrupted command leaves the old file whole;
// a symlink is followed and its target replaced the same way; a device, FIFO or socket is
// written directly, as it is. Temporary files are removed on SIGINT and SIGTERM too.
#pragma once
#include <cstdio>
#include <string>

class OutputFile {
public:
    // Opens the output; throws CommandError naming the file when it cannot.
    explicit OutputFile(const std::string& path);
    ~OutputFile();  // abandons an output that was not committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int Fd() const { return ::fileno(m_file); }
    FILE* Stream() const { return m_file; }
    const std::string& Path() const { return m_path; }
    // Makes the output final; throws CommandError naming the file when a write failed.
    void Commit();
    // Drops a temporary file; a device or stdout keeps what it got.
    void Abandon();

private:
    void Close();
    std::string m_path;    // as the user named it
    std::string m_target;  // the file the temporary file replaces (a symlink's target)
    std::string m_temp;    // empty when written directly
    FILE* m_file = nullptr;
    int m_slot = -1;       // entry in the list of temporary files removed on a signal
};

// Writes `bytes` whole through an OutputFile.
void WriteOutputFile(const std::string& path, const std::string& bytes);

// Writes stdout's buffered output; throws CommandError when stdout failed at any point.
void FlushStdoutOrThrow();

// Removes registered temporary files on SIGINT and SIGTERM, then dies of the signal.
void RemoveTempFilesOnSignals();
