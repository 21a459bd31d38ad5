#pragma once
// The script-engine service: the interfaces a host drives a script engine through, the
// interfaces the host gives the engine back (its site), and their states, flags and codes.
//
// A host creates an engine by program identifier through the automation class registry
// ("VBScript", "JScript", "PerlScript", "ObjectREXXScript", "TclScript", "Python",
// "LuaScript"), asks it for IActiveScript and IActiveScriptParse, and then:
//   InitNew; SetScriptSite(site); ParseScriptText(whole script) ... AddNamedItem(name, flags)
//   SetScriptState(SCRIPTSTATE_STARTED)       runs the parsed global code
//   GetScriptDispatch(nullptr)                global functions and variables as members
//   ParseScriptText(text, ..., SCRIPTTEXT_ISEXPRESSION, &result)   expressions; flags 0: statements
//   Close
// Errors of the script reach the site's OnScriptError (an IActiveScriptError with the
// description, line and position) before the failing call returns.
//
// Like the rest of this library's automation interfaces the layouts are our own: no binary
// compatibility with another platform is intended. Handles of other systems (windows) are
// opaque pointers.
#include <cstdint>

#include "platform/ole/ComIntf.h"

namespace xan::as {

using plat::DISPID;
using plat::EXCEPINFO;
using plat::HRESULT;
using plat::IDispatch;
using plat::ITypeInfo;
using plat::IUnknown;
using plat::LCID;
using plat::TGUID;
using plat::Variant;

// Interface identifiers.
inline constexpr TGUID IID_IActiveScriptError{0x02A60A26, 0x79B5, 0x41B2, {0x98, 0xE3, 0x5B, 0x4B, 0x57, 0x1A, 0xA4, 0x76}};
inline constexpr TGUID IID_IActiveScriptSite{0x2DF069E4, 0x171E, 0x403B, {0xAB, 0x7B, 0xFC, 0xEE, 0xF1, 0x86, 0xDA, 0x20}};
inline constexpr TGUID IID_IActiveScriptSiteWindow{0x0325354C, 0xE98B, 0x4C60, {0xB6, 0xC6, 0xBE, 0x00, 0x98, 0xD4, 0x86, 0x9F}};
inline constexpr TGUID IID_IActiveScriptSiteDebug{0xF374BC5A, 0xA9CA, 0x4B10, {0x99, 0xD6, 0x44, 0x9D, 0x40, 0x30, 0x04, 0x5D}};
inline constexpr TGUID IID_IActiveScript{0xEC0281AC, 0x785A, 0x465B, {0x87, 0x35, 0xE2, 0x80, 0x9A, 0xE0, 0x83, 0x61}};
inline constexpr TGUID IID_IActiveScriptParse{0xC3F7D1E5, 0x1B68, 0x44D1, {0x86, 0x90, 0x4C, 0x04, 0x87, 0xD7, 0x16, 0xB0}};
inline constexpr TGUID IID_IActiveScriptDebug{0x24C81E65, 0xA320, 0x480F, {0xB0, 0x2A, 0xD4, 0x6A, 0xE8, 0xE2, 0xA2, 0x98}};

using SCRIPTSTATE = std::uint32_t;
inline constexpr SCRIPTSTATE SCRIPTSTATE_UNINITIALIZED = 0;
inline constexpr SCRIPTSTATE SCRIPTSTATE_STARTED = 1;
inline constexpr SCRIPTSTATE SCRIPTSTATE_CONNECTED = 2;
inline constexpr SCRIPTSTATE SCRIPTSTATE_DISCONNECTED = 3;
inline constexpr SCRIPTSTATE SCRIPTSTATE_CLOSED = 4;
inline constexpr SCRIPTSTATE SCRIPTSTATE_INITIALIZED = 5;

// AddNamedItem flags.
inline constexpr std::uint32_t SCRIPTITEM_ISVISIBLE = 0x2;
inline constexpr std::uint32_t SCRIPTITEM_ISSOURCE = 0x4;
inline constexpr std::uint32_t SCRIPTITEM_GLOBALMEMBERS = 0x8;
inline constexpr std::uint32_t SCRIPTITEM_ISPERSISTENT = 0x40;
inline constexpr std::uint32_t SCRIPTITEM_CODEONLY = 0x200;
inline constexpr std::uint32_t SCRIPTITEM_NOCODE = 0x400;

// ParseScriptText flags.
inline constexpr std::uint32_t SCRIPTTEXT_ISVISIBLE = 0x2;
inline constexpr std::uint32_t SCRIPTTEXT_ISEXPRESSION = 0x20;
inline constexpr std::uint32_t SCRIPTTEXT_ISPERSISTENT = 0x40;

// GetItemInfo mask.
inline constexpr std::uint32_t SCRIPTINFO_IUNKNOWN = 0x1;
inline constexpr std::uint32_t SCRIPTINFO_ITYPEINFO = 0x2;

// What a script error tells.
struct IActiveScriptError : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScriptError;
    virtual HRESULT GetExceptionInfo(EXCEPINFO* excep) noexcept = 0;
    // `line` counts from 0; `charPosition` is the column in that line counting from 1, or 0
    // when the engine does not know it.
    virtual HRESULT GetSourcePosition(std::uint64_t* sourceContext, std::uint32_t* line,
                                      std::int32_t* charPosition) noexcept = 0;
    virtual HRESULT GetSourceLineText(plat::UString* text) noexcept = 0;
};

