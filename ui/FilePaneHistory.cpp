#include "ui/FilePaneHistory.h"

namespace pictorant {

void FolderHistory::reset(const QString& start) {
    currentFolder = backFolder = forwardFolder = start;
    jumpBack = jumpForward = jumpTyped = false;
    backEnabled = forwardEnabled = false;
}

void FolderHistory::folderChanged(const QString& boxText, const QString& newFolder) {
    if (!jumpBack && !jumpForward)
        backFolder = boxText;
    // After Enter in the box, the box holds the typed text, not the folder being left.
    if (jumpTyped) {
        backFolder = currentFolder;
        jumpTyped = false;
    }
    currentFolder = newFolder;
    if (jumpBack) {
        backEnabled = false;
        forwardEnabled = true;
    } else {
        backEnabled = true;
        forwardEnabled = false;
    }
    jumpBack = jumpForward = false;
}

} // namespace pictorant
