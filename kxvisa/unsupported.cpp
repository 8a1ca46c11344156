// The VISA functions a LAN-only message-based library has no use for (events, locking,
// register access, buffered and formatted I/O, GPIB/VXI/USB specifics). They exist so that
// callers that bind the whole interface load, and they answer VI_ERROR_NSUP_OPER.
#include "visa.h"

#define KX_NSUP return VI_ERROR_NSUP_OPER

// One line per function of the standard interface: kept as laid out by hand.
// clang-format off
extern "C" {

ViStatus viFindRsrc(ViSession, ViConstString, ViPFindList, ViPUInt32, ViChar[]) { KX_NSUP; }
ViStatus viFindNext(ViFindList, ViChar[]) { KX_NSUP; }
ViStatus viTerminate(ViObject, ViUInt16, ViJobId) { KX_NSUP; }
ViStatus viLock(ViSession, ViAccessMode, ViUInt32, ViConstKeyId, ViChar[]) { KX_NSUP; }
ViStatus viUnlock(ViSession) { KX_NSUP; }

ViStatus viEnableEvent(ViSession, ViEventType, ViUInt16, ViEventFilter) { KX_NSUP; }
ViStatus viDisableEvent(ViSession, ViEventType, ViUInt16) { KX_NSUP; }
ViStatus viDiscardEvents(ViSession, ViEventType, ViUInt16) { KX_NSUP; }
ViStatus viWaitOnEvent(ViSession, ViEventType, ViUInt32, ViPEventType, ViPEvent) { KX_NSUP; }
ViStatus viInstallHandler(ViSession, ViEventType, ViHndlr, ViAddr) { KX_NSUP; }
ViStatus viUninstallHandler(ViSession, ViEventType, ViHndlr, ViAddr) { KX_NSUP; }

ViStatus viReadAsync(ViSession, ViPBuf, ViUInt32, ViPJobId) { KX_NSUP; }
ViStatus viWriteAsync(ViSession, ViConstBuf, ViUInt32, ViPJobId) { KX_NSUP; }
ViStatus viWriteFromFile(ViSession, ViConstString, ViUInt32, ViPUInt32) { KX_NSUP; }
ViStatus viAssertTrigger(ViSession, ViUInt16) { KX_NSUP; }
ViStatus viReadSTB(ViSession, ViPUInt16) { KX_NSUP; }
ViStatus viSetBuf(ViSession, ViUInt16, ViUInt32) { KX_NSUP; }
ViStatus viFlush(ViSession, ViUInt16) { KX_NSUP; }
ViStatus viBufWrite(ViSession, ViConstBuf, ViUInt32, ViPUInt32) { KX_NSUP; }
ViStatus viBufRead(ViSession, ViPBuf, ViUInt32, ViPUInt32) { KX_NSUP; }

ViStatus viPrintf(ViSession, ViConstString, ...) { KX_NSUP; }
ViStatus viVPrintf(ViSession, ViConstString, ViVAList) { KX_NSUP; }
ViStatus viSPrintf(ViSession, ViPBuf, ViConstString, ...) { KX_NSUP; }
ViStatus viVSPrintf(ViSession, ViPBuf, ViConstString, ViVAList) { KX_NSUP; }
ViStatus viScanf(ViSession, ViConstString, ...) { KX_NSUP; }
ViStatus viVScanf(ViSession, ViConstString, ViVAList) { KX_NSUP; }
ViStatus viSScanf(ViSession, ViConstBuf, ViConstString, ...) { KX_NSUP; }
ViStatus viVSScanf(ViSession, ViConstBuf, ViConstString, ViVAList) { KX_NSUP; }
ViStatus viQueryf(ViSession, ViConstString, ViConstString, ...) { KX_NSUP; }
ViStatus viVQueryf(ViSession, ViConstString, ViConstString, ViVAList) { KX_NSUP; }

ViStatus viIn8(ViSession, ViUInt16, ViBusAddress, ViPUInt8) { KX_NSUP; }
ViStatus viOut8(ViSession, ViUInt16, ViBusAddress, ViUInt8) { KX_NSUP; }
ViStatus viIn16(ViSession, ViUInt16, ViBusAddress, ViPUInt16) { KX_NSUP; }
ViStatus viOut16(ViSession, ViUInt16, ViBusAddress, ViUInt16) { KX_NSUP; }
ViStatus viIn32(ViSession, ViUInt16, ViBusAddress, ViPUInt32) { KX_NSUP; }
ViStatus viOut32(ViSession, ViUInt16, ViBusAddress, ViUInt32) { KX_NSUP; }
ViStatus viMoveIn8(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViAUInt8) { KX_NSUP; }
ViStatus viMoveOut8(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViAUInt8) { KX_NSUP; }
ViStatus viMoveIn16(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViAUInt16) { KX_NSUP; }
ViStatus viMoveOut16(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViAUInt16) { KX_NSUP; }
ViStatus viMoveIn32(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViAUInt32) { KX_NSUP; }
ViStatus viMoveOut32(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViAUInt32) { KX_NSUP; }
ViStatus viMove(ViSession, ViUInt16, ViBusAddress, ViUInt16, ViUInt16, ViBusAddress, ViUInt16, ViBusSize) { KX_NSUP; }
ViStatus viMoveAsync(ViSession, ViUInt16, ViBusAddress, ViUInt16, ViUInt16, ViBusAddress, ViUInt16, ViBusSize,
                     ViPJobId)
{
    KX_NSUP;
}
ViStatus viMapAddress(ViSession, ViUInt16, ViBusAddress, ViBusSize, ViBoolean, ViAddr, ViPAddr) { KX_NSUP; }
ViStatus viUnmapAddress(ViSession) { KX_NSUP; }
ViStatus viMemAlloc(ViSession, ViBusSize, ViPBusAddress) { KX_NSUP; }
ViStatus viMemFree(ViSession, ViBusAddress) { KX_NSUP; }

// No address is ever mapped, so a peek reads nothing and reports zero.
void viPeek8(ViSession, ViAddr, ViPUInt8 val8)
{
    if (val8)
        *val8 = 0;
}
void viPoke8(ViSession, ViAddr, ViUInt8) {}
void viPeek16(ViSession, ViAddr, ViPUInt16 val16)
{
    if (val16)
        *val16 = 0;
}
void viPoke16(ViSession, ViAddr, ViUInt16) {}
void viPeek32(ViSession, ViAddr, ViPUInt32 val32)
{
    if (val32)
        *val32 = 0;
}
void viPoke32(ViSession, ViAddr, ViUInt32) {}

ViStatus viGpibControlATN(ViSession, ViUInt16) { KX_NSUP; }
ViStatus viGpibSendIFC(ViSession) { KX_NSUP; }
ViStatus viGpibCommand(ViSession, ViConstBuf, ViUInt32, ViPUInt32 retCnt)
{
    if (retCnt)
        *retCnt = 0;
    KX_NSUP;
}
ViStatus viGpibPassControl(ViSession, ViUInt16, ViUInt16) { KX_NSUP; }
ViStatus viVxiCommandQuery(ViSession, ViUInt16, ViUInt32, ViPUInt32) { KX_NSUP; }
ViStatus viAssertUtilSignal(ViSession, ViUInt16) { KX_NSUP; }
ViStatus viAssertIntrSignal(ViSession, ViInt16, ViUInt32) { KX_NSUP; }
ViStatus viMapTrigger(ViSession, ViInt16, ViInt16, ViUInt16) { KX_NSUP; }
ViStatus viUnmapTrigger(ViSession, ViInt16, ViInt16) { KX_NSUP; }
ViStatus viUsbControlOut(ViSession, ViInt16, ViInt16, ViUInt16, ViUInt16, ViUInt16, ViConstBuf) { KX_NSUP; }
ViStatus viUsbControlIn(ViSession, ViInt16, ViInt16, ViUInt16, ViUInt16, ViUInt16, ViPBuf, ViPUInt16 retCnt)
{
    if (retCnt)
        *retCnt = 0;
    KX_NSUP;
}

}  // extern "C"
// clang-format on
