#pragma once

#include <QString>

namespace pictorant {

// The one-step folder history of a file pane: one folder behind, one ahead, and the
// one-shot flags that say how the next change of folder comes about. Holds no widgets,
// so the rules can be driven directly.
class FolderHistory {
public:
    QString currentFolder;
    QString backFolder;
    QString forwardFolder;
    bool jumpBack = false;
    bool jumpForward = false;
    bool jumpTyped = false;

    // The buttons' state after the last change.
    bool backEnabled = false;
    bool forwardEnabled = false;

    // All three folders at `start`, flags cleared, both buttons disabled.
    void reset(const QString& start);

    // A change of folder. `boxText` is what the current-folder box shows at this moment
    // (the folder being left, or a typed path).
    void folderChanged(const QString& boxText, const QString& newFolder);

    // The hints of the two buttons: empty while the button is disabled.
    QString backHint() const { return backEnabled ? backFolder : QString(); }
    QString forwardHint() const { return forwardEnabled ? forwardFolder : QString(); }
};

} // namespace pictorant
