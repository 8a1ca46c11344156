#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kxvisa::vxi11 {

constexpr uint32_t kPortmapperProgram = 100000;
constexpr uint32_t kPortmapperVersion = 2;
constexpr uint32_t kPortmapperGetPort = 3;
constexpr uint32_t kIpProtoTcp = 6;
constexpr uint32_t kIpProtoUdp = 17;

constexpr uint32_t kCoreProgram = 0x0607AF;
constexpr uint32_t kAbortProgram = 0x0607B0;
constexpr uint32_t kCoreVersion = 1;

enum Procedure : uint32_t {
    DeviceAbort = 1,
    CreateLink = 10,
    DeviceWrite = 11,
    DeviceRead = 12,
    DeviceReadStb = 13,
    DeviceTrigger = 14,
    DeviceClear = 15,
    DeviceRemote = 16,
    DeviceLocal = 17,
    DeviceLock = 18,
    DeviceUnlock = 19,
    DeviceEnableSrq = 20,
    DeviceDoCmd = 22,
    DestroyLink = 23,
    CreateIntrChan = 25,
    DestroyIntrChan = 26,
};

enum Flags : uint32_t { FlagWaitLock = 1, FlagEnd = 8, FlagTermCharSet = 128 };
enum Reason : uint32_t { ReasonRequestCount = 1, ReasonTermChar = 2, ReasonEnd = 4 };
enum Error : int32_t {
    NoError = 0,
    SyntaxError = 1,
    DeviceNotAccessible = 3,
    InvalidLinkId = 4,
    ParameterError = 5,
    OperationNotSupported = 8,
    OutOfResources = 9,
    DeviceLocked = 11,
    IoTimeout = 15,
    IoError = 17,
    InvalidAddress = 21,
    Abort = 23,
};

struct CreateLinkReply
{
    int32_t error = 0;
    int32_t link = 0;
    uint32_t abortPort = 0;
    uint32_t maxReceiveSize = 0;
};

struct WriteReply
{
    int32_t error = 0;
    uint32_t size = 0;
};

struct ReadReply
{
    int32_t error = 0;
    uint32_t reason = 0;
    const uint8_t *data = nullptr;  // points into the decoded message
    uint32_t size = 0;
};

struct ReadParams
{
    int32_t link = 0;
    uint32_t requestSize = 0;
    uint32_t ioTimeout = 0;
    uint32_t lockTimeout = 0;
    uint32_t flags = 0;
    uint8_t termChar = 0;
};

std::vector<uint8_t> encodeGetPort(uint32_t program, uint32_t version, uint32_t protocol);
std::vector<uint8_t> encodeCreateLink(int32_t clientId, bool lockDevice, uint32_t lockTimeout,
                                      const std::string &device);
std::vector<uint8_t> encodeWrite(int32_t link, uint32_t ioTimeout, uint32_t lockTimeout,
                                 uint32_t flags, const uint8_t *data, size_t size);
std::vector<uint8_t> encodeRead(const ReadParams &p);
std::vector<uint8_t> encodeGeneric(int32_t link, uint32_t flags, uint32_t lockTimeout,
                                   uint32_t ioTimeout);
std::vector<uint8_t> encodeLink(int32_t link);

// Each decoder accepts exactly one well-formed result body and rejects anything shorter;
// ReadReply data larger than maxData is rejected too.
bool decodeGetPort(const uint8_t *body, size_t size, uint32_t &port);
bool decodeCreateLink(const uint8_t *body, size_t size, CreateLinkReply &out);
bool decodeWrite(const uint8_t *body, size_t size, WriteReply &out);
bool decodeRead(const uint8_t *body, size_t size, uint32_t maxData, ReadReply &out);
bool decodeError(const uint8_t *body, size_t size, int32_t &error);

}  // namespace kxvisa::vxi11
