#pragma once
// The manual's window: contents and search on the left, the page on the
// right, with back, forward and home buttons.
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QUrl;

namespace cm {

class HelpIndex;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // `index` must outlive the window.
    HelpWindow(const HelpIndex& index, QWidget* parent = nullptr);

    void showUrl(const QUrl& url);   // shows and raises the window
    void showContents();             // the contents page
    void startSearch();              // the search tab, with the cursor in the box
    void search(const QString& query);
    void showMessage(const QString& text);   // one line below the page; empty hides it

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchBox() const { return searchBox_; }
    QListWidget* searchResults() const { return results_; }
    QTreeWidget* contentsTree() const { return contents_; }

private:
    void fillContents();
    void present();
    const HelpIndex& index_;
    QTextBrowser* browser_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QListWidget* results_ = nullptr;
    QLabel* message_ = nullptr;
};

} // namespace cm
