// Where a job's bytes go: stdout, a device as it is, or a temporary file renamed at the end,
// so that a failed job leaves no output file.
#pragma once
#include <string>

class JobOutput {
public:
    explicit JobOutput(const std::string& path);
    ~JobOutput() { Abandon(); }
    JobOutput(const JobOutput&) = delete;
    JobOutput& operator=(const JobOutput&) = delete;
    int Fd() const { return m_fd; }
    // Makes the output final: the temporary file takes the target's name. Throws
    // CommandError when it cannot.
    void Commit();
    // Drops a temporary file; a device or stdout keeps what was written.
    void Abandon();

private:
    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
};
