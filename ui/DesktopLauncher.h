#pragma once

#include <QString>

namespace pictorant {

// Programs and pages started outside this program. Failures are never reported: the
// desktop decides what happens. Tests install their own to see what would be started.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    // Opens a file with the desktop's default handler (a page in the web browser).
    virtual void openDocument(const QString& path) = 0;
    // Starts the first installed plain-text editor, with `path` when not empty.
    virtual void startPlainTextEditor(const QString& path) = 0;
    // Starts the first installed rich-text editor, without a file.
    virtual void startRichTextEditor() = 0;
};

// The launcher in use; the desktop's unless a test installed its own.
DesktopLauncher& launcher();
// Installs a launcher (nullptr restores the desktop's). The caller keeps ownership.
void setLauncher(DesktopLauncher* replacement);

} // namespace pictorant
