// The script editor on the report's and the bands' context menus, and the
// expression builder for a band's formulas.
#include "app/mainwindow.h"

#include "app/builder/builder.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"
#include "report/proptable.h"

namespace cm {

void MainWindow::connectBuilder()
{
    designer_->options().scriptEditByUser = true;
    designer_->editScriptHandler = [this](Component* c) {
        if (!c)
            return;
        QStringList script = document_->loader().script.lines;
        const bool isReport = c == &document_->report();
        if (!editScript(this, makeBuilderContext(*designer_), script, c->name(), isReport))
            return;
        document_->beginChange();
        document_->loader().script.setLines(script);
        document_->endChange();
    };
    designer_->editFormulaHandler = [this](Component* c, const QString& property) {
        const auto value = c ? getProperty(*c, property) : std::nullopt;
        if (!value || !std::holds_alternative<QString>(*value))
            return;
        QString text = std::get<QString>(*value);
        const QString heading = property == QLatin1String("PrintExpression")
                                    ? tr("Print expression of %1:").arg(c->name())
                                    : tr("Expression of %1:").arg(c->name());
        if (!editExpression(this, makeBuilderContext(*designer_), text, heading))
            return;
        // One undo step; an unchanged formula takes none.
        document_->beginChange(tr("expression"));
        cm::setProperty(*c, property, PropValue(text));
        document_->endChange();
    };
}

} // namespace cm
