#pragma once
// The XML DOM automation object on libxml2, offered under the program identifiers scripts
// create it by ("Microsoft.XMLDOM", "MSXML2.DOMDocument"): a document with loadXML, load, xml,
// documentElement, createElement, appendChild, selectSingleNode, selectNodes (XPath),
// childNodes, nodeName, text, getAttribute, setAttribute and parseError; nodes and node lists
// with the members scripts use on them. Every readable property has type information, so a
// debugger's variables tree lists it.
#include "platform/ole/ComIntf.h"
#include "platform/ole/ComPtr.h"

namespace xan::xml {

// Registers the program identifiers with the automation class registry (idempotent).
void RegisterXmlDom();
// A new, empty document object.
plat::ComPtr<plat::IDispatch> NewXmlDocument();

}  // namespace xan::xml
