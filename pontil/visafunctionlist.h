#pragma once

/* Every fixed-argument VISA function, as X(result, name, parameters, arguments). The
 * variadic five (viPrintf, viScanf, viQueryf, viSPrintf, viSScanf) are not listed: they
 * forward through their va_list twins, which are. */

#define PONTIL_VISA_FUNCTIONS(X) \
    X(ViStatus, viGetDefaultRM, (ViPSession vi), (vi)) \
    X(ViStatus, viFindRsrc, \
      (ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt, ViChar desc[]), \
      (sesn, expr, vi, retCnt, desc)) \
    X(ViStatus, viFindNext, (ViFindList vi, ViChar desc[]), (vi, desc)) \
    X(ViStatus, viOpen, \
      (ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViPSession vi), \
      (sesn, name, mode, timeout, vi)) \
    X(ViStatus, viClose, (ViObject vi), (vi)) \
    X(ViStatus, viGetAttribute, (ViObject vi, ViAttr attrName, void *attrValue), \
      (vi, attrName, attrValue)) \
    X(ViStatus, viSetAttribute, (ViObject vi, ViAttr attrName, ViAttrState attrValue), \
      (vi, attrName, attrValue)) \
    X(ViStatus, viEnableEvent, \
      (ViSession vi, ViEventType eventType, ViUInt16 mechanism, ViEventFilter context), \
      (vi, eventType, mechanism, context)) \
    X(ViStatus, viDisableEvent, (ViSession vi, ViEventType eventType, ViUInt16 mechanism), \
      (vi, eventType, mechanism)) \
    X(ViStatus, viDiscardEvents, (ViSession vi, ViEventType eventType, ViUInt16 mechanism), \
      (vi, eventType, mechanism)) \
    X(ViStatus, viWaitOnEvent, \
      (ViSession vi, ViEventType inEventType, ViUInt32 timeout, ViPEventType outEventType, \
       ViPEvent outContext), \
      (vi, inEventType, timeout, outEventType, outContext)) \
    X(ViStatus, viInstallHandler, \
      (ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr userHandle), \
      (vi, eventType, handler, userHandle)) \
    X(ViStatus, viUninstallHandler, \
      (ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr userHandle), \
      (vi, eventType, handler, userHandle)) \
    X(ViStatus, viOpenDefaultRM, (ViPSession vi), (vi)) \
    X(ViStatus, viStatusDesc, (ViObject vi, ViStatus status, ViChar desc[]), (vi, status, desc)) \
    X(ViStatus, viTerminate, (ViObject vi, ViUInt16 degree, ViJobId jobId), (vi, degree, jobId)) \
    X(ViStatus, viLock, \
      (ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey, \
       ViChar accessKey[]), \
      (vi, lockType, timeout, requestedKey, accessKey)) \
    X(ViStatus, viUnlock, (ViSession vi), (vi)) \
    X(ViStatus, viParseRsrc, \
      (ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType, ViPUInt16 intfNum), \
      (rmSesn, rsrcName, intfType, intfNum)) \
    X(ViStatus, viParseRsrcEx, \
      (ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType, ViPUInt16 intfNum, \
       ViChar rsrcClass[], ViChar expandedUnaliasedName[], ViChar aliasIfExists[]), \
      (rmSesn, rsrcName, intfType, intfNum, rsrcClass, expandedUnaliasedName, aliasIfExists)) \
    X(ViStatus, viMove, \
      (ViSession vi, ViUInt16 srcSpace, ViBusAddress srcOffset, ViUInt16 srcWidth, \
       ViUInt16 destSpace, ViBusAddress destOffset, ViUInt16 destWidth, ViBusSize srcLength), \
      (vi, srcSpace, srcOffset, srcWidth, destSpace, destOffset, destWidth, srcLength)) \
    X(ViStatus, viMoveAsync, \
      (ViSession vi, ViUInt16 srcSpace, ViBusAddress srcOffset, ViUInt16 srcWidth, \
       ViUInt16 destSpace, ViBusAddress destOffset, ViUInt16 destWidth, ViBusSize srcLength, \
       ViPJobId jobId), \
      (vi, srcSpace, srcOffset, srcWidth, destSpace, destOffset, destWidth, srcLength, jobId)) \
    X(ViStatus, viBufWrite, (ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, buf, cnt, retCnt)) \
    X(ViStatus, viBufRead, (ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, buf, cnt, retCnt)) \
    X(ViStatus, viVSPrintf, (ViSession vi, ViPBuf buf, ViConstString writeFmt, ViVAList parms), \
      (vi, buf, writeFmt, parms)) \
    X(ViStatus, viVSScanf, \
      (ViSession vi, ViConstBuf buf, ViConstString readFmt, ViVAList arglist), \
      (vi, buf, readFmt, arglist)) \
    X(ViStatus, viGpibControlREN, (ViSession vi, ViUInt16 mode), (vi, mode)) \
    X(ViStatus, viVxiCommandQuery, \
      (ViSession vi, ViUInt16 mode, ViUInt32 cmd, ViPUInt32 response), (vi, mode, cmd, response)) \
    X(ViStatus, viGpibControlATN, (ViSession vi, ViUInt16 mode), (vi, mode)) \
    X(ViStatus, viGpibSendIFC, (ViSession vi), (vi)) \
    X(ViStatus, viGpibCommand, (ViSession vi, ViConstBuf cmd, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, cmd, cnt, retCnt)) \
    X(ViStatus, viGpibPassControl, (ViSession vi, ViUInt16 primAddr, ViUInt16 secAddr), \
      (vi, primAddr, secAddr)) \
    X(ViStatus, viAssertUtilSignal, (ViSession vi, ViUInt16 line), (vi, line)) \
    X(ViStatus, viAssertIntrSignal, (ViSession vi, ViInt16 mode, ViUInt32 statusID), \
      (vi, mode, statusID)) \
    X(ViStatus, viMapTrigger, (ViSession vi, ViInt16 trigSrc, ViInt16 trigDest, ViUInt16 mode), \
      (vi, trigSrc, trigDest, mode)) \
    X(ViStatus, viUnmapTrigger, (ViSession vi, ViInt16 trigSrc, ViInt16 trigDest), \
      (vi, trigSrc, trigDest)) \
    X(ViStatus, viWriteFromFile, \
      (ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, filename, cnt, retCnt)) \
    X(ViStatus, viReadToFile, \
      (ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, filename, cnt, retCnt)) \
    X(ViStatus, viRead, (ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, buf, cnt, retCnt)) \
    X(ViStatus, viWrite, (ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt), \
      (vi, buf, cnt, retCnt)) \
    X(ViStatus, viAssertTrigger, (ViSession vi, ViUInt16 protocol), (vi, protocol)) \
    X(ViStatus, viReadSTB, (ViSession vi, ViPUInt16 status), (vi, status)) \
    X(ViStatus, viClear, (ViSession vi), (vi)) \
    X(ViStatus, viIn16, (ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt16 val16), \
      (vi, space, offset, val16)) \
    X(ViStatus, viOut16, (ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt16 val16), \
      (vi, space, offset, val16)) \
    X(ViStatus, viMapAddress, \
      (ViSession vi, ViUInt16 mapSpace, ViBusAddress mapOffset, ViBusSize mapSize, \
       ViBoolean access, ViAddr suggested, ViPAddr address), \
      (vi, mapSpace, mapOffset, mapSize, access, suggested, address)) \
    X(ViStatus, viUnmapAddress, (ViSession vi), (vi)) \
    X(void, viPeek16, (ViSession vi, ViAddr address, ViPUInt16 val16), (vi, address, val16)) \
    X(void, viPoke16, (ViSession vi, ViAddr address, ViUInt16 val16), (vi, address, val16)) \
    X(ViStatus, viSetBuf, (ViSession vi, ViUInt16 mask, ViUInt32 size), (vi, mask, size)) \
    X(ViStatus, viFlush, (ViSession vi, ViUInt16 mask), (vi, mask)) \
    X(ViStatus, viVPrintf, (ViSession vi, ViConstString writeFmt, ViVAList params), \
      (vi, writeFmt, params)) \
    X(ViStatus, viVScanf, (ViSession vi, ViConstString readFmt, ViVAList arglist), \
      (vi, readFmt, arglist)) \
    X(ViStatus, viIn8, (ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt8 val8), \
      (vi, space, offset, val8)) \
    X(ViStatus, viOut8, (ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt8 val8), \
      (vi, space, offset, val8)) \
    X(void, viPeek8, (ViSession vi, ViAddr address, ViPUInt8 val8), (vi, address, val8)) \
    X(void, viPoke8, (ViSession vi, ViAddr address, ViUInt8 val8), (vi, address, val8)) \
    X(ViStatus, viReadAsync, (ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPJobId jobId), \
      (vi, buf, cnt, jobId)) \
    X(ViStatus, viWriteAsync, (ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPJobId jobId), \
      (vi, buf, cnt, jobId)) \
    X(ViStatus, viVQueryf, \
      (ViSession vi, ViConstString writeFmt, ViConstString readFmt, ViVAList params), \
      (vi, writeFmt, readFmt, params)) \
    X(ViStatus, viIn32, (ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt32 val32), \
      (vi, space, offset, val32)) \
    X(ViStatus, viOut32, (ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt32 val32), \
      (vi, space, offset, val32)) \
    X(ViStatus, viMoveIn8, \
      (ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt8 buf8), \
      (vi, space, offset, length, buf8)) \
    X(ViStatus, viMoveOut8, \
      (ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt8 buf8), \
      (vi, space, offset, length, buf8)) \
    X(ViStatus, viMoveIn16, \
      (ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt16 buf16), \
      (vi, space, offset, length, buf16)) \
    X(ViStatus, viMoveOut16, \
      (ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt16 buf16), \
      (vi, space, offset, length, buf16)) \
    X(ViStatus, viMoveIn32, \
      (ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt32 buf32), \
      (vi, space, offset, length, buf32)) \
    X(ViStatus, viMoveOut32, \
      (ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt32 buf32), \
      (vi, space, offset, length, buf32)) \
    X(void, viPeek32, (ViSession vi, ViAddr address, ViPUInt32 val32), (vi, address, val32)) \
    X(void, viPoke32, (ViSession vi, ViAddr address, ViUInt32 val32), (vi, address, val32)) \
    X(ViStatus, viMemAlloc, (ViSession vi, ViBusSize size, ViPBusAddress offset), \
      (vi, size, offset)) \
    X(ViStatus, viMemFree, (ViSession vi, ViBusAddress offset), (vi, offset)) \
    X(ViStatus, viUsbControlOut, \
      (ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue, ViUInt16 wIndex, \
       ViUInt16 wLength, ViConstBuf buf), \
      (vi, bmRequestType, bRequest, wValue, wIndex, wLength, buf)) \
    X(ViStatus, viUsbControlIn, \
      (ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue, ViUInt16 wIndex, \
       ViUInt16 wLength, ViPBuf buf, ViPUInt16 retCnt), \
      (vi, bmRequestType, bRequest, wValue, wIndex, wLength, buf, retCnt))
