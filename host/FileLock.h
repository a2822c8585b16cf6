// An exclusive advisory lock (flock) on a settings file for one read-modify-write, so that two
// commands changing the file at once do not lose each other's changes.
#pragma once
#include <string>

class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Waits for the lock on the file `path` names (through its symbolic links), creating an empty
    // file when there is none. The lock is on the file that the path names once held: a save
    // renames a new file over the old one, so a waiter that wakes on a replaced file locks again.
    // A device or FIFO is not locked. False with "PATH: what" when the file cannot be opened.
    bool Lock(const std::string& path, std::string* error);

private:
    int m_fd = -1;
};
