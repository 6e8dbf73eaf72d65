#include "helpindex.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace cm {

namespace {

constexpr int kSummaryParagraphs = 2;

QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QString toPlain(const QString& html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// Pages linked from index.html, in link order, then any page it leaves out.
QStringList pagesInOrder(const QString& folder)
{
    QStringList pages{QStringLiteral("index.html")};
    static const QRegularExpression link(QStringLiteral(R"re(href="([A-Za-z0-9_-]+\.html)")re"));
    const QString index = readText(folder + QStringLiteral("/index.html"));
    for (auto it = link.globalMatch(index); it.hasNext();) {
        const QString page = it.next().captured(1);
        if (!pages.contains(page))
            pages << page;
    }
    const QStringList all = QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString& page : all)
        if (!pages.contains(page))
            pages << page;
    return pages;
}

QString summaryOf(const QString& title, const QString& body)
{
    static const QRegularExpression paragraph(QStringLiteral(R"re(<p(\s[^>]*)?>(.*?)</p>)re"),
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression anchorTag(QStringLiteral(R"re(</?a(\s[^>]*)?>)re"));
    QString html = QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped());
    int taken = 0;
    for (auto it = paragraph.globalMatch(body); it.hasNext() && taken < kSummaryParagraphs;) {
        const auto m = it.next();
        if (m.captured(1).contains(QStringLiteral("nav")))
            continue;
        // Links cannot be followed from a what's-this popup.
        QString text = m.captured(2);
        text.remove(anchorTag);
        html += QStringLiteral("<p>%1</p>").arg(text.simplified());
        ++taken;
    }
    return taken ? html : QString();
}

} // namespace

HelpIndex::HelpIndex(const QString& manualFolder)
    : folder_(manualFolder)
{
    for (const QString& page : pagesInOrder(folder_))
        readPage(page);
}

void HelpIndex::readPage(const QString& page)
{
    const QString html = readText(folder_ + QLatin1Char('/') + page);
    static const QRegularExpression heading(QStringLiteral(R"re(<h([1-6])(\s[^>]*)?>(.*?)</h\1>)re"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression idAttr(QStringLiteral(R"re(\sid="([^"]+)")re"));

    struct Heading {
        int level;
        QString id;
        QString titleHtml;
        qsizetype start;
        qsizetype end;
    };
    std::vector<Heading> headings;
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const auto id = idAttr.match(m.captured(2));
        headings.push_back({m.captured(1).toInt(), id.hasMatch() ? id.captured(1) : QString(), m.captured(3),
                            m.capturedStart(), m.capturedEnd()});
    }
    const qsizetype bodyEnd = html.indexOf(QStringLiteral("</body>"));
    for (size_t i = 0; i < headings.size(); ++i) {
        const Heading& h = headings[i];
        if (h.id.isEmpty())
            continue;
        const qsizetype next = i + 1 < headings.size() ? headings[i + 1].start : (bodyEnd < 0 ? html.size() : bodyEnd);
        const QString body = html.mid(h.end, next - h.end);
        HelpTopic topic;
        topic.page = page;
        topic.anchor = h.id;
        topic.title = toPlain(h.titleHtml);
        topic.level = h.level;
        topic.plainText = topic.title + QLatin1Char(' ') + toPlain(body);
        topic.summary = summaryOf(topic.title, body);
        topics_.push_back(std::move(topic));
    }
}

const HelpTopic* HelpIndex::find(const QString& page, const QString& anchor) const
{
    for (const HelpTopic& t : topics_)
        if (t.page == page && t.anchor == anchor)
            return &t;
    return nullptr;
}

std::vector<const HelpTopic*> HelpIndex::search(const QString& query) const
{
    const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<const HelpTopic*> inTitle;
    std::vector<const HelpTopic*> inText;
    if (words.isEmpty())
        return inTitle;
    auto holdsAll = [&words](const QString& text) {
        for (const QString& w : words)
            if (!text.contains(w, Qt::CaseInsensitive))
                return false;
        return true;
    };
    for (const HelpTopic& t : topics_) {
        if (holdsAll(t.title))
            inTitle.push_back(&t);
        else if (holdsAll(t.plainText))
            inText.push_back(&t);
    }
    inTitle.insert(inTitle.end(), inText.begin(), inText.end());
    return inTitle;
}

QUrl HelpIndex::url(const HelpTopic& topic) const
{
    QUrl u = pageUrl(topic.page);
    if (topic.level > 1)
        u.setFragment(topic.anchor);
    return u;
}

QUrl HelpIndex::pageUrl(const QString& page) const
{
    return QUrl::fromLocalFile(QDir(folder_).absoluteFilePath(page));
}

} // namespace cm
