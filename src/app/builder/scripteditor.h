#pragma once
// The script editor: one page per event of a component, each the body of
// that component's section in the layout's script.
#include "app/builder/buildercontext.h"

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QTabWidget;

namespace cm {

class ScriptEditor : public QDialog {
    Q_OBJECT
public:
    ScriptEditor(BuilderContext context, const QStringList& script, const QString& componentName, bool isReport,
                 QWidget* parent = nullptr);

    // The script with every page's section replaced (emptied pages removed).
    QStringList script() const;

private:
    void insertExpression(QPlainTextEdit* edit);

    BuilderContext context_;
    QStringList script_;
    QString component_;
    QTabWidget* tabs_ = nullptr;
    std::vector<std::pair<QString, QPlainTextEdit*>> pages_;   // event name, its text
};

} // namespace cm