// What the host offers the engine.
struct IActiveScriptSite : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScriptSite;
    virtual HRESULT GetLCID(LCID* locale) noexcept = 0;
    // `item` and `typeInfo` may be null when not asked for; on success *item holds a reference.
    virtual HRESULT GetItemInfo(const char16_t* name, std::uint32_t mask, IUnknown** item,
                                ITypeInfo** typeInfo) noexcept = 0;
    virtual HRESULT GetDocVersionString(plat::UString* version) noexcept = 0;
    virtual HRESULT OnScriptTerminate(const Variant* result, const EXCEPINFO* excep) noexcept = 0;
    virtual HRESULT OnStateChange(SCRIPTSTATE state) noexcept = 0;
    virtual HRESULT OnScriptError(IActiveScriptError* error) noexcept = 0;
    virtual HRESULT OnEnterScript() noexcept = 0;
    virtual HRESULT OnLeaveScript() noexcept = 0;
};

struct IActiveScriptSiteWindow : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScriptSiteWindow;
    virtual HRESULT GetWindow(void** window) noexcept = 0;
    virtual HRESULT EnableModeless(bool enable) noexcept = 0;
};

// The debugging objects the next layer of the service provides; only named here.
struct IDebugApplication;
struct IDebugApplicationNode;
struct IDebugDocumentContext;
struct IEnumDebugCodeContexts;

struct IActiveScriptSiteDebug : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScriptSiteDebug;
    virtual HRESULT GetDocumentContextFromPosition(std::uint64_t sourceContext, std::uint32_t charOffset,
                                                   std::uint32_t charCount,
                                                   IDebugDocumentContext** context) noexcept = 0;
    virtual HRESULT GetApplication(IDebugApplication** application) noexcept = 0;
    virtual HRESULT GetRootApplicationNode(IDebugApplicationNode** node) noexcept = 0;
    virtual HRESULT OnScriptErrorDebug(IActiveScriptError* error, bool* enterDebugger,
                                       bool* callOnScriptErrorWhenContinuing) noexcept = 0;
};

struct IActiveScript : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScript;
    virtual HRESULT SetScriptSite(IActiveScriptSite* site) noexcept = 0;
    virtual HRESULT GetScriptSite(const TGUID& iid, void** out) noexcept = 0;
    virtual HRESULT SetScriptState(SCRIPTSTATE state) noexcept = 0;
    virtual HRESULT GetScriptState(SCRIPTSTATE* state) noexcept = 0;
    virtual HRESULT Close() noexcept = 0;
    virtual HRESULT AddNamedItem(const char16_t* name, std::uint32_t flags) noexcept = 0;
    // itemName null: the script's global functions and variables. On success *out holds a reference.
    virtual HRESULT GetScriptDispatch(const char16_t* itemName, IDispatch** out) noexcept = 0;
};

struct IActiveScriptParse : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScriptParse;
    virtual HRESULT InitNew() noexcept = 0;
    // code: the text; itemName, context, delimiter: may be null; startingLine: the line (from 0)
    // of the text's first line in the host's document; result: null when none is wanted;
    // excep: may be null. SCRIPTTEXT_ISEXPRESSION evaluates an expression into *result.
    virtual HRESULT ParseScriptText(const char16_t* code, const char16_t* itemName, IUnknown* context,
                                    const char16_t* delimiter, std::uint64_t sourceContext,
                                    std::uint32_t startingLine, std::uint32_t flags, Variant* result,
                                    EXCEPINFO* excep) noexcept = 0;
};

// Declared for the debugging layer: an engine that supports debugging answers it.
struct IActiveScriptDebug : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IActiveScriptDebug;
    virtual HRESULT EnumCodeContextsOfPosition(std::uint64_t sourceContext, std::uint32_t charOffset,
                                               std::uint32_t charCount, IEnumDebugCodeContexts** out) noexcept = 0;
};

}  // namespace xan::as
