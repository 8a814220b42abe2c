// The settings file as the program's windows use it: read while they are created,
// written while they are destroyed.

#include "settings/SettingsFile.h"
#include "tests/ui/WizardSupport.h"
#include "ui/ProgramWindows.h"

namespace pictorant::uitest {
namespace {

class SettingsWiring : public MainWindowTest {
protected:
    QString ini = root + "/Pictorant.ini";
    // key=value lines of a section, in file order, the key in lower case.
    QStringList section(const QString& name) const {
        QStringList lines;
        bool in = false;
        for (const QString& raw :
             QString::fromUtf8(fileBytes(ini)).split(QRegularExpression("\r?\n"))) {
            if (raw.startsWith('['))
                in = raw.compare("[" + name + "]", Qt::CaseInsensitive) == 0;
            else if (in && !raw.isEmpty())
                lines << raw.section('=', 0, 0).toLower() + '=' + raw.section('=', 1);
        }
        return lines;
    }
};

TEST_F(SettingsWiring, FirstExitWritesEveryKeyWithItsFactoryValue) {
    { ProgramWindows windows(ini.toStdString()); }
    EXPECT_TRUE(script.asked.empty()) << script.ids().join(",").toStdString();
    // Every group is written whole; the values themselves are the settings layer's.
    const std::tuple<const char*, int, const char*> sections[] = {
        {"Thumbnails", 15, "naming option=PreSeq"},
        {"Linking", 4, "thumblinkopt=2"},
        {"Layout", 13, "thmperpage=25"},
        {"Colors", 5, "tablebkgd=10526880"},
        {"Tables", 14, "cellpad=2"},
        {"Directories", 4, "htmlname=MyWeb.htm"}};
    for (const auto& [name, count, line] : sections) {
        EXPECT_EQ(section(name).size(), count) << name;
        EXPECT_TRUE(section(name).contains(line)) << line;
    }
    for (const char* line : {"input=/", "output=/", "recyclebin=Yes"})
        EXPECT_TRUE(section("Directories").contains(line)) << line;
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
        EXPECT_TRUE(ctl<QRadioButton>(f, "rbFast")->isChecked())
            << "\"quality\" is not \"Quality\"";
        EXPECT_EQ(ctl<QLineEdit>(f, "eWidth")->text(), "120");
        EXPECT_FALSE(ctl<QCheckBox>(f, "cbFWidth")->isChecked()) << "Force Height wins";
        EXPECT_EQ(ctl<QComboBox>(f, "cbConvert")->currentText(), "jpg");
        EXPECT_EQ(ctl<QComboBox>(f, "cbNameOption")->currentIndex(), int(NamingOption::SufName));
        EXPECT_EQ(ctl<QSlider>(f, "tbJpg")->value(), 10);
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
        EXPECT_TRUE(local.last().text.startsWith("Cannot read settings file " + ini));
    }
    EXPECT_EQ(local.ids(), QStringList{"settingsRead"}) << "nothing more at exit";
    EXPECT_TRUE(QFileInfo(ini).isDir());
}

} // namespace
} // namespace pictorant::uitest
