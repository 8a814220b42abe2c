// The settings file as the program's windows use it: read while they are created,
// written while they are destroyed.

#include "ProgramWindows.h"
#include "WizardSupport.h"
#include "settings/SettingsFile.h"

namespace pictorant::uitest {
namespace {

class SettingsWiring : public MainWindowTest {
protected:
    QString ini = root + "/Pictorant.ini";
    // key=value lines of a section, in file order, the key in lower case.
    QStringList section(const QString& name) const {
        QStringList lines;
        bool in = false;
        for (const QString& raw : QString::fromUtf8(fileBytes(ini)).split(QRegularExpression("\r?\n"))) {
            if (raw.startsWith('['))
                in = raw.compare("[" + name + "]", Qt::CaseInsensitive) == 0;
            else if (in && !raw.isEmpty())
                lines << raw.section('=', 0, 0).toLower() + '=' + raw.section('=', 1);
        }
        return lines;
    }
    QStringList lower(const QStringList& lines) const {
        QStringList out;
        for (const QString& line : lines)
            out << line.section('=', 0, 0).toLower() + '=' + line.section('=', 1);
        return out;
    }
};

TEST_F(SettingsWiring, FirstExitWritesEveryKeyWithItsFactoryValue) {
    { ProgramWindows windows(ini.toStdString()); }
    EXPECT_TRUE(script.asked.empty()) << script.ids().join(",").toStdString();
    const std::pair<const char*, QStringList> sections[] = {
        {"Thumbnails",
         {"Resize Speed=Quality", "Thumb Width=96", "Thumb Height=96", "Maintain Ratio=0",
          "Force Width=0", "Force Height=0", "Create As=jpg", "Naming Option=PreSeq",
          "Output File Qualifier=Thumb", "Jpg Compression=90", "Overwrite Files=1"}},
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
    for (const auto& [name, expected] : sections) {
        QStringList got = section(name), want = lower(expected);
        got.sort();
        want.sort();
        EXPECT_EQ(got, want) << name;
    }
    for (const char* line : {"input=/", "output=/", "recyclebin=Yes", "htmlname=MyWeb.htm"})
        EXPECT_TRUE(section("Directories").contains(line)) << line;
}

TEST_F(SettingsWiring, MainWindowReadsItsGroupAndWritesTheControlsBack) {
    const QString in = sub("in");
    writeFile(ini, ("[Directories]\r\nInput=" + in + "\r\nOutput=" + root +
                    "/gone\r\n[thumbnails]\r\nresize speed=quality\r\nThumb Width= 120 \r\n"
                    "Maintain Ratio=2\r\nForce Width=1\r\nForce Height=1\r\nCreate As=png\r\n"
                    "Naming Option=SufName\r\nOutput File Qualifier=_t\r\nJpg Compression=5\r\n"
                    "Overwrite Files=0\r\n")
                       .toUtf8());
    {
        ProgramWindows windows(ini.toStdString());
        MainWizard& f = windows.main();
        EXPECT_EQ(f.inputFolder(), in);
        EXPECT_EQ(f.outputFolder(), "/") << "a stored folder that is gone gives the root";
        EXPECT_TRUE(ctl<QRadioButton>(f, "rbFast")->isChecked())
            << "\"quality\" is not \"Quality\"";
        EXPECT_EQ(ctl<QLineEdit>(f, "eWidth")->text(), "120");
        EXPECT_TRUE(ctl<QCheckBox>(f, "cbRatio")->isChecked());
        EXPECT_TRUE(ctl<QCheckBox>(f, "cbFHeight")->isChecked());
        EXPECT_FALSE(ctl<QCheckBox>(f, "cbFWidth")->isChecked());
        EXPECT_EQ(ctl<QComboBox>(f, "cbConvert")->currentText(), "jpg");
        EXPECT_EQ(ctl<QComboBox>(f, "cbNameOption")->currentIndex(), int(NamingOption::SufName));
        EXPECT_EQ(ctl<QLineEdit>(f, "eQualThumb")->text(), "_t");
        EXPECT_EQ(ctl<QSlider>(f, "tbJpg")->value(), 10);
        EXPECT_FALSE(ctl<QCheckBox>(f, "cbOverwrite")->isChecked());
        ctl<QComboBox>(f, "cbConvert")->setCurrentText("No Conversion");
        ctl<QLineEdit>(f, "eSeq")->setText("050");
        ctl<QSlider>(f, "tbJpg")->setValue(75);
        ASSERT_TRUE(showFolder(f.targetPane(), in, 0));
    }
    const QStringList thumbs = section("Thumbnails");
    for (const QString line : {"resize speed=Fast", "thumb width=120", "maintain ratio=1",
                               "force width=0", "force height=1", "create as=No Conversion",
                               "naming option=SufName", "jpg compression=75"})
        EXPECT_TRUE(thumbs.contains(line)) << line.toStdString();
    EXPECT_TRUE(section("Directories").contains("output=" + in));
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
        EXPECT_EQ(local.ids(), QStringList{"settingsRead"});
        EXPECT_EQ(local.last().text,
                  "Cannot read settings file " + ini +
                      ": not a regular file\n\nThe factory settings are used for this session, "
                      "and the file is left as it is.");
    }
    EXPECT_EQ(local.ids(), QStringList{"settingsRead"}) << "nothing more at exit";
    EXPECT_TRUE(QFileInfo(ini).isDir());
}

} // namespace
} // namespace pictorant::uitest
