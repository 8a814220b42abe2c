#pragma once

#include "ui/MainWizard.h"

#include <filesystem>
#include <memory>

namespace pictorant {

// The program's name and version for the toolkit. No display name is set: the toolkit
// would add it to every window title, and the titles are the windows' captions alone.
void setProgramIdentity(const QString& version);

class SettingsFile;
class DuplicateNamesDialog;

// Every window of the program, created once in a fixed order (the main window first)
// and destroyed at exit. Each window that owns a settings group reads it from the one
// settings file while it is created and writes it while it is destroyed.
//
// A window joins by getting a member below, one line in create() in its place of the
// order, and one in the destructor; its pointer goes into the main window's SideWindows.
class ProgramWindows {
public:
    explicit ProgramWindows(const std::filesystem::path& settingsPath);
    ~ProgramWindows();

    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    MainWizard& main() { return *main_; }
    SettingsFile& settings() { return *settings_; }

private:
    // A settings file that could not be read: said once, at start-up.
    void reportUnreadableSettings() const;

    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<MainWizard> main_;
    std::unique_ptr<DuplicateNamesDialog> dupeWarn_;
    std::unique_ptr<PreviewWindow> preview_;
    std::unique_ptr<DeleteFilesDialog> confirmDelete_;
    std::unique_ptr<AboutBox> about_;
    std::unique_ptr<HtmlEditorWindow> htmlEditor_;
    std::unique_ptr<GalleryOptionsDialog> htmlOptions_;
    std::unique_ptr<LinkModeHelp> htmlHelp_;
    std::unique_ptr<GalleryLocationDialog> htmlOut_;
    std::unique_ptr<FramesLinkPrompt> hrefPrompt_;
};

} // namespace pictorant
