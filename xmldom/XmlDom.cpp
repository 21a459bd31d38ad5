#include "xmldom/XmlDom.h"

#include <memory>
#include <vector>

#include <libxml/tree.h>

#include "platform/ole/OleRegistry.h"
#include "platform/ole/TableDispatch.h"
#include "xmldom/XmlTree.h"

namespace xan::xml {

using plat::ComPtr;
using plat::IDispatch;
using plat::TDispArgs;
using plat::TDispMember;
using plat::UString;
using plat::VarData;
using plat::Variant;

namespace {

constexpr std::u16string_view Source = u"XML DOM";

UString Text(const VarData& AValue) { return plat::VarToUString(AValue); }

Variant Dispatch(IDispatch* AObj) { return Variant(AObj); }

// ---- Node lists ---------------------------------------------------------------------------

class TXmlNodeList : public plat::TTableDispatch<TXmlNodeList> {
    XAN_CLASS(TXmlNodeList, plat::TInterfacedObject)
public:
    static constexpr std::u16string_view ErrorSource = Source;
    TXmlNodeList(std::shared_ptr<TXmlTree> ATree, std::vector<TXmlNodePtr> ANodes)
        : FTree(std::move(ATree)), FNodes(std::move(ANodes)) {}
    static std::span<const TDispMember<TXmlNodeList>> Members();

    std::shared_ptr<TXmlTree> FTree;
    std::vector<TXmlNodePtr> FNodes;
};

// ---- Nodes ------------------------------------------------------------------------------------

// The members a node and the document share; the document answers them for itself as a node.
class TXmlNode : public plat::TTableDispatch<TXmlNode> {
    XAN_CLASS(TXmlNode, plat::TInterfacedObject)
public:
    static constexpr std::u16string_view ErrorSource = Source;
    TXmlNode(std::shared_ptr<TXmlTree> ATree, TXmlNodePtr ANode) : FTree(std::move(ATree)), FNode(ANode) {}
    static std::span<const TDispMember<TXmlNode>> Members();

