#include "xmldom/XmlTree.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

#include <algorithm>

#include "platform/core/Exception.h"

namespace xan::xml {

using plat::UString;

namespace {

const xmlChar* Chars(const std::string& AText) { return reinterpret_cast<const xmlChar*>(AText.c_str()); }

// The parser's last error as the load result; libxml2 keeps it per thread.
void TakeParseError(TXmlParseResult& AResult) {
    const xmlError* error = xmlGetLastError();
    AResult.Code = error && error->code ? error->code : XML_ERR_DOCUMENT_EMPTY;
    std::string reason = error && error->message ? error->message : "The document is empty.";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    AResult.Reason = UString::FromUtf8(reason);
    AResult.Line = error ? error->line : 0;
    AResult.Column = error ? error->int2 : 0;
}

// No output of the parser to standard error: the script reads the report instead.
void Silence(void*, const char*, ...) {}

constexpr int ParseOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR;

std::shared_ptr<TXmlTree> Finish(xmlDocPtr ADoc, TXmlParseResult& AResult,
                                 std::shared_ptr<TXmlTree> (*AMake)(xmlDocPtr)) {
    if (!ADoc) {
        TakeParseError(AResult);
        return std::make_shared<TXmlTree>();
    }
    AResult = {};
    return AMake(ADoc);
}

}  // namespace

TXmlTree::TXmlTree() : FDoc(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"))) {}

TXmlTree::~TXmlTree() {
    for (TXmlNodePtr node : FMade)
        if (!node->parent) xmlFreeNode(node);
    xmlFreeDoc(FDoc);
}

std::shared_ptr<TXmlTree> TXmlTree::Parse(const UString& AText, TXmlParseResult& AResult) {
    xmlSetGenericErrorFunc(nullptr, Silence);
    xmlResetLastError();
    const std::string text = ToXml(AText);
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", ParseOptions);
    return Finish(doc, AResult, [](xmlDocPtr d) { return std::shared_ptr<TXmlTree>(new TXmlTree(d)); });
}

std::shared_ptr<TXmlTree> TXmlTree::Load(const std::string& APath, TXmlParseResult& AResult) {
    xmlSetGenericErrorFunc(nullptr, Silence);
    xmlResetLastError();
    xmlDocPtr doc = xmlReadFile(APath.c_str(), nullptr, ParseOptions);
    return Finish(doc, AResult, [](xmlDocPtr d) { return std::shared_ptr<TXmlTree>(new TXmlTree(d)); });
}

TXmlNodePtr TXmlTree::Root() const noexcept { return xmlDocGetRootElement(FDoc); }

TXmlNodePtr TXmlTree::NewElement(const UString& AName) {
    const std::string name = ToXml(AName);
    if (xmlValidateName(Chars(name), 0) != 0)
        plat::Throw<plat::Exception>(UString(u"Invalid element name: '") + AName + UString(u"'"));
    TXmlNodePtr node = xmlNewDocNode(FDoc, nullptr, Chars(name), nullptr);
    FMade.push_back(node);
    return node;
}

void TXmlTree::Append(TXmlNodePtr AParent, TXmlNodePtr AChild) {
    if (!Owns(AChild)) plat::Throw<plat::Exception>(UString(u"The node belongs to another document."));
    for (TXmlNodePtr up = AParent; up; up = up->parent)
        if (up == AChild) plat::Throw<plat::Exception>(UString(u"A node cannot be appended below itself."));
    if (AParent == reinterpret_cast<TXmlNodePtr>(FDoc)) {
        if (Root() && Root() != AChild)
            plat::Throw<plat::Exception>(UString(u"Only one top level element is allowed in an XML document."));
        xmlUnlinkNode(AChild);
        xmlDocSetRootElement(FDoc, AChild);
        return;
    }
    xmlUnlinkNode(AChild);
    xmlAddChild(AParent, AChild);
}

bool TXmlTree::Owns(TXmlNodePtr ANode) const noexcept { return ANode && ANode->doc == FDoc; }

UString FromXml(const unsigned char* AText) {
    return AText ? UString::FromUtf8(reinterpret_cast<const char*>(AText)) : UString();
}

std::string ToXml(const UString& AText) { return AText.ToUtf8(); }

UString NodeName(TXmlNodePtr ANode) {
    switch (ANode->type) {
        case XML_DOCUMENT_NODE: return UString(u"#document");
        case XML_TEXT_NODE: return UString(u"#text");
        case XML_CDATA_SECTION_NODE: return UString(u"#cdata-section");
        case XML_COMMENT_NODE: return UString(u"#comment");
        default: return FromXml(ANode->name);
    }
}

UString NodeText(TXmlNodePtr ANode) {
    xmlChar* content = xmlNodeGetContent(ANode);
    UString text = FromXml(content);
    xmlFree(content);
    return text;
}

UString NodeXml(TXmlNodePtr ANode) {
    xmlBufferPtr buffer = xmlBufferCreate();
    if (ANode->type == XML_DOCUMENT_NODE) {
        for (TXmlNodePtr child = ANode->children; child; child = child->next) {
            xmlNodeDump(buffer, ANode->doc, child, 0, 0);
            xmlBufferCCat(buffer, "\r\n");
        }
    } else {
        xmlNodeDump(buffer, ANode->doc, ANode, 0, 0);
    }
    UString text = FromXml(xmlBufferContent(buffer));
    xmlBufferFree(buffer);
    return text;
}

int NodeType(TXmlNodePtr ANode) { return static_cast<int>(ANode->type); }

void SetNodeText(TXmlNodePtr ANode, const UString& AText) {
    const std::string text = ToXml(AText);
    if (ANode->type != XML_ELEMENT_NODE) {
        xmlNodeSetContentLen(ANode, Chars(text), static_cast<int>(text.size()));
        return;
    }
    // The children give way to one text node; xmlNewDocText escapes nothing it need not.
    while (TXmlNodePtr child = ANode->children) {
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
    xmlAddChild(ANode, xmlNewDocText(ANode->doc, Chars(text)));
}

std::vector<TXmlNodePtr> SelectNodes(TXmlTree& ATree, TXmlNodePtr ANode, const UString& AXPath) {
    xmlXPathContextPtr context = xmlXPathNewContext(ATree.Doc());
    context->node = ANode;
    const std::string expression = ToXml(AXPath);
    xmlSetGenericErrorFunc(nullptr, Silence);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlXPathObjectPtr result = xmlXPathEvalExpression(Chars(expression), context);
    xmlXPathFreeContext(context);
    if (!result) plat::Throw<plat::Exception>(UString(u"Invalid XPath expression: '") + AXPath + UString(u"'"));
    std::vector<TXmlNodePtr> nodes;
    if (result->type == XPATH_NODESET && result->nodesetval)
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
            if (result->nodesetval->nodeTab[i]->type != XML_NAMESPACE_DECL)  // not a node in memory
                nodes.push_back(result->nodesetval->nodeTab[i]);
    xmlXPathFreeObject(result);
    return nodes;
}

std::vector<TXmlNodePtr> ChildNodes(TXmlNodePtr ANode) {
    std::vector<TXmlNodePtr> nodes;
    for (TXmlNodePtr child = ANode->children; child; child = child->next) nodes.push_back(child);
    return nodes;
}

}  // namespace xan::xml
