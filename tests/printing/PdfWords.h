#pragma once

#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <vector>

// Reading printed PDFs back: words with their boxes (pdftotext -bbox) and page counts.
namespace velomar::test {

constexpr double kMmPerPt = 25.4 / 72.0;

struct Word {
    int page;
    QString text;
    QRectF box; // mm from the paper's top-left corner
};

// The words as pdftotext writes them: page, then xMin, yMin, xMax, yMax (points) and text.
inline std::vector<std::pair<int, QStringList>> rawWordsOf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<std::pair<int, QStringList>> words;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page")))
            ++page;
        else
            words.emplace_back(page, m.capturedTexts().mid(1));
    }
    return words;
}

// The words with their text as printed (pdftotext writes it as HTML).
inline std::vector<Word> wordsOf(const QString& pdf) {
    std::vector<Word> words;
    for (const auto& [page, f] : rawWordsOf(pdf)) {
        const QPointF topLeft(f[0].toDouble() * kMmPerPt, f[1].toDouble() * kMmPerPt);
        const QPointF bottomRight(f[2].toDouble() * kMmPerPt, f[3].toDouble() * kMmPerPt);
        QString text = f[4];
        text.replace("&apos;", "'").replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">");
        text.replace("&amp;", "&");
        words.push_back({page, text, QRectF(topLeft, bottomRight)});
    }
    return words;
}

// The first word with this text (on this page, when one is given), or none.
inline const Word* findWord(const std::vector<Word>& words, const QString& text, int page = 0) {
    for (const Word& w : words)
        if (w.text == text && (page == 0 || w.page == page))
            return &w;
    return nullptr;
}

// One page of the PDF drawn at dpi, through a PNG in dir.
inline QImage pdfPage(const QString& pdf, int page, const QString& dir, int dpi = 100) {
    const QString prefix = dir + QStringLiteral("/page%1").arg(page);
    QProcess p;
    p.start("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l",
                         QString::number(page), "-png", "-singlefile", pdf, prefix});
    p.waitForFinished(60000);
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

inline int pageCount(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const auto m = QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace velomar::test
