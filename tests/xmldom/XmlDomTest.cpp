// The XML DOM object through scripts of both dialects: the same program written twice must
// give the same answers (and these answers).
#include "xmldom/XmlDom.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/core/Exception.h"
#include "platform/ole/TypeInfo.h"
#include "platform/ole/Variant.h"
#include "vm/machine/VirtMachine.h"

namespace xan::xml {
namespace {

using plat::UString;
using plat::Variant;

struct TCase {
    const char* what;
    const char16_t* pascal;  // an expression over the global d, after the setup
    const char16_t* vb;
    const char* want;
};

const char16_t* const PascalSetup =
    u"var d, n, e;\n"
    u"begin\n"
    u"  d := CreateOleObject('Microsoft.XMLDOM');\n"
    u"  d.loadXML('<root a=\"1\"><item id=\"x\">one</item><item id=\"y\">two</item></root>');\n"
    u"end;\n";
const char16_t* const VbSetup =
    u"Dim d, n, e\n"
    u"Set d = CreateObject(\"Microsoft.XMLDOM\")\n"
    u"d.loadXML \"<root a=\"\"1\"\"><item id=\"\"x\"\">one</item><item id=\"\"y\"\">two</item></root>\"\n";

class XmlDomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterXmlDom(); }
    static std::string Run(IXANLanguage* ALanguage, const char16_t* ASetup, const char16_t* AExpr) {
        TXANVirtMachine vm(ALanguage);
        std::string answer;
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            vm.Initialize(UString(ASetup));
            vm.Open();
            answer = plat::VarToUString(vm.Eval(UString(AExpr))).ToUtf8();
        });
        vm.Close();
        return e ? "error: " + e->Message().ToUtf8() : answer;
    }
};

TEST_F(XmlDomTest, BothDialectsReadAndBuildDocuments) {
    const TCase cases[] = {
        {"root name", u"d.documentElement.nodeName", u"d.documentElement.nodeName", "root"},
        {"text of all", u"d.text", u"d.text", "onetwo"},
        {"attribute", u"d.documentElement.getAttribute('a')", u"d.documentElement.getAttribute(\"a\")", "1"},
        {"missing attribute", u"VarIsNull(d.documentElement.getAttribute('b'))",
         u"IsNull(d.documentElement.getAttribute(\"b\"))", "True"},
        {"xpath single", u"d.selectSingleNode('//item[@id=\"y\"]').text",
         u"d.selectSingleNode(\"//item[@id='y']\").text", "two"},
        {"xpath list", u"d.selectNodes('/root/item').length", u"d.selectNodes(\"/root/item\").length", "2"},
        {"list item", u"d.selectNodes('/root/item').item(1).getAttribute('id')",
         u"d.selectNodes(\"/root/item\")(1).getAttribute(\"id\")", "y"},
        {"child nodes", u"d.documentElement.childNodes.length", u"d.documentElement.childNodes.length", "2"},
        {"serialised", u"d.documentElement.childNodes.item(0).xml", u"d.documentElement.childNodes.item(0).xml",
         "<item id=\"x\">one</item>"},
        {"nothing selected", u"VarToStr(d.selectSingleNode('/none') = nil)",
         u"d.selectSingleNode(\"/none\") Is Nothing", "True"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Run(new pas::TXANPasLanguage(), PascalSetup, c.pascal), c.want) << c.what << " (Pascal)";
        EXPECT_EQ(Run(new vb::TXANVbLanguage(), VbSetup, c.vb), c.want) << c.what << " (VBScript)";
    }
}

