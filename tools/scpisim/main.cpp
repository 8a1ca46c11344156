// scpisim: a simulated SCPI instrument on loopback, reachable as a raw SCPI socket and as a
// VXI-11 instrument. Prints one "READY ..." line on stdout when it accepts connections and
// runs until SIGINT or SIGTERM.
#include "commandlog.h"
#include "instrument.h"
#include "socketserver.h"
#include "vxi11server.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace scpisim;

namespace {

struct Options
{
    std::string address = "127.0.0.1";
    int socketPort = 5025;
    bool vxi11 = true;
    bool requireVxi11 = false;
    Vxi11Config vxi;
    InstrumentConfig instrument;
    std::string logPath;
    std::string wirePath;
};

void usage()
{
    std::puts("usage: scpisim [options]\n"
              "  --address ADDR        listening address (default 127.0.0.1; ::1 for IPv6)\n"
              "  --socket-port N       raw SCPI socket port (default 5025, 0 picks a free port, -1 "
              "disables)\n"
              "  --no-vxi11            no VXI-11 server\n"
              "  --require-vxi11       fail when the VXI-11 ports cannot be opened (default: warn, "
              "go on)\n"
              "  --portmapper-port N   portmapper port (default 111; VXI-11 clients expect 111)\n"
              "  --vxi11-port N        VXI-11 core channel port (default 0: any free port)\n"
              "  --max-recv N          largest device_write the instrument accepts (default 1024)\n"
              "  --read-chunk N        most bytes one device_read returns (default 1048576)\n"
              "  --idn TEXT            *IDN? reply\n"
              "  --options TEXT        *OPT? reply, e.g. Q31,Q53 (default 0)\n"
              "  --points N            I/Q pairs in the TRAC:IQ:DATA? block (default 1000)\n"
              "  --ramp                block bytes 0,1,..,255,0,.. instead of the float32 tone\n"
              "  --delay MS            hold every reply back for MS milliseconds\n"
              "  --chunk N[,MS]        send replies in pieces of N bytes, MS apart\n"
              "  --log FILE            append every received command to FILE\n"
              "  --wire-log FILE       append every received message to FILE exactly as it came\n"
              "  --nsel TEXT           INST:NSEL? reply until INST:NSEL is sent (default 1)\n"
              "  --iq-layout MODE      TRAC:IQ:DATA? as PAIRS, SPLIT (all I, then all Q) or AUTO\n"
              "                        (PAIRS after TRAC:IQ:DATA:FORM IQP, else SPLIT; the default)\n"
              "  --recorder-samples N  samples of each handheld-receiver recording (default 1000)\n"
              "  --recorder-push       the newest recording follows the MMEM:CAT? reply unasked\n"
              "  --recorder-push-delay MS  ... MS milliseconds after the catalogue\n"
              "  --skew N              block headers announce N bytes more than are sent\n"
              "  --block-drop N        the first reply with a block closes the connection after N "
              "bytes\n"
              "  --block-delay MS      replies with a block come MS milliseconds late\n"
              "Fault and block settings can also be changed at run time with SIM:... commands\n"
              "(see docs/kxvisa.md).");
}

bool parse(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--address")
            o.address = value();
        else if (a == "--socket-port")
            o.socketPort = std::atoi(value().c_str());
        else if (a == "--no-vxi11")
            o.vxi11 = false;
        else if (a == "--require-vxi11")
            o.requireVxi11 = true;
        else if (a == "--portmapper-port")
            o.vxi.portmapperPort = uint16_t(std::atoi(value().c_str()));
        else if (a == "--vxi11-port")
            o.vxi.corePort = uint16_t(std::atoi(value().c_str()));
        else if (a == "--max-recv")
            o.vxi.maxReceiveSize = uint32_t(std::strtoul(value().c_str(), nullptr, 10));
        else if (a == "--read-chunk")
            o.vxi.maxReadChunk = uint32_t(std::strtoul(value().c_str(), nullptr, 10));
        else if (a == "--idn")
            o.instrument.idn = value();
        else if (a == "--options")
            o.instrument.options = value();
        else if (a == "--points")
            o.instrument.blockPoints = std::strtoull(value().c_str(), nullptr, 10);
        else if (a == "--ramp")
            o.instrument.blockContent = BlockContent::Ramp;
        else if (a == "--delay")
            o.instrument.delayMs = std::atoi(value().c_str());
        else if (a == "--chunk") {
            const std::string v = value();
            o.instrument.chunkSize = size_t(std::strtoul(v.c_str(), nullptr, 10));
            const size_t comma = v.find(',');
            if (comma != std::string::npos)
                o.instrument.chunkPauseMs = std::atoi(v.c_str() + comma + 1);
        } else if (a == "--log")
            o.logPath = value();
        else if (a == "--wire-log")
            o.wirePath = value();
        else if (a == "--nsel")
            o.instrument.nselReply = value();
        else if (a == "--iq-layout") {
            const std::string v = value();
            if (v == "PAIRS" || v == "pairs")
                o.instrument.iqLayout = IqLayout::Pairs;
            else if (v == "SPLIT" || v == "split")
                o.instrument.iqLayout = IqLayout::Split;
            else if (v == "AUTO" || v == "auto")
                o.instrument.iqLayout = IqLayout::Auto;
            else
                return false;
        } else if (a == "--recorder-push")
            o.instrument.recorderPush = true;
        else if (a == "--recorder-push-delay")
            o.instrument.recorderPushDelayMs = std::atoi(value().c_str());
        else if (a == "--recorder-samples")
            o.instrument.recorderSamples = std::strtoull(value().c_str(), nullptr, 10);
        else if (a == "--skew")
            o.instrument.blockSkew = std::strtoll(value().c_str(), nullptr, 10);
        else if (a == "--block-drop")
            o.instrument.blockDropAfter = std::strtoll(value().c_str(), nullptr, 10);
        else if (a == "--block-delay")
            o.instrument.blockDelayMs = std::atoi(value().c_str());
        else
            return false;
    }
    return o.vxi.maxReceiveSize >= 16 && o.vxi.maxReadChunk >= 1
           && o.instrument.blockPoints <= 124999999;
}

}  // namespace

