#include "helpwindow.h"

#include "appicons.h"
#include "helpindex.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cm {

namespace {

constexpr int kUrlRole = Qt::UserRole;

QToolButton* navButton(const QIcon& icon, const QString& tip, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(icon);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

} // namespace

HelpWindow::HelpWindow(const HelpIndex& index, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , index_(index)
{
    setWindowTitle(tr("Cardmint Help"));
    setWindowIcon(applicationIcon());
    resize(860, 600);

    auto* back = navButton(themedIcon(QStringLiteral("go-previous"), QStringLiteral("go-previous")), tr("Back"), this);
    auto* forward = navButton(themedIcon(QStringLiteral("go-next"), QStringLiteral("go-next")), tr("Forward"), this);
    auto* home = navButton(themedIcon(QStringLiteral("go-home"), QStringLiteral("go-home")), tr("Contents"), this);
    back->setEnabled(false);
    forward->setEnabled(false);

    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, &HelpWindow::showContents);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] { showMessage({}); });

    contents_ = new QTreeWidget(this);
    contents_->setHeaderHidden(true);
    fillContents();
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showUrl(item->data(0, kUrlRole).toUrl()); });
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showUrl(item->data(0, kUrlRole).toUrl()); });

    auto* searchPane = new QWidget(this);
    searchBox_ = new QLineEdit(searchPane);
    searchBox_->setPlaceholderText(tr("Words to look for"));
    searchBox_->setClearButtonEnabled(true);
    results_ = new QListWidget(searchPane);
    auto* searchLayout = new QVBoxLayout(searchPane);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(searchBox_);
    searchLayout->addWidget(results_);
    connect(searchBox_, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(searchBox_, &QLineEdit::returnPressed, this, [this] {
        if (results_->count() > 0)
            showUrl(results_->item(0)->data(kUrlRole).toUrl());
    });
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showUrl(item->data(kUrlRole).toUrl()); });
    connect(results_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showUrl(item->data(kUrlRole).toUrl()); });

    tabs_ = new QTabWidget(this);
    tabs_->addTab(contents_, tr("Contents"));
    tabs_->addTab(searchPane, tr("Search"));

    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->hide();

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* navRow = new QHBoxLayout;
    navRow->addWidget(back);
    navRow->addWidget(forward);
    navRow->addWidget(home);
    navRow->addStretch();
    rightLayout->addLayout(navRow);
    rightLayout->addWidget(browser_, 1);
    rightLayout->addWidget(message_);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(tabs_);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 630});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
}

void HelpWindow::fillContents()
{
    QTreeWidgetItem* page = nullptr;
    for (const HelpTopic& t : index_.topics()) {
        QTreeWidgetItem* item = nullptr;
        if (t.level == 1 || !page) {
            item = new QTreeWidgetItem(contents_);
            page = item;
        } else {
            item = new QTreeWidgetItem(page);
        }
        item->setText(0, t.title);
        item->setData(0, kUrlRole, index_.url(t));
    }
}

void HelpWindow::present()
{
    show();
    raise();
    activateWindow();
}

void HelpWindow::showUrl(const QUrl& url)
{
    if (!url.isEmpty())
        browser_->setSource(url);
    present();
}

void HelpWindow::showContents()
{
    tabs_->setCurrentWidget(contents_);
    showUrl(index_.pageUrl(QStringLiteral("index.html")));
}

void HelpWindow::startSearch()
{
    tabs_->setCurrentIndex(1);
    present();
    searchBox_->setFocus();
    searchBox_->selectAll();
}

void HelpWindow::search(const QString& query)
{
    if (searchBox_->text() != query) {
        searchBox_->setText(query);   // comes back here through textChanged
        return;
    }
    results_->clear();
    for (const HelpTopic* t : index_.search(query)) {
        auto* item = new QListWidgetItem(t->title, results_);
        item->setData(kUrlRole, index_.url(*t));
    }
    if (!query.trimmed().isEmpty() && results_->count() == 0)
        showMessage(tr("No topic holds all of these words."));
    else
        showMessage({});
}

void HelpWindow::showMessage(const QString& text)
{
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
}

} // namespace cm
