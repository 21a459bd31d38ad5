#pragma once
// The script debugging services: the interfaces through which a debugger drives the engines of
// one debug application, and through which the engines report their stops.
//
// Roles:
// - The process debug manager (one per process) makes debug applications and debug documents.
// - A debug application has at most one application debugger connected. An engine that stops
//   calls HandleBreakPoint on its own thread; the application hands the stop to the debugger's
//   onHandleBreakPoint on another thread, and the engine thread waits, running the calls the
//   debugger makes into it (frames, variables, expressions), until ResumeFromBreakPoint.
// - A debug document (made through a document helper) holds a script's text; engines map their
//   code to positions in it through their site (IActiveScriptSiteDebug), and the debugger maps
//   positions back to lines.
// - An engine's code contexts carry breakpoints; its stack frames give descriptions, variables
//   as properties, and an expression context for evaluation in the frame.
//
// Like the rest of this library's automation interfaces the layouts are our own; values of the
// flags below are distinct bits, not another platform's numbers. Lines count from 0 and
// character positions from 0 throughout.
#include <cstdint>

#include "activescript/ActiveScript.h"
#include "platform/ole/ComPtr.h"

namespace xan::as {

inline constexpr TGUID IID_IProcessDebugManager{0xF1E59389, 0xCBE6, 0x4BAE, {0xB9, 0xCA, 0xDD, 0xAC, 0xCD, 0x01, 0x14, 0x62}};
inline constexpr TGUID IID_IRemoteDebugApplication{0x859B36C5, 0xCC37, 0x4EFC, {0xB0, 0xAD, 0x1F, 0x7A, 0x9F, 0x23, 0x61, 0xF6}};
inline constexpr TGUID IID_IDebugApplication{0xBC43C61E, 0xF0DB, 0x4D5A, {0xAB, 0x32, 0xDE, 0xBC, 0x82, 0x14, 0x92, 0x58}};
inline constexpr TGUID IID_IRemoteDebugApplicationThread{0x1C63AADD, 0x6F53, 0x4348, {0x96, 0x15, 0x80, 0x89, 0x57, 0x29, 0x1D, 0x6E}};
inline constexpr TGUID IID_IDebugApplicationThread{0x6C92EE1E, 0x11C5, 0x43A6, {0xA8, 0x20, 0x31, 0x2C, 0xD2, 0xA0, 0x84, 0x2D}};
inline constexpr TGUID IID_IDebugThreadCall{0x110DF48B, 0x41C0, 0x46BF, {0x8F, 0x7A, 0x16, 0x40, 0x1B, 0x30, 0xAF, 0x12}};
inline constexpr TGUID IID_IApplicationDebugger{0xE07FC228, 0x930D, 0x49CD, {0x93, 0x81, 0xE0, 0x9B, 0xB9, 0xD2, 0x2C, 0x74}};
inline constexpr TGUID IID_IDebugSessionProvider{0x7A37FC70, 0x9A6C, 0x4C77, {0x9E, 0xCE, 0x6D, 0x21, 0xC4, 0x45, 0xC9, 0xB6}};
inline constexpr TGUID IID_IDebugDocumentHelper{0x69187872, 0x0CFF, 0x405F, {0xB6, 0xB6, 0xD2, 0xB1, 0x81, 0x90, 0x03, 0xA7}};
inline constexpr TGUID IID_IDebugApplicationNode{0x0B832A7D, 0x3753, 0x4BB9, {0x87, 0x43, 0x33, 0x6C, 0x8E, 0x9C, 0xBA, 0x30}};
inline constexpr TGUID IID_IEnumDebugApplicationNodes{0xDB54B9CE, 0x7868, 0x45A8, {0x8E, 0x28, 0xE5, 0x2B, 0x90, 0x6A, 0x1C, 0xAF}};
inline constexpr TGUID IID_IDebugDocument{0x71AF62BB, 0xD452, 0x4C86, {0xBC, 0x20, 0xCE, 0xD0, 0xA6, 0x14, 0xF8, 0xF9}};
inline constexpr TGUID IID_IDebugDocumentText{0xB30E0605, 0x42DE, 0x4BDB, {0x9E, 0x5D, 0x19, 0x2A, 0x81, 0xB4, 0xB4, 0xF7}};
inline constexpr TGUID IID_IDebugDocumentContext{0x283AFFD0, 0x5CBA, 0x4FA2, {0x8B, 0x3D, 0xFE, 0x5F, 0x7D, 0xB3, 0xB7, 0x0F}};
inline constexpr TGUID IID_IDebugCodeContext{0x2C90B8D0, 0xD8EA, 0x4C9F, {0x80, 0xFC, 0x31, 0x0F, 0x98, 0xE8, 0x68, 0xDB}};
inline constexpr TGUID IID_IEnumDebugCodeContexts{0x366743AB, 0x6C01, 0x43CA, {0x99, 0xE3, 0x4E, 0x7E, 0xBC, 0x2F, 0x66, 0x03}};
inline constexpr TGUID IID_IEnumDebugStackFrames{0xF1E0404D, 0x9467, 0x435C, {0xA5, 0xE5, 0xD6, 0xEB, 0x0A, 0x73, 0x20, 0x68}};
inline constexpr TGUID IID_IDebugStackFrame{0x21D5EE54, 0x3A40, 0x4418, {0xB1, 0x79, 0x1B, 0x0E, 0x52, 0xF1, 0x24, 0x92}};
inline constexpr TGUID IID_IDebugExpressionContext{0xD0969DE4, 0x42D8, 0x4B32, {0x9A, 0x8E, 0xA7, 0x30, 0x05, 0xCD, 0x62, 0x31}};
inline constexpr TGUID IID_IDebugExpression{0x2D160854, 0xEA11, 0x4100, {0x80, 0x07, 0x2A, 0xBE, 0x51, 0xF6, 0x2B, 0x7A}};
inline constexpr TGUID IID_IDebugExpressionCallBack{0xB378E790, 0xA33A, 0x4E00, {0xAF, 0xDD, 0xCC, 0xD9, 0x10, 0x7B, 0x1E, 0x31}};
inline constexpr TGUID IID_IDebugProperty{0xE91638C1, 0x5F8E, 0x4A90, {0xA2, 0x1D, 0x0B, 0xB3, 0x1D, 0x2F, 0x6E, 0xDF}};
inline constexpr TGUID IID_IEnumDebugPropertyInfo{0x01C42D7F, 0xF09E, 0x43C4, {0xB1, 0xBE, 0x96, 0x0C, 0xD5, 0xF2, 0xCE, 0x90}};
inline constexpr TGUID IID_IDebugApplicationEngine{0xA6242588, 0xF6BF, 0x4FD9, {0xB1, 0x7A, 0x3D, 0x67, 0xBE, 0x34, 0x51, 0xAE}};

// Why an engine stopped.
using BREAKREASON = std::uint32_t;
inline constexpr BREAKREASON BREAKREASON_STEP = 0;
inline constexpr BREAKREASON BREAKREASON_BREAKPOINT = 1;
inline constexpr BREAKREASON BREAKREASON_DEBUGGER_BLOCK = 2;
inline constexpr BREAKREASON BREAKREASON_HOST_INITIATED = 3;
inline constexpr BREAKREASON BREAKREASON_LANGUAGE_INITIATED = 4;
inline constexpr BREAKREASON BREAKREASON_DEBUGGER_HALT = 5;
inline constexpr BREAKREASON BREAKREASON_ERROR = 6;

// How a stopped engine goes on.
using BREAKRESUMEACTION = std::uint32_t;
inline constexpr BREAKRESUMEACTION BREAKRESUMEACTION_ABORT = 0;
inline constexpr BREAKRESUMEACTION BREAKRESUMEACTION_CONTINUE = 1;
inline constexpr BREAKRESUMEACTION BREAKRESUMEACTION_STEP_INTO = 2;
inline constexpr BREAKRESUMEACTION BREAKRESUMEACTION_STEP_OVER = 3;
inline constexpr BREAKRESUMEACTION BREAKRESUMEACTION_STEP_OUT = 4;
// The stop is passed over: the engine continues as if nothing had stopped it.
inline constexpr BREAKRESUMEACTION BREAKRESUMEACTION_IGNORE = 5;

using ERRORRESUMEACTION = std::uint32_t;
inline constexpr ERRORRESUMEACTION ERRORRESUMEACTION_ReexecuteErrorStatement = 0;
inline constexpr ERRORRESUMEACTION ERRORRESUMEACTION_AbortCallAndReturnErrorToCaller = 1;
inline constexpr ERRORRESUMEACTION ERRORRESUMEACTION_SkipErrorStatement = 2;

using BREAKPOINT_STATE = std::uint32_t;
inline constexpr BREAKPOINT_STATE BREAKPOINT_DELETED = 0;
inline constexpr BREAKPOINT_STATE BREAKPOINT_DISABLED = 1;
inline constexpr BREAKPOINT_STATE BREAKPOINT_ENABLED = 2;

// Property attributes.
using DBGPROP_ATTRIB_FLAGS = std::uint32_t;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_NO_ATTRIB = 0;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_VALUE_IS_EXPANDABLE = 1u << 0;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_VALUE_READONLY = 1u << 1;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_ACCESS_PUBLIC = 1u << 2;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_ACCESS_PRIVATE = 1u << 3;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_ACCESS_PROTECTED = 1u << 4;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_ACCESS_FINAL = 1u << 5;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_STORAGE_GLOBAL = 1u << 6;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_STORAGE_STATIC = 1u << 7;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_STORAGE_FIELD = 1u << 8;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_STORAGE_VIRTUAL = 1u << 9;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_TYPE_IS_CONSTANT = 1u << 10;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_TYPE_IS_SYNCHRONIZED = 1u << 11;
inline constexpr DBGPROP_ATTRIB_FLAGS OBJECT_ATTRIB_TYPE_IS_VOLATILE = 1u << 12;

// Which fields of a property's information are asked for.
using DBGPROP_INFO_FLAGS = std::uint32_t;
inline constexpr DBGPROP_INFO_FLAGS DBGPROP_INFO_NAME = 1u << 0;
inline constexpr DBGPROP_INFO_FLAGS DBGPROP_INFO_TYPE = 1u << 1;
inline constexpr DBGPROP_INFO_FLAGS DBGPROP_INFO_VALUE = 1u << 2;
inline constexpr DBGPROP_INFO_FLAGS DBGPROP_INFO_ATTRIBUTES = 1u << 3;
inline constexpr DBGPROP_INFO_FLAGS DBGPROP_INFO_DEBUGPROP = 1u << 4;
inline constexpr DBGPROP_INFO_FLAGS DBGPROP_INFO_STANDARD =
    DBGPROP_INFO_NAME | DBGPROP_INFO_TYPE | DBGPROP_INFO_VALUE | DBGPROP_INFO_ATTRIBUTES;

// ParseLanguageText flags.
inline constexpr std::uint32_t DEBUG_TEXT_ISEXPRESSION = 1u << 0;
inline constexpr std::uint32_t DEBUG_TEXT_RETURNVALUE = 1u << 1;
inline constexpr std::uint32_t DEBUG_TEXT_NOSIDEEFFECTS = 1u << 2;

// Debug document attributes.
using TEXT_DOC_ATTR = std::uint32_t;
inline constexpr TEXT_DOC_ATTR TEXT_DOC_ATTR_READONLY = 1u << 0;

struct IRemoteDebugApplication;
struct IDebugApplication;
struct IDebugApplicationThread;
struct IRemoteDebugApplicationThread;
struct IApplicationDebugger;
struct IDebugDocumentHelper;
struct IDebugApplicationNode;
struct IEnumDebugApplicationNodes;
struct IDebugDocument;
struct IDebugDocumentText;
struct IDebugDocumentContext;
struct IDebugCodeContext;
struct IEnumDebugCodeContexts;
struct IEnumDebugStackFrames;
struct IDebugStackFrame;
struct IDebugExpression;
struct IDebugExpressionCallBack;
struct IDebugProperty;
struct IEnumDebugPropertyInfo;

// One stack frame as an engine reports it. The stack addresses order the frames of several
// engines on one thread: the frame with the lower address is the inner one.
struct DebugStackFrameDescriptor {
    plat::ComPtr<IDebugStackFrame> pdsf;
    std::uintptr_t dwMin = 0;
    std::uintptr_t dwLim = 0;
    bool fFinal = false;
    plat::ComPtr<IUnknown> punkFinal;
};

struct DebugPropertyInfo {
    DBGPROP_INFO_FLAGS m_dwValidFields = 0;
    plat::UString m_bstrName;
    plat::UString m_bstrType;
    plat::UString m_bstrValue;
    DBGPROP_ATTRIB_FLAGS m_dwAttrib = OBJECT_ATTRIB_NO_ATTRIB;
    plat::ComPtr<IDebugProperty> m_pDebugProp;
};

// ---- The process debug manager and debug applications ------------------------------------------

struct IProcessDebugManager : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IProcessDebugManager;
    virtual HRESULT CreateApplication(IDebugApplication** application) noexcept = 0;
    // outer: no aggregation is supported (must be null).
    virtual HRESULT CreateDebugDocumentHelper(IUnknown* outer, IDebugDocumentHelper** helper) noexcept = 0;
};

