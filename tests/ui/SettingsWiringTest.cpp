// The settings file as the program's windows use it: read while they are created,
// written while they are destroyed.

#include "WizardSupport.h"

#include "ProgramWindows.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"

namespace pictorant::uitest {
namespace {

class SettingsWiring : public ::testing::Test {
protected:
    SettingsWiring() { application(); }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString iniPath() const { return dir.path() + "/Pictorant.ini"; }
    QString readIni() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void writeIni(const QString& text) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    // key=value lines of a section, in file order.
    QStringList section(const QString& name) const {
        QStringList lines;
        bool in = false;
        for (const QString& raw : readIni().split(QRegularExpression("\r?\n"))) {
            const QString line = raw.trimmed();
            if (line.startsWith('[')) {
                in = line.compare("[" + name + "]", Qt::CaseInsensitive) == 0;
                continue;
            }
            if (in && !line.isEmpty())
                lines << line;
        }
        return lines;
    }

    QTemporaryDir dir;
    ScriptedMessages script;
};

TEST_F(SettingsWiring, FirstExitWritesEveryKeyWithItsFactoryValue) {
    { ProgramWindows windows(iniPath().toStdString()); }
    EXPECT_TRUE(script.asked.empty()) << script.ids().join(",").toStdString();

    const QStringList directories = section("Directories");
    for (const char* line : {"Input=/", "Output=/", "RecycleBin=Yes", "htmlName=MyWeb.htm"})
        EXPECT_TRUE(directories.contains(line)) << line;
    EXPECT_EQ(section("Thumbnails"),
              (QStringList{"Resize Speed=Quality", "Thumb Width=96", "Thumb Height=96",
                           "Maintain Ratio=0", "Force Width=0", "Force Height=0", "Create As=jpg",
                           "Naming Option=PreSeq", "Output File Qualifier=Thumb",
                           "Jpg Compression=90", "Overwrite Files=1"}));

    const std::pair<const char*, QStringList> gallery[] = {
        {"Linking", {"OriginalLinkOpt=2", "LinkOriginal=1", "ThumbLinkOpt=2", "LinkName=1"}},
        {"Layout",
         {"WindowOpt=0", "LinkBorderSize=1", "LinkBorder=1", "LinkStats=1",
          "BannerString=Pictorant", "BannerHeadSize=0", "TileBkgd=0", "SampleText=0",
          "ThmPerPage=25", "MultiPg=1", "NavBtns=2", "UseNavBtns=1", "UseFrames=0"}},
        {"Colors",
         {"PageBkgd=16777215", "Text=0", "BannerText=0", "TableBkgd=10526880",
          "CellBkgd=16777215"}},
        {"Tables",
         {"Columns=5", "BorderSize=1", "TableWidth=0", "CellPad=2", "CellSpace=2",
          "TableAlignment=Center", "UseBkgdColor=1",
          "TableCaption=Click thumbnail to see full size image", "IncludeCaption=1",
          "CaptionAlign=Top", "CellHAlign=Center", "CellVAlign=Middle", "UseCellColor=0",
          "UseTables=1"}},
    };
    for (const auto& [name, expected] : gallery) {
        const QStringList lines = section(name);
        for (const QString& line : expected)
            EXPECT_TRUE(lines.contains(line)) << name << ": " << line.toStdString();
        EXPECT_EQ(lines.size(), expected.size()) << name;
    }
}

TEST_F(SettingsWiring, MainWindowReadsItsGroupAndWritesTheControlsBack) {
    QTemporaryDir folders;
    const QString in = folders.path() + "/in";
    QDir().mkpath(in);
    writeIni("[Directories]\r\nInput=" + in + "\r\nOutput=" + folders.path() +
             "/gone\r\n[thumbnails]\r\nresize speed=quality\r\nThumb Width= 120 \r\n"
             "Maintain Ratio=2\r\nForce Width=1\r\nForce Height=1\r\nCreate As=png\r\n"
             "Naming Option=SufName\r\nOutput File Qualifier=_t\r\nJpg Compression=5\r\n"
             "Overwrite Files=0\r\n");
    {
        ProgramWindows windows(iniPath().toStdString());
        MainWizard& f = windows.main();
        EXPECT_EQ(f.inputFolder(), in);
        EXPECT_EQ(f.outputFolder(), "/"); // a stored folder that is gone gives the root
        EXPECT_FALSE(f.sourcePane().backButton()->isEnabled());
        EXPECT_TRUE(ctl<QRadioButton>(f, "rbFast")
                        ->isChecked()); // "quality" in lower case is not "Quality"
        EXPECT_EQ(ctl<QLineEdit>(f, "eWidth")->text(), "120");
        EXPECT_TRUE(ctl<QCheckBox>(f, "cbRatio")->isChecked());
        EXPECT_FALSE(ctl<QLineEdit>(f, "eHeight")->isVisibleTo(ctl<QWidget>(f, "tsTO")));
        EXPECT_TRUE(ctl<QCheckBox>(f, "cbFHeight")->isChecked());
        EXPECT_FALSE(ctl<QCheckBox>(f, "cbFWidth")->isChecked());
        EXPECT_EQ(ctl<QComboBox>(f, "cbConvert")->currentText(), "jpg");
        EXPECT_EQ(ctl<QComboBox>(f, "cbNameOption")->currentIndex(), int(NamingOption::SufName));
        EXPECT_TRUE(ctl<QLineEdit>(f, "eSeq")->isHidden());
        EXPECT_EQ(ctl<QLineEdit>(f, "eQualThumb")->text(), "_t");
        EXPECT_EQ(ctl<QSlider>(f, "tbJpg")->value(), 10);
        EXPECT_EQ(ctl<QLabel>(f, "lJpgVal")->text(), "10");
        EXPECT_FALSE(ctl<QCheckBox>(f, "cbOverwrite")->isChecked());

        // What the controls hold at exit is what the file gets.
        ctl<QComboBox>(f, "cbConvert")->setCurrentText("No Conversion");
        ctl<QLineEdit>(f, "eQualImage")->setText("not kept");
        ctl<QLineEdit>(f, "eSeq")->setText("050");
        ctl<QSlider>(f, "tbJpg")->setValue(75);
        ASSERT_TRUE(showFolder(f.targetPane(), in, 0));
    }
    // The file kept its own spelling of the names ("[thumbnails]", "resize speed").
    QStringList thumbs;
    for (const QString& line : section("Thumbnails"))
        thumbs << line.section('=', 0, 0).toLower() + '=' + line.section('=', 1);
    for (const QString line :
         {"Resize Speed=Fast", "Thumb Width=120", "Maintain Ratio=1", "Force Width=0",
          "Force Height=1", "Create As=No Conversion", "Naming Option=SufName",
          "Output File Qualifier=_t", "Jpg Compression=75", "Overwrite Files=0"})
        EXPECT_TRUE(thumbs.contains(line.section('=', 0, 0).toLower() + '=' + line.section('=', 1)))
            << line.toStdString();
    EXPECT_TRUE(section("Directories").contains("Output=" + in));
    EXPECT_FALSE(readIni().contains("not kept"));
    EXPECT_FALSE(readIni().contains("050"));
}

TEST_F(SettingsWiring, RefusedWriteIsReportedAndTheExitGoesOn) {
    // A path through a regular file cannot be written, not even by root.
    const QString blocker = dir.path() + "/plain";
    writeFile(blocker);
    const QString ini = blocker + "/Pictorant.ini";
    { ProgramWindows windows(ini.toStdString()); }
    ASSERT_TRUE(script.ids().contains("settingsWrite")) << script.ids().join(",").toStdString();
    for (const MessageRequest& r : script.asked)
        EXPECT_EQ(r.text, "Unable to write to " + ini) << r.id.toStdString();
    EXPECT_GE(script.asked.size(), 4u); // every group tried its own write
}

TEST_F(SettingsWiring, AnUnreadableFileIsReportedAtStartAndNotReplacedAtExit) {
    // A folder at the path cannot be read, not even by root.
    QDir(dir.path()).mkdir("Pictorant.ini");
    writeFile(iniPath() + "/inside");
    {
        ProgramWindows windows(iniPath().toStdString());
        ASSERT_EQ(script.ids(), QStringList{"settingsRead"});
        EXPECT_EQ(script.asked.front().text,
                  "Cannot read settings file " + iniPath() +
                      ": not a regular file\n\nThe factory settings are used for this session, "
                      "and the file is left as it is.");
        EXPECT_EQ(readMainSettings(windows.settings()).thumbWidth,
                  factoryMainSettings().thumbWidth);
    }
    EXPECT_EQ(script.ids(), QStringList{"settingsRead"}) << "nothing more, at exit neither";
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
    EXPECT_TRUE(QFileInfo::exists(iniPath() + "/inside"));
}

} // namespace
} // namespace pictorant::uitest