    std::shared_ptr<TXmlTree> FTree;
    TXmlNodePtr FNode;
};

Variant NodeValue(const std::shared_ptr<TXmlTree>& ATree, TXmlNodePtr ANode) {
    if (!ANode) return Variant(static_cast<IDispatch*>(nullptr));
    return Dispatch(ComPtr<IDispatch>(new TXmlNode(ATree, ANode)).Get());
}

Variant ListValue(const std::shared_ptr<TXmlTree>& ATree, std::vector<TXmlNodePtr> ANodes) {
    return Dispatch(ComPtr<IDispatch>(new TXmlNodeList(ATree, std::move(ANodes))).Get());
}

// The node a script passed: one of ours, of the same tree.
TXmlNodePtr NodeArg(const VarData& AValue, const TXmlTree& ATree) {
    auto* obj = AValue.VType == plat::varDispatch ? dynamic_cast<TXmlNode*>(static_cast<IDispatch*>(AValue.VDispatch)) : nullptr;
    if (!obj) plat::Throw<plat::Exception>(UString(u"An XML node is required."));
    if (!ATree.Owns(obj->FNode)) plat::Throw<plat::Exception>(UString(u"The node belongs to another document."));
    return obj->FNode;
}

template <class T>
void SelectFirst(T& ASelf, TXmlNodePtr AContext, const TDispArgs& A, Variant& R) {
    const std::vector<TXmlNodePtr> nodes = SelectNodes(*ASelf.FTree, AContext, Text(A[0]));
    R = NodeValue(ASelf.FTree, nodes.empty() ? nullptr : nodes.front());
}

std::span<const TDispMember<TXmlNode>> TXmlNode::Members() {
    using N = TXmlNode;
    static const TDispMember<N> members[] = {
        {u"nodeName", true, 0, plat::varOleStr, [](N& s, const TDispArgs&, Variant& r) { r = Variant(NodeName(s.FNode)); }},
        {u"nodeType", true, 0, plat::varInteger, [](N& s, const TDispArgs&, Variant& r) { r = Variant(NodeType(s.FNode)); }},
        {u"text", true, 0, plat::varOleStr, [](N& s, const TDispArgs&, Variant& r) { r = Variant(NodeText(s.FNode)); },
         [](N& s, const TDispArgs&, const VarData& v) { SetNodeText(s.FNode, Text(v)); }},
        {u"xml", true, 0, plat::varOleStr, [](N& s, const TDispArgs&, Variant& r) { r = Variant(NodeXml(s.FNode)); }},
        {u"childNodes", true, 0, plat::varDispatch,
         [](N& s, const TDispArgs&, Variant& r) { r = ListValue(s.FTree, ChildNodes(s.FNode)); }},
        {u"parentNode", true, 0, plat::varDispatch,
         [](N& s, const TDispArgs&, Variant& r) { r = NodeValue(s.FTree, s.FNode->parent); }},
        {u"getAttribute", false, 1, plat::varVariant, [](N& s, const TDispArgs& a, Variant& r) {
             xmlChar* value = xmlGetProp(s.FNode, reinterpret_cast<const xmlChar*>(ToXml(Text(a[0])).c_str()));
             r = value ? Variant(FromXml(value)) : Variant::Null();
             xmlFree(value);
         }},
        {u"setAttribute", false, 2, plat::varEmpty, [](N& s, const TDispArgs& a, Variant&) {
             const std::string name = ToXml(Text(a[0])), value = ToXml(Text(a[1]));
             if (s.FNode->type != XML_ELEMENT_NODE) plat::Throw<plat::Exception>(UString(u"Only elements have attributes."));
             if (xmlValidateName(reinterpret_cast<const xmlChar*>(name.c_str()), 0) != 0)
                 plat::Throw<plat::Exception>(UString(u"Invalid attribute name: '") + Text(a[0]) + UString(u"'"));
             xmlSetProp(s.FNode, reinterpret_cast<const xmlChar*>(name.c_str()), reinterpret_cast<const xmlChar*>(value.c_str()));
         }},
        {u"appendChild", false, 1, plat::varDispatch, [](N& s, const TDispArgs& a, Variant& r) {
             TXmlNodePtr child = NodeArg(a[0], *s.FTree);
             s.FTree->Append(s.FNode, child);
             r = NodeValue(s.FTree, child);
         }},
        {u"selectSingleNode", false, 1, plat::varDispatch,
         [](N& s, const TDispArgs& a, Variant& r) { SelectFirst(s, s.FNode, a, r); }},
        {u"selectNodes", false, 1, plat::varDispatch, [](N& s, const TDispArgs& a, Variant& r) {
             r = ListValue(s.FTree, SelectNodes(*s.FTree, s.FNode, Text(a[0])));
         }},
    };
    return members;
}

std::span<const TDispMember<TXmlNodeList>> TXmlNodeList::Members() {
    using L = TXmlNodeList;
    static const TDispMember<L> members[] = {
        {u"length", true, 0, plat::varInteger,
         [](L& s, const TDispArgs&, Variant& r) { r = Variant(static_cast<std::int32_t>(s.FNodes.size())); }},
        {u"item", false, 1, plat::varDispatch,
         [](L& s, const TDispArgs& a, Variant& r) {
             const std::int32_t i = plat::VarToInt32(a[0]);
             r = NodeValue(s.FTree, i >= 0 && std::size_t(i) < s.FNodes.size() ? s.FNodes[std::size_t(i)] : nullptr);
         },
         nullptr, true},
    };
    return members;
}

// ---- The document -----------------------------------------------------------------------------

class TXmlParseError : public plat::TTableDispatch<TXmlParseError> {
    XAN_CLASS(TXmlParseError, plat::TInterfacedObject)
public:
    static constexpr std::u16string_view ErrorSource = Source;
    explicit TXmlParseError(TXmlParseResult AResult) : FResult(std::move(AResult)) {}
    static std::span<const TDispMember<TXmlParseError>> Members() {
        using E = TXmlParseError;
        static const TDispMember<E> members[] = {
            {u"errorCode", true, 0, plat::varInteger, [](E& s, const TDispArgs&, Variant& r) { r = Variant(s.FResult.Code); }},
            {u"reason", true, 0, plat::varOleStr, [](E& s, const TDispArgs&, Variant& r) { r = Variant(s.FResult.Reason); }},
            {u"line", true, 0, plat::varInteger, [](E& s, const TDispArgs&, Variant& r) { r = Variant(s.FResult.Line); }},
            {u"linepos", true, 0, plat::varInteger, [](E& s, const TDispArgs&, Variant& r) { r = Variant(s.FResult.Column); }},
        };
        return members;
    }
    TXmlParseResult FResult;
};

class TXmlDocument : public plat::TTableDispatch<TXmlDocument> {
    XAN_CLASS(TXmlDocument, plat::TInterfacedObject)
public:
    static constexpr std::u16string_view ErrorSource = Source;
    TXmlDocument() : FTree(std::make_shared<TXmlTree>()) {}
    static std::span<const TDispMember<TXmlDocument>> Members();

