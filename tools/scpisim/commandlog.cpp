#include "commandlog.h"

namespace scpisim {

CommandLog::CommandLog(const std::string &path, const std::string &wirePath)
    : path_(path)
    , wirePath_(wirePath)
{
    if (!path.empty())
        file_ = std::fopen(path.c_str(), "a");
    if (!wirePath.empty())
        wire_ = std::fopen(wirePath.c_str(), "ab");
}

CommandLog::~CommandLog()
{
    if (file_)
        std::fclose(file_);
    if (wire_)
        std::fclose(wire_);
}

void CommandLog::write(const std::string &origin, const std::string &text)
{
    if (!file_)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    std::fprintf(file_, "%s %s\n", origin.c_str(), text.c_str());
    std::fflush(file_);
}

void CommandLog::writeWire(const std::string &bytes)
{
    if (!wire_)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(bytes.data(), 1, bytes.size(), wire_);
    std::fflush(wire_);
}

}  // namespace scpisim
