#pragma once

/* The VISA C types and the constants this program uses, written from the published
 * VISA interface definition. Sizes follow the 64-bit Linux ABI: sessions and attributes
 * are 32-bit, attribute values and bus addresses 64-bit. Plain C so a VISA
 * implementation written in C can share it. */

#include <stdarg.h>
#include <stdint.h>

typedef uint64_t ViUInt64;
typedef int64_t ViInt64;
typedef uint32_t ViUInt32;
typedef int32_t ViInt32;
typedef uint16_t ViUInt16;
typedef int16_t ViInt16;
typedef unsigned char ViUInt8;
typedef signed char ViInt8;
typedef char ViChar;
typedef unsigned char ViByte;
typedef ViUInt16 ViBoolean;
typedef void *ViAddr;

typedef ViUInt64 *ViPUInt64;
typedef ViUInt32 *ViPUInt32;
typedef ViUInt16 *ViPUInt16;
typedef ViUInt8 *ViPUInt8;
typedef ViAddr *ViPAddr;
typedef ViUInt8 *ViAUInt8;
typedef ViUInt16 *ViAUInt16;
typedef ViUInt32 *ViAUInt32;

typedef ViChar *ViString;
typedef const ViChar *ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViString ViKeyId;
typedef ViConstString ViConstKeyId;
typedef ViByte *ViBuf;
typedef ViByte *ViPBuf;
typedef const ViByte *ViConstBuf;

typedef ViInt32 ViStatus;
typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViSession *ViPSession;
typedef ViObject ViFindList;
typedef ViFindList *ViPFindList;
typedef ViObject ViEvent;
typedef ViEvent *ViPEvent;
typedef ViUInt32 ViAttr;
typedef ViUInt64 ViAttrState;
typedef ViUInt32 ViEventType;
typedef ViEventType *ViPEventType;
typedef ViUInt32 ViEventFilter;
typedef ViUInt32 ViAccessMode;
typedef ViUInt32 ViJobId;
typedef ViJobId *ViPJobId;
typedef ViUInt64 ViBusAddress;
typedef ViBusAddress *ViPBusAddress;
typedef ViUInt64 ViBusSize;
typedef va_list ViVAList;

typedef ViStatus (*ViHndlr)(ViSession vi, ViEventType eventType, ViEvent event, ViAddr userHandle);

#define VI_NULL 0
#define VI_TRUE 1
#define VI_FALSE 0

#define VI_SUCCESS ((ViStatus)0)
#define VI_SUCCESS_TERM_CHAR ((ViStatus)0x3FFF0005)
#define VI_SUCCESS_MAX_CNT ((ViStatus)0x3FFF0006)

#define VI_ERROR ((ViStatus)0x80000000u)
#define VI_ERROR_INV_OBJECT ((ViStatus)0xBFFF000Eu)
#define VI_ERROR_RSRC_NFOUND ((ViStatus)0xBFFF0011u)
#define VI_ERROR_TMO ((ViStatus)0xBFFF0015u)
#define VI_ERROR_IO ((ViStatus)0xBFFF003Eu)
#define VI_ERROR_NSUP_ATTR ((ViStatus)0xBFFF001Du)
#define VI_ERROR_NSUP_OPER ((ViStatus)0xBFFF0067u)
#define VI_ERROR_LIBRARY_NFOUND ((ViStatus)0xBFFF009Eu)

#define VI_ATTR_RSRC_IMPL_VERSION ((ViAttr)0x3FFF0003u)
#define VI_ATTR_TERMCHAR ((ViAttr)0x3FFF0018u)
#define VI_ATTR_TMO_VALUE ((ViAttr)0x3FFF001Au)
#define VI_ATTR_TERMCHAR_EN ((ViAttr)0x3FFF0038u)
#define VI_ATTR_RSRC_SPEC_VERSION ((ViAttr)0x3FFF0170u)
#define VI_ATTR_RSRC_MANF_NAME ((ViAttr)0xBFFF0174u)
#define VI_ATTR_RSRC_MANF_ID ((ViAttr)0x3FFF0175u)

#define VI_FIND_BUFLEN 256

#define VI_GPIB_REN_DEASSERT 0
#define VI_GPIB_REN_ASSERT 1
#define VI_GPIB_REN_DEASSERT_GTL 2
#define VI_GPIB_REN_ASSERT_ADDRESS 3
#define VI_GPIB_REN_ASSERT_LLO 4
#define VI_GPIB_REN_ASSERT_ADDRESS_LLO 5
#define VI_GPIB_REN_ADDRESS_GTL 6
