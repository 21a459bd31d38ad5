#pragma once
// TVbLexer: colouring for the VBScript dialect in the demo's editors (the editor component has
// lexers for Pascal and many others, but none for this dialect): comments, strings, numbers and
// the dialect's reserved words, one line at a time.
#include <Qsci/qscilexercustom.h>

namespace xan::demo {

class TVbLexer : public QsciLexerCustom {
public:
    enum TStyle { vsDefault, vsComment, vsString, vsNumber, vsKeyword, vsStyleCount };

    explicit TVbLexer(QObject* AParent = nullptr);
    const char* language() const override { return "VBScript"; }
    QString description(int AStyle) const override;
    QColor defaultColor(int AStyle) const override;
    void styleText(int AStart, int AEnd) override;

    // The style of each byte of one line of text (UTF-8), for styleText and for tests.
    static QList<int> StyleLine(const QByteArray& ALine);
};

}  // namespace xan::demo