struct IRemoteDebugApplication : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IRemoteDebugApplication;
    // Resumes the stopped engine thread `thread`.
    virtual HRESULT ResumeFromBreakPoint(IRemoteDebugApplicationThread* thread, BREAKRESUMEACTION action,
                                         ERRORRESUMEACTION errorAction) noexcept = 0;
    // The next statement any engine of the application executes stops with BREAKREASON_DEBUGGER_HALT.
    virtual HRESULT CauseBreak() noexcept = 0;
    virtual HRESULT ConnectDebugger(IApplicationDebugger* debugger) noexcept = 0;
    virtual HRESULT DisconnectDebugger() noexcept = 0;
};

// What an engine registers with the application it debugs under.
struct IDebugApplicationEngine : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugApplicationEngine;
    // The engine's frames on the calling thread, innermost first (none when it is not running there).
    virtual HRESULT EnumStackFrames(IEnumDebugStackFrames** frames) noexcept = 0;
    // Stop at the next statement; callable from any thread.
    virtual HRESULT CauseBreak() noexcept = 0;
};

struct IDebugApplication : IRemoteDebugApplication {
    static constexpr const TGUID& IID = IID_IDebugApplication;
    virtual HRESULT SetName(const char16_t* name) noexcept = 0;
    // ---- For engines ---------------------------------------------------------------------------
    virtual HRESULT AddEngine(IDebugApplicationEngine* engine) noexcept = 0;
    virtual HRESULT RemoveEngine(IDebugApplicationEngine* engine) noexcept = 0;
    // An engine stopped on the calling thread: blocks, running calls into this thread, until the
    // debugger resumes; answers the action. Without a debugger the answer is CONTINUE at once.
    virtual HRESULT HandleBreakPoint(BREAKREASON reason, BREAKRESUMEACTION* action) noexcept = 0;
    // The application's view of the calling thread while it is stopped; E_UNEXPECTED otherwise.
    virtual HRESULT GetCurrentThread(IDebugApplicationThread** thread) noexcept = 0;
};

