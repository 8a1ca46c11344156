#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace scpisim {

// Appends one line per received command to a file, flushed at once so a test can read it
// while the simulator runs. Without a file name it records nothing.
class CommandLog {
public:
    explicit CommandLog(const std::string &path);
    ~CommandLog();
    CommandLog(const CommandLog &) = delete;
    CommandLog &operator=(const CommandLog &) = delete;

    bool ok() const { return path_.empty() || file_ != nullptr; }
    void write(const std::string &origin, const std::string &text);

private:
    std::string path_;
    std::FILE *file_ = nullptr;
    std::mutex mutex_;
};

}  // namespace scpisim
