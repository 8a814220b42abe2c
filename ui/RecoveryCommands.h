#pragma once

#include <QObject>

class QAction;

namespace pictorant {

class MainWizard;

// "Undo Last Rename" and "Restore Last Deleted" at the end of the source pane's menu:
// each takes back the last rename run or the last deletion to the trash, says what it
// did through the message service and re-reads the panes.
class RecoveryCommands : public QObject {
    Q_OBJECT
public:
    // Adds a separator and the two entries to `form`'s source pane menu.
    explicit RecoveryCommands(MainWizard& form);

    void undoLastRenameClick();
    void restoreLastDeletedClick();

private:
    MainWizard& form_;
    QAction* undoLastRename_;
    QAction* restoreLastDeleted_;
};

} // namespace pictorant