struct IRemoteDebugApplicationThread : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IRemoteDebugApplicationThread;
    virtual HRESULT GetApplication(IRemoteDebugApplication** application) noexcept = 0;
    // The frames of every engine of the application on this thread, innermost first.
    virtual HRESULT EnumStackFrames(IEnumDebugStackFrames** frames) noexcept = 0;
};

struct IDebugThreadCall : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugThreadCall;
    virtual HRESULT ThreadCallHandler() noexcept = 0;
};

struct IDebugApplicationThread : IRemoteDebugApplicationThread {
    static constexpr const TGUID& IID = IID_IDebugApplicationThread;
    // Runs `call` on this (stopped) thread and answers its result; directly when called there.
    // E_UNEXPECTED once the thread has been resumed.
    virtual HRESULT SynchronousCallIntoThread(IDebugThreadCall* call) noexcept = 0;
};

struct IApplicationDebugger : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IApplicationDebugger;
    virtual HRESULT QueryAlive() noexcept = 0;
    virtual HRESULT CreateInstanceAtDebugger(const TGUID& clsid, IUnknown* outer, std::uint32_t context,
                                             const TGUID& iid, IUnknown** object) noexcept = 0;
    virtual HRESULT onDebugOutput(const char16_t* text) noexcept = 0;
    virtual HRESULT onHandleBreakPoint(IRemoteDebugApplicationThread* thread, BREAKREASON reason,
                                       IActiveScriptError* error) noexcept = 0;
    virtual HRESULT onClose() noexcept = 0;
    virtual HRESULT onDebuggerEvent(const TGUID& event, IUnknown* data) noexcept = 0;
};

