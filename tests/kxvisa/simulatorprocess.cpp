#include "simulatorprocess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

SimulatorProcess::SimulatorProcess(const std::vector<std::string> &extraArgs)
{
    char folder[] = "/tmp/kxvisa-test-XXXXXX";
    if (!::mkdtemp(folder))
        return;
    folder_ = folder;
    std::vector<std::string> args
            = {SCPISIM_PATH, "--log", folder_ + "/commands.log", "--require-vxi11"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    int out[2];
    if (::pipe(out) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // a crashed test must not leave it running
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    char c = 0;
    while (::poll(&p, 1, 20000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(out[0]);
    ready_ = std::sscanf(line.c_str(), "READY socket=%d vxi11=%d", &socketPort_, &vxi11Port_) == 2;
}

SimulatorProcess::~SimulatorProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (!folder_.empty()) {
        std::remove((folder_ + "/commands.log").c_str());
        ::rmdir(folder_.c_str());
    }
}

std::string SimulatorProcess::log() const
{
    std::ifstream in(folder_ + "/commands.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
