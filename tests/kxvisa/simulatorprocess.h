#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Runs scpisim as a child process for one test and stops it afterwards. The simulator
// writes its command log into a private temporary folder.
class SimulatorProcess
{
public:
    explicit SimulatorProcess(const std::vector<std::string> &extraArgs = {});
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    bool ready() const { return ready_; }
    int socketPort() const { return socketPort_; }
    int vxi11Port() const { return vxi11Port_; }
    std::string log() const;
    const std::string &folder() const { return folder_; }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
    int socketPort_ = -1;
    int vxi11Port_ = -1;
    std::string folder_;
};