struct IDebugSessionProvider : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugSessionProvider;
    virtual HRESULT StartDebugSession(IRemoteDebugApplication* application) noexcept = 0;
};

// ---- Documents -----------------------------------------------------------------------------------

struct IDebugDocumentHelper : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugDocumentHelper;
    virtual HRESULT Init(IDebugApplication* application, const char16_t* shortName, const char16_t* longName,
                         TEXT_DOC_ATTR attributes) noexcept = 0;
    // parent: none attaches the document at the application's root.
    virtual HRESULT Attach(IDebugDocumentHelper* parent) noexcept = 0;
    virtual HRESULT Detach() noexcept = 0;
    virtual HRESULT AddUnicodeText(const char16_t* text) noexcept = 0;
    // A block of the text an engine received with ParseScriptText; *cookie is the source context
    // the engine is given.
    virtual HRESULT DefineScriptBlock(std::uint32_t charOffset, std::uint32_t charCount, IActiveScript* engine,
                                      bool isScriptlet, std::uint32_t* cookie) noexcept = 0;
    virtual HRESULT GetScriptBlockInfo(std::uint32_t cookie, IActiveScript** engine, std::uint32_t* charPos,
                                       std::uint32_t* charCount) noexcept = 0;
    virtual HRESULT CreateDebugDocumentContext(std::uint32_t charPos, std::uint32_t charCount,
                                               IDebugDocumentContext** context) noexcept = 0;
    virtual HRESULT GetDebugApplicationNode(IDebugApplicationNode** node) noexcept = 0;
};

