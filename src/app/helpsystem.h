#pragma once
// The program's help: an HTML manual shipped with the program, shown in a
// help window with contents and search; help context numbers map to its
// topics, and what's-this texts come from the same topics.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>

class QAction;
class QWidget;

namespace cm {

class HelpIndex;
class HelpWindow;

class HelpSystem : public QObject {
    Q_OBJECT
public:
    // `manualFolder`: the folder holding index.html and the topic pages.
    explicit HelpSystem(const QString& manualFolder, QObject* parent = nullptr);
    ~HelpSystem() override;

    QString manualFolder() const { return folder_; }
    bool isAvailable() const;   // the manual's index page exists

    void showContents(QWidget* parent);
    void showSearch(QWidget* parent);
    void showTopic(int helpContext, QWidget* parent);
    // Plain or simple-HTML text for QWhatsThis; empty when the topic is unknown.
    QString whatsThisText(int helpContext) const;
    // Sets what's-this texts on every widget and action below `root` that has
    // a help context (property "helpContext", inherited from the parent as the
    // window's controls do).
    void applyWhatsThis(QWidget* root) const;

    // The page and anchor of a context's topic ("file.html#new"); empty
    // when the number has no topic.
    static QString topicOf(int helpContext);
    static QList<int> knownContexts();
    QUrl topicUrl(int helpContext) const;   // empty when there is no topic
    // A control's help context: its own, else its parent's, up to and
    // including its window; a label bound to a control has that control's;
    // a tool button showing an action has the action's. 0 when none is set.
    static int contextOf(const QWidget* widget);
    // An action's own context, else that of a toolbar (or other widget
    // but a menu) it is on, else that of the widget that owns it.
    static int contextOf(const QAction* action);

    HelpWindow* helpWindow() const;   // null until first shown
    const HelpIndex& index() const;

private:
    HelpWindow* window(QWidget* parent);
    QString folder_;
    QPointer<HelpWindow> window_;
    mutable std::unique_ptr<HelpIndex> index_;
};

} // namespace cm