int main(int argc, char **argv)
{
    Options o;
    // Asked for, the usage is an answer, not a complaint.
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            usage();
            return 0;
        }
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    o.vxi.address = o.address;
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);  // every server thread inherits the mask
    std::signal(SIGPIPE, SIG_IGN);

    CommandLog log(o.logPath, o.wirePath);
    if (!log.ok()) {
        std::fprintf(stderr, "scpisim: cannot open log %s %s: %s\n", o.logPath.c_str(),
                     o.wirePath.c_str(), std::strerror(errno));
        return 1;
    }
    Instrument instrument(o.instrument, log);
    SocketServer socketServer(instrument);
    Vxi11Server vxi11Server(instrument, o.vxi);
    uint16_t socketPort = 0;
    if (o.socketPort >= 0 && !socketServer.start(o.address, uint16_t(o.socketPort), socketPort)) {
        std::fprintf(stderr, "scpisim: cannot listen on %s port %d: %s\n", o.address.c_str(),
                     o.socketPort, std::strerror(errno));
        return 1;
    }
    bool vxi11 = o.vxi11 && vxi11Server.start();
    if (o.vxi11 && !vxi11) {
        std::fprintf(stderr,
                     "scpisim: VXI-11 disabled, cannot open the portmapper port %u: %s\n"
                     "  (port 111 needs privileges; try: unshare -rn sh -c 'ip link set lo up; "
                     "scpisim')\n",
                     unsigned(o.vxi.portmapperPort), std::strerror(errno));
        if (o.requireVxi11)
            return 1;
    }
    std::printf("READY socket=%d vxi11=%d portmapper=%d\n",
                o.socketPort >= 0 ? int(socketPort) : -1, vxi11 ? int(vxi11Server.corePort()) : -1,
                vxi11 ? int(vxi11Server.portmapperPort()) : -1);
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    std::_Exit(0);
}