    TXmlNodePtr Self() const noexcept { return reinterpret_cast<TXmlNodePtr>(FTree->Doc()); }
    bool Take(std::shared_ptr<TXmlTree> ATree) {
        FTree = std::move(ATree);
        return FParse.Code == 0;
    }

    std::shared_ptr<TXmlTree> FTree;
    TXmlParseResult FParse;
    bool FAsync = true;
};

std::span<const TDispMember<TXmlDocument>> TXmlDocument::Members() {
    using D = TXmlDocument;
    static const TDispMember<D> members[] = {
        {u"loadXML", false, 1, plat::varBoolean,
         [](D& s, const TDispArgs& a, Variant& r) { r = Variant(s.Take(TXmlTree::Parse(Text(a[0]), s.FParse))); }},
        {u"load", false, 1, plat::varBoolean,
         [](D& s, const TDispArgs& a, Variant& r) { r = Variant(s.Take(TXmlTree::Load(ToXml(Text(a[0])), s.FParse))); }},
        {u"xml", true, 0, plat::varOleStr, [](D& s, const TDispArgs&, Variant& r) { r = Variant(NodeXml(s.Self())); }},
        {u"documentElement", true, 0, plat::varDispatch,
         [](D& s, const TDispArgs&, Variant& r) { r = NodeValue(s.FTree, s.FTree->Root()); }},
        {u"createElement", false, 1, plat::varDispatch,
         [](D& s, const TDispArgs& a, Variant& r) { r = NodeValue(s.FTree, s.FTree->NewElement(Text(a[0]))); }},
        {u"appendChild", false, 1, plat::varDispatch, [](D& s, const TDispArgs& a, Variant& r) {
             TXmlNodePtr child = NodeArg(a[0], *s.FTree);
             s.FTree->Append(s.Self(), child);
             r = NodeValue(s.FTree, child);
         }},
        {u"selectSingleNode", false, 1, plat::varDispatch,
         [](D& s, const TDispArgs& a, Variant& r) { SelectFirst(s, s.Self(), a, r); }},
        {u"selectNodes", false, 1, plat::varDispatch,
         [](D& s, const TDispArgs& a, Variant& r) { r = ListValue(s.FTree, SelectNodes(*s.FTree, s.Self(), Text(a[0]))); }},
        {u"childNodes", true, 0, plat::varDispatch,
         [](D& s, const TDispArgs&, Variant& r) { r = ListValue(s.FTree, ChildNodes(s.Self())); }},
        {u"nodeName", true, 0, plat::varOleStr, [](D&, const TDispArgs&, Variant& r) { r = Variant(UString(u"#document")); }},
        {u"text", true, 0, plat::varOleStr, [](D& s, const TDispArgs&, Variant& r) {
             r = Variant(s.FTree->Root() ? NodeText(s.FTree->Root()) : UString());
         }},
        {u"parseError", true, 0, plat::varDispatch,
         [](D& s, const TDispArgs&, Variant& r) { r = Dispatch(ComPtr<IDispatch>(new TXmlParseError(s.FParse)).Get()); }},
        {u"async", true, 0, plat::varBoolean, [](D& s, const TDispArgs&, Variant& r) { r = Variant(s.FAsync); },
         [](D& s, const TDispArgs&, const VarData& v) { s.FAsync = plat::VarToBool(v); }},
    };
    return members;
}

}  // namespace

ComPtr<IDispatch> NewXmlDocument() { return ComPtr<IDispatch>(new TXmlDocument()); }

void RegisterXmlDom() {
    for (const char16_t* progId : {u"Microsoft.XMLDOM", u"MSXML2.DOMDocument"})
        plat::RegisterOleClass(progId, [] { return ComPtr<plat::IUnknown>(NewXmlDocument().Get()); });
}

}  // namespace xan::xml
