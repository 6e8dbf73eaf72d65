#pragma once
// The program's help: an HTML manual shipped with the program, shown in a
// help window with contents and search; help context numbers map to its
// topics, and what's-this texts come from the same topics.
#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace cm {

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

private:
    HelpWindow* window(QWidget* parent);
    QString folder_;
    HelpWindow* window_ = nullptr;
};

} // namespace cm
