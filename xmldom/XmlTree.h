#pragma once
// TXmlTree: one parsed (or new) libxml2 document and every node made for it. Script objects
// for the document and its nodes share the tree, so a node a script still holds stays valid
// after its document loads another text. Nodes made but never placed (or taken out again) are
// freed with the tree.
#include <memory>
#include <string>
#include <vector>

#include "platform/core/UString.h"

struct _xmlDoc;
struct _xmlNode;

namespace xan::xml {

using TXmlNodePtr = _xmlNode*;

// What the last load reported: code 0 when it succeeded.
struct TXmlParseResult {
    int Code = 0;
    plat::UString Reason;
    int Line = 0;
    int Column = 0;
};

class TXmlTree {
public:
    TXmlTree();  // an empty document
    ~TXmlTree();
    TXmlTree(const TXmlTree&) = delete;
    TXmlTree& operator=(const TXmlTree&) = delete;

    // A tree parsed from AText (UTF-16) or from the file at APath; on failure an empty tree
    // and the parser's report in AResult.
    static std::shared_ptr<TXmlTree> Parse(const plat::UString& AText, TXmlParseResult& AResult);
    static std::shared_ptr<TXmlTree> Load(const std::string& APath, TXmlParseResult& AResult);

    _xmlDoc* Doc() const noexcept { return FDoc; }
    TXmlNodePtr Root() const noexcept;
    TXmlNodePtr NewElement(const plat::UString& AName);
    // AChild (a node of this tree) moves under AParent (the document itself: as its root).
    void Append(TXmlNodePtr AParent, TXmlNodePtr AChild);
    bool Owns(TXmlNodePtr ANode) const noexcept;

private:
    explicit TXmlTree(_xmlDoc* ADoc) noexcept : FDoc(ADoc) {}
    _xmlDoc* FDoc;
    std::vector<TXmlNodePtr> FMade;  // nodes made by NewElement, freed here when unplaced
};

// Texts between libxml2 (UTF-8) and scripts (UTF-16).
plat::UString FromXml(const unsigned char* AText);
std::string ToXml(const plat::UString& AText);

// Node facts scripts read.
plat::UString NodeName(TXmlNodePtr ANode);
plat::UString NodeText(TXmlNodePtr ANode);
plat::UString NodeXml(TXmlNodePtr ANode);
int NodeType(TXmlNodePtr ANode);
void SetNodeText(TXmlNodePtr ANode, const plat::UString& AText);
// The nodes an XPath expression selects with ANode as the context; raises for a bad expression.
std::vector<TXmlNodePtr> SelectNodes(TXmlTree& ATree, TXmlNodePtr ANode, const plat::UString& AXPath);
std::vector<TXmlNodePtr> ChildNodes(TXmlNodePtr ANode);

}  // namespace xan::xml