struct IDebugApplicationNode : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugApplicationNode;
    virtual HRESULT EnumChildren(IEnumDebugApplicationNodes** children) noexcept = 0;
    virtual HRESULT GetDocument(IDebugDocument** document) noexcept = 0;
};

struct IEnumDebugApplicationNodes : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IEnumDebugApplicationNodes;
    virtual HRESULT Next(std::uint32_t count, IDebugApplicationNode** nodes, std::uint32_t* fetched) noexcept = 0;
};

struct IDebugDocument : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugDocument;
    virtual HRESULT GetName(bool longName, plat::UString* name) noexcept = 0;
};

struct IDebugDocumentText : IDebugDocument {
    static constexpr const TGUID& IID = IID_IDebugDocumentText;
    virtual HRESULT GetSize(std::uint32_t* lines, std::uint32_t* chars) noexcept = 0;
    virtual HRESULT GetPositionOfLine(std::uint32_t line, std::uint32_t* position) noexcept = 0;
    virtual HRESULT GetLineOfPosition(std::uint32_t position, std::uint32_t* line,
                                      std::uint32_t* offsetInLine) noexcept = 0;
    virtual HRESULT GetPositionOfContext(IDebugDocumentContext* context, std::uint32_t* position,
                                         std::uint32_t* length) noexcept = 0;
};

