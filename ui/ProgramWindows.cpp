#include "ProgramWindows.h"

#include "DupeWarn.h"
#include "settings/SettingsFile.h"

namespace pictorant {

ProgramWindows::ProgramWindows(const std::filesystem::path& settingsPath)
    : settings_(std::make_unique<SettingsFile>(settingsPath)) {
    // The order of creation: main window, preview, duplicate-name warning, deletion
    // confirmation, HTML editor, About box, gallery options, their help text, gallery
    // location, HREF prompt.
    main_ = std::make_unique<TForm1>(settings_.get());
    SideWindows& sides = main_->sideWindows();
    dupeWarn_ = std::make_unique<TForm3>();
    sides.dupeWarn = dupeWarn_.get();
}

ProgramWindows::~ProgramWindows() {
    // The main window goes first, as closing it ends the program; the others follow.
    main_.reset();
    dupeWarn_.reset();
}

} // namespace pictorant
