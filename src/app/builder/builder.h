#pragma once
// Entry points of the expression builder, the script editor and the
// environment editor for the main window and the property dialogs.
#include "app/builder/buildercontext.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace cm {

// Opens the builder on `text`; OK gives back the edited formula on one line
// and true, Cancel leaves `text` as it was. An empty heading shows
// "Enter expression:".
bool editExpression(QWidget* parent, const BuilderContext& context, QString& text, const QString& heading = {});

// Opens the script editor on the sections of one component. The report has
// five event pages, a band the first two. OK writes the pages back into
// `script` and returns true.
bool editScript(QWidget* parent, const BuilderContext& context, QStringList& script, const QString& componentName,
                bool isReport);

// Opens the environment editor on the local environment (may be null) and,
// when allowed, the global one.
void editEnvironment(QWidget* parent, const BuilderContext& context, TQREvEnvironment* local, bool allowGlobal);

} // namespace cm
