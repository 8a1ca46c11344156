#include "commandlog.h"

namespace scpisim {

CommandLog::CommandLog(const std::string &path) : path_(path)
{
    if (!path.empty())
        file_ = std::fopen(path.c_str(), "a");
}

CommandLog::~CommandLog()
{
    if (file_)
        std::fclose(file_);
}

void CommandLog::write(const std::string &origin, const std::string &text)
{
    if (!file_)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    std::fprintf(file_, "%s %s\n", origin.c_str(), text.c_str());
    std::fflush(file_);
}

}  // namespace scpisim
