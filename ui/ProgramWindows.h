#pragma once

#include "Main1.h"

#include <filesystem>
#include <memory>

namespace pictorant {

class SettingsFile;
class TForm3;

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

    TForm1& main() { return *main_; }
    SettingsFile& settings() { return *settings_; }

private:
    // A settings file that could not be read: said once, at start-up.
    void reportUnreadableSettings() const;

    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<TForm1> main_;
    std::unique_ptr<TForm3> dupeWarn_;
    std::unique_ptr<TForm2> preview_;
    std::unique_ptr<TForm4> confirmDelete_;
    std::unique_ptr<TfAbout> about_;
    std::unique_ptr<TfHTM> htmlEditor_;
    std::unique_ptr<TForm6> htmlOptions_;
    std::unique_ptr<TForm5> htmlHelp_;
    std::unique_ptr<TfDlgOutHTML> htmlOut_;
    std::unique_ptr<THRFPrmpt> hrefPrompt_;
};

} // namespace pictorant
