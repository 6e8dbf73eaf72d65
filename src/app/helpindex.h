#pragma once
// The manual's pages, read once: every heading with an id is a topic, with
// its plain text for searching and its first paragraphs for what's-this.
#include <QString>
#include <QUrl>
#include <vector>

namespace cm {

struct HelpTopic {
    QString page;       // file name inside the manual folder, "file.html"
    QString anchor;     // the heading's id
    QString title;      // the heading's text
    int level = 1;      // 1 for a page's title, 2 and 3 for its sections
    QString plainText;  // heading and body without markup
    QString summary;    // the first paragraphs as simple HTML
};

class HelpIndex {
public:
    explicit HelpIndex(const QString& manualFolder);

    // Pages in the order the contents page links them, topics in page order.
    const std::vector<HelpTopic>& topics() const { return topics_; }
    const HelpTopic* find(const QString& page, const QString& anchor) const;
    // Topics holding every word of `query` (case-insensitive), those whose
    // title holds them first. Empty for an empty query.
    std::vector<const HelpTopic*> search(const QString& query) const;
    QUrl url(const HelpTopic& topic) const;
    QUrl pageUrl(const QString& page) const;

private:
    void readPage(const QString& page);
    QString folder_;
    std::vector<HelpTopic> topics_;
};

} // namespace cm
