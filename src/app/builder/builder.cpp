#include "app/builder/builder.h"

#include "app/builder/environmenteditor.h"
#include "app/builder/expressionbuilder.h"
#include "app/builder/scripteditor.h"

namespace cm {

bool editExpression(QWidget* parent, const BuilderContext& context, QString& text, const QString& heading)
{
    ExpressionBuilder builder(context, heading, parent);
    builder.setFormula(text);
    if (builder.exec() != QDialog::Accepted)
        return false;
    text = builder.formula();
    return true;
}

bool editScript(QWidget* parent, const BuilderContext& context, QStringList& script, const QString& componentName,
                bool isReport)
{
    ScriptEditor editor(context, script, componentName, isReport, parent);
    if (editor.exec() != QDialog::Accepted)
        return false;
    script = editor.script();
    return true;
}

void editEnvironment(QWidget* parent, const BuilderContext& context, TQREvEnvironment* local, bool allowGlobal)
{
    EnvironmentEditor editor(context, local, allowGlobal, parent);
    editor.exec();
}

} // namespace cm
