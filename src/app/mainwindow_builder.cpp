// The script editor on the report's and the bands' context menus.
#include "app/mainwindow.h"

#include "app/builder/builder.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"

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
}

} // namespace cm
