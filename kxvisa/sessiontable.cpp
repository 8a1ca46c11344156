#include "sessiontable.h"

#include <vector>

namespace kxvisa {

SessionTable &SessionTable::instance()
{
    static SessionTable table;
    return table;
}

ViSession SessionTable::nextHandle()
{
    do {
        ++lastHandle_;
    } while (lastHandle_ == VI_NULL || managers_.count(lastHandle_)
             || sessions_.count(lastHandle_));
    return lastHandle_;
}

ViSession SessionTable::openResourceManager()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const ViSession rm = nextHandle();
    managers_[rm];
    return rm;
}

bool SessionTable::isResourceManager(ViSession rm) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return managers_.count(rm) != 0;
}

ViSession SessionTable::add(ViSession rm, std::shared_ptr<Session> session)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto owner = managers_.find(rm);
    if (owner == managers_.end())
        return VI_NULL;
    const ViSession vi = nextHandle();
    owner->second.insert(vi);
    sessions_[vi] = std::move(session);
    owners_[vi] = rm;
    return vi;
}

std::shared_ptr<Session> SessionTable::find(ViSession vi) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = sessions_.find(vi);
    return it == sessions_.end() ? nullptr : it->second;
}

void SessionTable::closeSession(const std::shared_ptr<Session> &session)
{
    // A call still running in another thread is woken instead of waited for.
    std::unique_lock<std::mutex> io(session->ioMutex(), std::try_to_lock);
    if (io.owns_lock())
        session->close();
    session->interrupt();
}

ViStatus SessionTable::close(ViSession vi)
{
    std::vector<std::shared_ptr<Session>> closing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto rm = managers_.find(vi);
        if (rm != managers_.end()) {
            for (ViSession child : rm->second) {
                closing.push_back(sessions_[child]);
                sessions_.erase(child);
                owners_.erase(child);
            }
            managers_.erase(rm);
        } else {
            const auto it = sessions_.find(vi);
            if (it == sessions_.end())
                return VI_ERROR_INV_OBJECT;
            closing.push_back(it->second);
            managers_[owners_[vi]].erase(vi);
            owners_.erase(vi);
            sessions_.erase(it);
        }
    }
    for (const auto &s : closing)
        closeSession(s);
    return VI_SUCCESS;
}

}  // namespace kxvisa
