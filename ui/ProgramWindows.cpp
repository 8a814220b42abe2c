#include "ui/ProgramWindows.h"

#include "settings/SettingsFile.h"
#include "ui/AboutBox.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/DuplicateNamesDialog.h"
#include "ui/FramesLinkPrompt.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/LinkModeHelp.h"
#include "ui/MessageService.h"
#include "ui/PreviewWindow.h"
#include "ui/ReadableColours.h"
#include "ui/RecoveryCommands.h"

#include <QApplication>

namespace pictorant {

void setProgramIdentity(const QString& version) {
    QApplication::setApplicationName(QStringLiteral("Pictorant"));
    QApplication::setApplicationVersion(version);
}

ProgramWindows::ProgramWindows(const std::filesystem::path& settingsPath)
    : settings_(std::make_unique<SettingsFile>(settingsPath)) {
    // The order of creation: main window, preview, duplicate-name warning, deletion
    // confirmation, HTML editor, About box, gallery options, their help text, gallery
    // location, HREF prompt.
    main_ = std::make_unique<MainWizard>(settings_.get());
    SideWindows& sides = main_->sideWindows();
    preview_ = std::make_unique<PreviewWindow>();
    sides.preview = preview_.get();
    dupeWarn_ = std::make_unique<DuplicateNamesDialog>();
    sides.dupeWarn = dupeWarn_.get();
    confirmDelete_ = std::make_unique<DeleteFilesDialog>(settings_.get());
    sides.confirmDelete = confirmDelete_.get();
    htmlEditor_ = std::make_unique<HtmlEditorWindow>();
    sides.htmlEditor = htmlEditor_.get();
    about_ = std::make_unique<AboutBox>();
    sides.about = about_.get();
    htmlOptions_ = std::make_unique<GalleryOptionsDialog>(settings_.get());
    sides.htmlOptions = htmlOptions_.get();
    htmlHelp_ = std::make_unique<LinkModeHelp>();
    sides.htmlHelp = htmlHelp_.get();
    htmlOut_ = std::make_unique<GalleryLocationDialog>(settings_.get());
    sides.htmlOut = htmlOut_.get();
    hrefPrompt_ = std::make_unique<FramesLinkPrompt>();
    sides.hrefPrompt = hrefPrompt_.get();
    htmlOptions_->setCompanions(htmlHelp_.get(), hrefPrompt_.get());
    // Owned by the main window, whose source pane menu it extends.
    new RecoveryCommands(*main_);
    htmlOut_->setConfirmation(confirmDelete_.get());
    for (QWidget* window : std::initializer_list<QWidget*>{main_.get(), dupeWarn_.get(),
                                                           htmlOptions_.get(), hrefPrompt_.get()})
        keepFixedColoursReadable(window);
    reportUnreadableSettings();
}

void ProgramWindows::reportUnreadableSettings() const {
    const std::string& error = settings_->readError();
    if (error.empty())
        return;
    messages().inform(QStringLiteral("settingsRead"),
                      QString::fromStdString(error) +
                          QStringLiteral("\n\nThe factory settings are used for this session, "
                                         "and the file is left as it is."),
                      programTitle(), MessageIcon::Warning);
}

ProgramWindows::~ProgramWindows() {
    // The main window goes first, as closing it ends the program; the others follow.
    main_.reset();
    preview_.reset();
    dupeWarn_.reset();
    htmlOut_.reset(); // before the deletion confirmation it uses
    confirmDelete_.reset();
    htmlEditor_.reset();
    about_.reset();
    htmlOptions_.reset();
    htmlHelp_.reset();
    hrefPrompt_.reset();
}

} // namespace pictorant
