#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace scpisim {

// Appends one line per received command to a file, flushed at once so a test can read it
// while the simulator runs; and, to a second file, every received program message exactly as
// its bytes came (terminator included), so a client's commands can be compared byte for
// byte. Without a file name the log records nothing there.
class CommandLog
{
public:
    explicit CommandLog(const std::string &path, const std::string &wirePath = std::string());
    ~CommandLog();
    CommandLog(const CommandLog &) = delete;
    CommandLog &operator=(const CommandLog &) = delete;

    bool ok() const
    {
        return (path_.empty() || file_ != nullptr) && (wirePath_.empty() || wire_ != nullptr);
    }
    void write(const std::string &origin, const std::string &text);
    void writeWire(const std::string &bytes);

private:
    std::string path_;
    std::string wirePath_;
    std::FILE *file_ = nullptr;
    std::FILE *wire_ = nullptr;
    std::mutex mutex_;
};

}  // namespace scpisim