struct IDebugDocumentContext : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugDocumentContext;
    virtual HRESULT GetDocument(IDebugDocument** document) noexcept = 0;
};

// ---- Code, frames, expressions, properties -----------------------------------------------------------

struct IDebugCodeContext : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugCodeContext;
    virtual HRESULT GetDocumentContext(IDebugDocumentContext** context) noexcept = 0;
    virtual HRESULT SetBreakPoint(BREAKPOINT_STATE state) noexcept = 0;
};

struct IEnumDebugCodeContexts : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IEnumDebugCodeContexts;
    virtual HRESULT Next(std::uint32_t count, IDebugCodeContext** contexts, std::uint32_t* fetched) noexcept = 0;
};

struct IEnumDebugStackFrames : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IEnumDebugStackFrames;
    virtual HRESULT Next(std::uint32_t count, DebugStackFrameDescriptor* frames, std::uint32_t* fetched) noexcept = 0;
};

struct IDebugStackFrame : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugStackFrame;
    virtual HRESULT GetCodeContext(IDebugCodeContext** context) noexcept = 0;
    virtual HRESULT GetDescriptionString(bool longForm, plat::UString* text) noexcept = 0;
    virtual HRESULT GetLanguageString(bool longForm, plat::UString* text) noexcept = 0;
    virtual HRESULT GetThread(IDebugApplicationThread** thread) noexcept = 0;
    virtual HRESULT GetDebugProperty(IDebugProperty** property) noexcept = 0;
};

struct IDebugExpressionContext : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugExpressionContext;
    virtual HRESULT ParseLanguageText(const char16_t* text, std::uint32_t radix, const char16_t* delimiter,
                                      std::uint32_t flags, IDebugExpression** expression) noexcept = 0;
};

struct IDebugExpression : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugExpression;
    // Evaluates; the callback's onComplete reports the end (possibly before Start returns).
    virtual HRESULT Start(IDebugExpressionCallBack* callback) noexcept = 0;
    virtual HRESULT Abort() noexcept = 0;
    // S_OK once complete, S_FALSE before.
    virtual HRESULT QueryIsComplete() noexcept = 0;
    virtual HRESULT GetResultAsString(HRESULT* result, plat::UString* text) noexcept = 0;
    virtual HRESULT GetResultAsDebugProperty(HRESULT* result, IDebugProperty** property) noexcept = 0;
};

struct IDebugExpressionCallBack : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugExpressionCallBack;
    virtual HRESULT onComplete() noexcept = 0;
};

struct IDebugProperty : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDebugProperty;
    virtual HRESULT GetPropertyInfo(DBGPROP_INFO_FLAGS fields, std::uint32_t radix, DebugPropertyInfo* info) noexcept = 0;
    virtual HRESULT EnumMembers(DBGPROP_INFO_FLAGS fields, std::uint32_t radix, const TGUID& iid,
                                IEnumDebugPropertyInfo** members) noexcept = 0;
};

struct IEnumDebugPropertyInfo : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IEnumDebugPropertyInfo;
    virtual HRESULT Next(std::uint32_t count, DebugPropertyInfo* infos, std::uint32_t* fetched) noexcept = 0;
    virtual HRESULT GetCount(std::uint32_t* count) noexcept = 0;
};

}  // namespace xan::as
