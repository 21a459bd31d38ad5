#include "demo/VbLexer.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QSet>

#include <algorithm>
#include <cctype>

namespace xan::demo {

namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool IsKeyword(const QByteArray& AWord) {
    static const QSet<QByteArray> words = {
        "and", "byref", "byval", "call", "case", "catch", "dim", "do", "each", "else", "elseif", "empty",
        "end", "eqv", "erase", "exit", "false", "finally", "for", "function", "if", "imp", "in", "is",
        "loop", "mod", "new", "next", "not", "nothing", "null", "or", "preserve", "redim", "return",
        "select", "set", "step", "sub", "then", "throw", "to", "true", "try", "typeof", "until", "wend",
        "while", "xor"};
    return words.contains(AWord.toLower());
}

}  // namespace

TVbLexer::TVbLexer(QObject* AParent) : QsciLexerCustom(AParent) {}

QString TVbLexer::description(int AStyle) const {
    switch (AStyle) {
        case vsDefault: return "Default";
        case vsComment: return "Comment";
        case vsString: return "String";
        case vsNumber: return "Number";
        case vsKeyword: return "Keyword";
        default: return QString();
    }
}

QColor TVbLexer::defaultColor(int AStyle) const {
    switch (AStyle) {
        case vsComment: return QColor(0x00, 0x80, 0x00);
        case vsString: return QColor(0x80, 0x00, 0x80);
        case vsNumber: return QColor(0x00, 0x80, 0x80);
        case vsKeyword: return QColor(0x00, 0x00, 0x80);
        default: return QsciLexerCustom::defaultColor(AStyle);
    }
}

QList<int> TVbLexer::StyleLine(const QByteArray& ALine) {
    QList<int> styles(ALine.size(), vsDefault);
    for (qsizetype i = 0; i < ALine.size();) {
        const char c = ALine[i];
        qsizetype end = i + 1;
        int style = vsDefault;
        if (c == '\'') {
            end = ALine.size();  // a comment runs to the end of the line
            style = vsComment;
        } else if (c == '"') {
            // "" inside a string is a quote, not its end.
            while (end < ALine.size() && !(ALine[end] == '"' && (end + 1 >= ALine.size() || ALine[end + 1] != '"')))
                end += ALine[end] == '"' ? 2 : 1;
            end = std::min(end + 1, ALine.size());
            style = vsString;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (end < ALine.size() && (std::isalnum(static_cast<unsigned char>(ALine[end])) || ALine[end] == '.')) ++end;
            style = vsNumber;
        } else if (IsWordChar(c)) {
            while (end < ALine.size() && IsWordChar(ALine[end])) ++end;
            style = IsKeyword(ALine.mid(i, end - i)) ? vsKeyword : vsDefault;
        }
        for (qsizetype k = i; k < end; ++k) styles[k] = style;
        i = end;
    }
    return styles;
}

void TVbLexer::styleText(int AStart, int AEnd) {
    QsciScintilla* memo = editor();
    if (!memo) return;
    // From the start of the first line touched: a line's styles depend only on the line.
    int line = 0, index = 0;
    memo->lineIndexFromPosition(AStart, &line, &index);
    const int from = memo->positionFromLineIndex(line, 0);
    QByteArray text = memo->bytes(from, AEnd);
    text.truncate(AEnd - from);  // without the terminator the editor may append
    startStyling(from);
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0) lineEnd = text.size();
        for (const int style : StyleLine(text.mid(lineStart, lineEnd - lineStart))) setStyling(1, style);
        if (lineEnd < text.size()) setStyling(1, vsDefault);  // the line break
        lineStart = lineEnd + 1;
    }
}

}  // namespace xan::demo
