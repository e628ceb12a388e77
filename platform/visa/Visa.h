// The VISA library interface the program talks to: types, status values,
// attributes and the nine calls, with their standard meanings. Instruments
// come from the backends (in-process simulator, tunnel, USB) that are
// registered in Backend.h.
#pragma once

#include <cstdint>

using ViInt16 = std::int16_t;
using ViUInt16 = std::uint16_t;
using ViInt32 = std::int32_t;
using ViUInt32 = std::uint32_t;
using ViUInt64 = std::uint64_t;
using ViStatus = ViInt32;
using ViObject = ViUInt32;
using ViSession = ViObject;
using ViFindList = ViObject;
using ViAttr = ViUInt32;
using ViAttrState = ViUInt64;
using ViAccessMode = ViUInt32;
using ViBoolean = ViUInt16;
using ViChar = char;
using ViByte = unsigned char;
using ViBuf = ViByte*;
using ViConstBuf = const ViByte*;
using ViConstString = const char*;
using ViConstRsrc = const char*;
using ViPSession = ViSession*;
using ViPFindList = ViFindList*;
using ViPUInt32 = ViUInt32*;

inline constexpr ViBoolean VI_TRUE = 1;
inline constexpr ViBoolean VI_FALSE = 0;
inline constexpr ViUInt32 VI_NULL = 0;
inline constexpr int VI_FIND_BUFLEN = 256;

// Completion codes (non-negative) and errors (negative as ViStatus).
inline constexpr ViStatus VI_SUCCESS = 0;
inline constexpr ViStatus VI_SUCCESS_TERM_CHAR = 0x3FFF0005;
inline constexpr ViStatus VI_SUCCESS_MAX_CNT = 0x3FFF0006;
inline constexpr ViStatus VI_ERROR_SYSTEM_ERROR = static_cast<ViStatus>(0xBFFF0000u);
inline constexpr ViStatus VI_ERROR_INV_OBJECT = static_cast<ViStatus>(0xBFFF000Eu);
inline constexpr ViStatus VI_ERROR_RSRC_LOCKED = static_cast<ViStatus>(0xBFFF000Fu);
inline constexpr ViStatus VI_ERROR_INV_EXPR = static_cast<ViStatus>(0xBFFF0010u);
inline constexpr ViStatus VI_ERROR_RSRC_NFOUND = static_cast<ViStatus>(0xBFFF0011u);
inline constexpr ViStatus VI_ERROR_INV_RSRC_NAME = static_cast<ViStatus>(0xBFFF0012u);
inline constexpr ViStatus VI_ERROR_INV_ACC_MODE = static_cast<ViStatus>(0xBFFF0013u);
inline constexpr ViStatus VI_ERROR_TMO = static_cast<ViStatus>(0xBFFF0015u);
inline constexpr ViStatus VI_ERROR_NSUP_ATTR = static_cast<ViStatus>(0xBFFF001Du);
inline constexpr ViStatus VI_ERROR_NSUP_ATTR_STATE = static_cast<ViStatus>(0xBFFF001Eu);
inline constexpr ViStatus VI_ERROR_ALLOC = static_cast<ViStatus>(0xBFFF003Cu);
inline constexpr ViStatus VI_ERROR_IO = static_cast<ViStatus>(0xBFFF003Eu);
inline constexpr ViStatus VI_ERROR_INV_MASK = static_cast<ViStatus>(0xBFFF0062u);
inline constexpr ViStatus VI_ERROR_RSRC_BUSY = static_cast<ViStatus>(0xBFFF0072u);
inline constexpr ViStatus VI_ERROR_CONN_LOST = static_cast<ViStatus>(0xBFFF00A6u);

// Attributes.
inline constexpr ViAttr VI_ATTR_TMO_VALUE = 0x3FFF001Au;
inline constexpr ViAttr VI_ATTR_RD_BUF_OPER_MODE = 0x3FFF002Au;
inline constexpr ViAttr VI_ATTR_WR_BUF_OPER_MODE = 0x3FFF002Du;
inline constexpr ViAttr VI_ATTR_SUPPRESS_END_EN = 0x3FFF0036u;
inline constexpr ViAttr VI_ATTR_MANF_ID = 0x3FFF00D9u;
inline constexpr ViAttr VI_ATTR_MODEL_CODE = 0x3FFF00DFu;

inline constexpr ViUInt16 VI_FLUSH_ON_ACCESS = 1;
inline constexpr ViUInt16 VI_FLUSH_WHEN_FULL = 2;
inline constexpr ViUInt16 VI_READ_BUF = 1;
inline constexpr ViUInt16 VI_WRITE_BUF = 2;
inline constexpr ViAccessMode VI_NO_LOCK = 0;
inline constexpr ViAccessMode VI_EXCLUSIVE_LOCK = 1;
inline constexpr ViUInt32 VI_TMO_IMMEDIATE = 0;
inline constexpr ViUInt32 VI_TMO_INFINITE = 0xFFFFFFFFu;
inline constexpr ViUInt32 kVisaDefaultTimeoutMs = 2000;

ViStatus viOpenDefaultRM(ViPSession vi);
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt, ViChar desc[]);
ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViPSession vi);
ViStatus viClose(ViObject vi);
ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue);
// Not used by the program; tests read the session state back with it.
ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue);
ViStatus viSetBuf(ViSession vi, ViUInt16 mask, ViUInt32 size);
ViStatus viFlush(ViSession vi, ViUInt16 mask);
ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
