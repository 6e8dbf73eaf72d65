// Restoring the unsaved layouts an earlier session left behind.
#include "app/mainwindow.h"

#include "designer/document.h"
#include "designer/messageboxes.h"
#include "designer/recoverystore.h"

#include <QLocale>

namespace cm {

// Each copy is offered in turn, newest first; No drops it, Cancel keeps it
// for the next start. A restored layout stays modified, so the user saves it
// on purpose; the copies not yet looked at stay too.
void MainWindow::offerRecovery()
{
    for (const RecoveryEntry& entry : RecoveryStore::list(paths_.recoveryFolder)) {
        const QString layout = entry.originalFile.isEmpty() ? tr("a new layout") : entry.originalFile;
        const QString question =
            tr("Cardmint was not closed normally. Unsaved changes to %1 from %2 were kept.\n\nRestore them?")
                .arg(layout, QLocale().toString(entry.written, QLocale::ShortFormat));
        switch (boxes_.ask(question, true)) {
        case MessageBoxes::Answer::Yes:
            if (RecoveryStore::restore(*document_, entry)) {
                recovery_->writeNow();   // this session's copy, before the old one goes
                RecoveryStore::discard(entry);
                afterLayoutChanged();
                showDesignCaption();
                return;
            }
            boxes_.error(tr("The kept changes could not be read; the copy stays in %1.").arg(entry.path));
            break;
        case MessageBoxes::Answer::No:
            RecoveryStore::discard(entry);
            break;
        default:
            return;
        }
    }
}

} // namespace cm
