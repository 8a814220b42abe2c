// The settings file as the program's windows use it: read while they are created,
// written while they are destroyed.

#include "settings/GalleryOptions.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "tests/ui/WizardSupport.h"
#include "ui/ProgramWindows.h"

namespace pictorant::uitest {
namespace {

class SettingsWiring : public MainWindowTest {
protected:
    QString ini = root + "/Pictorant.ini";
};

// The windows write every group whole, with the values the settings layer writes for a
// fresh start (the settings tests pin those values).
TEST_F(SettingsWiring, FirstExitWritesEveryKeyWithItsFactoryValue) {
    { ProgramWindows windows(ini.toStdString()); }
    EXPECT_TRUE(script.asked.empty()) << script.ids().join(",").toStdString();
    SettingsFile factory((root + "/factory.ini").toStdString()); // in the order of an exit
    writeMainSettings(factory, factoryMainSettings());
    writeHtmlName(factory, factoryHtmlName());
    writeRecycleBin(factory, factoryRecycleBin());
    writeGalleryOptions(factory, factoryGalleryOptions());
    EXPECT_EQ(fileBytes(ini), fileBytes(root + "/factory.ini"));
}

TEST_F(SettingsWiring, MainWindowReadsItsGroupAndWritesTheControlsBack) {
    const QString in = sub("in");
    writeFile(ini, ("[Directories]\r\nInput=" + in + "\r\nOutput=" + root +
                    "/gone\r\n[thumbnails]\r\nresize speed=quality\r\nThumb Width= 120 \r\n"
                    "Maintain Ratio=2\r\nForce Width=1\r\nForce Height=1\r\nCreate As=tif\r\n"
                    "Naming Option=SufName\r\nOutput File Qualifier=_t\r\nJpg Compression=5\r\n"
                    "Overwrite Files=0\r\n")
                       .toUtf8());
    {
        ProgramWindows windows(ini.toStdString());
        MainWizard& f = windows.main();
        EXPECT_EQ(f.inputFolder(), in);
        EXPECT_EQ(f.outputFolder(), "/") << "a stored folder that is gone gives the root";
        // The controls left alone are seen in the file written at exit.
        EXPECT_EQ(ctl<QComboBox>(f, "cbConvert")->currentText(), "jpg");
        EXPECT_EQ(ctl<QSlider>(f, "tbJpg")->value(), 10);
        ctl<QComboBox>(f, "cbConvert")->setCurrentText("No Conversion");
        ctl<QLineEdit>(f, "eSeq")->setText("050");
        ctl<QSlider>(f, "tbJpg")->setValue(75);
        ASSERT_TRUE(showFolder(f.targetPane(), in, 0));
    }
    const SettingsFile written(ini.toStdString());
    const std::pair<const char*, const char*> thumbs[] = {
        {"Resize Speed", "Fast"},     {"Thumb Width", "120"},   {"Maintain Ratio", "1"},
        {"Force Width", "0"},         {"Force Height", "1"},    {"Create As", "No Conversion"},
        {"Naming Option", "SufName"}, {"Jpg Compression", "75"}};
    for (const auto& [key, value] : thumbs)
        EXPECT_EQ(written.readText("Thumbnails", key, "-"), value) << key;
    EXPECT_EQ(written.readText("Directories", "Output", ""), in.toStdString());
    EXPECT_FALSE(fileBytes(ini).contains("050")) << "the sequence start is not kept";
}

TEST_F(SettingsWiring, AFileThatCannotBeWrittenOrReadIsReportedAndLeftAlone) {
    writeFile(root + "/plain"); // a path through a regular file: not even root can write
    const QString blocked = root + "/plain/Pictorant.ini";
    { ProgramWindows windows(blocked.toStdString()); }
    EXPECT_GE(script.asked.size(), 4u) << "every group tried its own write";
    for (const MessageRequest& r : script.asked)
        EXPECT_EQ(r.text, "Unable to write to " + blocked) << r.id.toStdString();

    ScriptedMessages local;
    QDir().mkpath(ini); // a folder at the path cannot be read
    {
        ProgramWindows windows(ini.toStdString());
        EXPECT_TRUE(local.last().text.startsWith("Cannot read settings file " + ini));
    }
    EXPECT_EQ(local.ids(), QStringList{"settingsRead"}) << "nothing more at exit";
    EXPECT_TRUE(QFileInfo(ini).isDir());
}

} // namespace
} // namespace pictorant::uitest