// Built from nothing, a node kept across a new load, and what a failed load and a bad XPath say.
TEST_F(XmlDomTest, BuildingKeepingAndFailing) {
    const char16_t* pascal =
        u"var d, kept;\n"
        u"function Build;\nvar r, c;\nbegin\n"
        u"  d := CreateOleObject('Microsoft.XMLDOM');\n"
        u"  r := d.createElement('list');\n  d.appendChild(r);\n"
        u"  c := d.createElement('entry');\n  c.setAttribute('n', 3);\n  c.text := 'a<b';\n  r.appendChild(c);\n"
        u"  Result := d.xml;\nend;\n"
        u"function Reload;\nbegin\n  kept := d.documentElement;\n  d.loadXML('<other/>');\n"
        u"  Result := kept.xml + ' ' + d.documentElement.nodeName;\nend;\n"
        u"function Broken;\nbegin\n  Result := VarToStr(d.loadXML('<a><b></a>')) + ' ' + IntToStr(d.parseError.line) + ' ' + "
        u"VarToStr(d.parseError.errorCode <> 0) + ' ' + VarToStr(d.documentElement = nil);\nend;\n"
        u"begin\nend;\n";
    const char16_t* vb =
        u"Dim d, kept\n"
        u"Function Build\n  Dim r, c\n"
        u"  Set d = CreateObject(\"Microsoft.XMLDOM\")\n"
        u"  Set r = d.createElement(\"list\")\n  d.appendChild r\n"
        u"  Set c = d.createElement(\"entry\")\n  c.setAttribute \"n\", 3\n  c.text = \"a<b\"\n  r.appendChild c\n"
        u"  Build = d.xml\nEnd Function\n"
        u"Function Reload\n  Set kept = d.documentElement\n  d.loadXML \"<other/>\"\n"
        u"  Reload = kept.xml & \" \" & d.documentElement.nodeName\nEnd Function\n"
        u"Function Broken\n  Broken = d.loadXML(\"<a><b></a>\") & \" \" & d.parseError.line & \" \" & "
        u"(d.parseError.errorCode <> 0) & \" \" & (d.documentElement Is Nothing)\nEnd Function\n";
    const struct {
        const char16_t* expr;
        const char* want;
    } steps[] = {
        {u"Build", "<list><entry n=\"3\">a&lt;b</entry></list>\r\n"},
        {u"Reload", "<list><entry n=\"3\">a&lt;b</entry></list> other"},
        {u"Broken", "False 1 True True"},
    };
    for (const bool isPascal : {true, false}) {
        TXANVirtMachine vm(isPascal ? static_cast<IXANLanguage*>(new pas::TXANPasLanguage()) : new vb::TXANVbLanguage());
        vm.Initialize(UString(isPascal ? pascal : vb));
        vm.Open();
        for (const auto& step : steps)
            EXPECT_EQ(plat::VarToUString(vm.RunProc(UString(step.expr))).ToUtf8(), step.want) << isPascal;
        const char16_t* badXPath = isPascal ? u"d.selectNodes('//[')" : u"d.selectNodes(\"//[\")";
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { vm.Eval(UString(badXPath)); });
        ASSERT_TRUE(e);
        EXPECT_NE(e->Message().ToUtf8().find("Invalid XPath expression: '//['"), std::string::npos) << e->Message().ToUtf8();
        vm.Close();
    }
}

// The debugger lists what type information says is readable.
TEST_F(XmlDomTest, ReadablePropertiesHaveTypeInformation) {
    const plat::ComPtr<plat::IDispatch> doc = NewXmlDocument();
    std::vector<std::string> names;
    for (const plat::DispProperty& p : plat::ListDispatchProperties(doc.Get())) names.push_back(p.name.ToUtf8());
    EXPECT_EQ(names, (std::vector<std::string>{"xml", "documentElement", "childNodes", "nodeName", "text",
                                               "parseError", "async"}));
}

TEST_F(XmlDomTest, LoadReadsAFile) {
    const std::string path = testing::TempDir() + "velmora_xmldom_test.xml";
    std::ofstream(path) << "<?xml version=\"1.0\"?>\n<config><key>v</key></config>\n";
    const std::u16string expr = std::u16string(u"d.load('") + std::u16string(UString::FromUtf8(path).view()) + u"')";
    TXANVirtMachine vm(new pas::TXANPasLanguage());
    vm.Initialize(u"var d;\nbegin\n  d := CreateOleObject('MSXML2.DOMDocument');\nend;\n");
    vm.Open();
    EXPECT_TRUE(plat::VarToBool(vm.Eval(UString(expr))));
    EXPECT_EQ(plat::VarToUString(vm.Eval(u"d.selectSingleNode('/config/key').text")).ToUtf8(), "v");
    std::remove(path.c_str());
    EXPECT_FALSE(plat::VarToBool(vm.Eval(UString(expr))));
    vm.Close();
}

}  // namespace
}  // namespace xan::xml
