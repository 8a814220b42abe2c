#include "ui/RecoveryCommands.h"

#include "engine/RenameJournal.h"
#include "ui/MainWizard.h"
#include "ui/MessageService.h"
#include "ui/TrashRecord.h"

#include <QAction>
#include <QMenu>

namespace pictorant {

RecoveryCommands::RecoveryCommands(MainWizard& form) : QObject(&form), form_(form) {
    form.sourceMenu().addSeparator();
    undoLastRename_ = form.sourceMenu().addAction(QStringLiteral("Undo Last Rename"));
    undoLastRename_->setObjectName(QStringLiteral("UndoLastRename1"));
    restoreLastDeleted_ = form.sourceMenu().addAction(QStringLiteral("Restore Last Deleted"));
    restoreLastDeleted_->setObjectName(QStringLiteral("RestoreLastDeleted1"));
    connect(undoLastRename_, &QAction::triggered, this, &RecoveryCommands::undoLastRenameClick);
    connect(restoreLastDeleted_, &QAction::triggered, this,
            &RecoveryCommands::restoreLastDeletedClick);
}

void RecoveryCommands::undoLastRenameClick() {
    const UndoOutcome outcome = undoLastRename(defaultRenameJournalPath());
    form_.rereadPanes();
    messages().inform(QStringLiteral("undoLastRename"), QString::fromStdString(outcome.message),
                      programTitle(),
                      outcome.complete ? MessageIcon::Information : MessageIcon::Warning);
}

void RecoveryCommands::restoreLastDeletedClick() {
    const RestoreOutcome outcome = TrashRecord().restore();
    form_.rereadPanes();
    messages().inform(QStringLiteral("restoreLastDeleted"), restoreMessage(outcome), programTitle(),
                      outcome.notRestored.isEmpty() ? MessageIcon::Information
                                                    : MessageIcon::Warning);
}

} // namespace pictorant
