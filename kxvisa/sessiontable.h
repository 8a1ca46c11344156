#pragma once

#include "session.h"
#include "visa.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace kxvisa {

// Every open handle of the process: resource-manager sessions and the instrument sessions
// opened from each. Lookups hand out shared ownership, so a session closed by one thread
// stays valid for a call that another thread has already started on it.
class SessionTable
{
public:
    static SessionTable &instance();

    ViSession openResourceManager();
    bool isResourceManager(ViSession rm) const;
    ViSession add(ViSession rm, std::shared_ptr<Session> session);
    std::shared_ptr<Session> find(ViSession vi) const;
    // Closes a session, or a resource manager together with every session opened from it.
    ViStatus close(ViSession vi);

private:
    ViSession nextHandle();
    static void closeSession(const std::shared_ptr<Session> &session);

    mutable std::mutex mutex_;
    ViSession lastHandle_ = 0x00A50000u;
    std::map<ViSession, std::set<ViSession>> managers_;
    std::map<ViSession, std::shared_ptr<Session>> sessions_;
    std::map<ViSession, ViSession> owners_;
};

}  // namespace kxvisa
