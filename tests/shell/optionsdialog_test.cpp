#include "shell/optionsdialog.h"

#include "support/scripteddialogs.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using shell::frmOptions;

namespace {

// A real settings file in a temporary folder, the values the main window would hold after
// reading it, and the dialog over them.
class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(strings.loadBuiltIn());
        iniPath = dir.filePath(QStringLiteral("Vireka.ini"));
    }

    void store(const QString& key, const QString& value) {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(key, value);
    }
    QVariant stored(const QString& key) const {
        return QSettings(iniPath, QSettings::IniFormat).value(key);
    }

    // Reads the store as start-up does, then opens the dialog.
    void open() {
        dialog.reset();
        settings = std::make_unique<platform::Settings>(iniPath);
        const auto read = settings->read();
        ASSERT_TRUE(read);
        values = *read;
        thresholdBefore = values.ListThreshold;
        reopen();
    }
    // A new dialog over the values as they are now, as the options command does each time.
    void reopen() {
        dialog = std::make_unique<frmOptions>(
            shell::OptionValues{values.ListThreshold, values.DynamicCursor, values.DocSource,
                                values.DocAddress, languageCode,
                                [this](std::int16_t code) { selectedLanguages << code; }},
            *settings, strings, dialogs);
        dialog->show();
    }

    template <class T>
    T* control(const char* name) {
        T* c = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(c) << name;
        return c;
    }
    // As a person does: the tab first, then the controls of its page.
    void showTab(int index) {
        QTabBar* bar = control<QTabWidget>("tabOptions")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Near the left edge: an option or check box reacts on its box and text only.
    void click(const char* name) {
        QAbstractButton* button = control<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void installedOn(const QString& source, const QString& address) {
        store(QStringLiteral("Options/Distribution"), source);
        store(QStringLiteral("Documents/Adresse"), address);
    }

    QTemporaryDir dir;
    QString iniPath;
    platform::StringTable strings;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<platform::Settings> settings;
    platform::Settings::Values values;
    std::int16_t languageCode = 0;
    std::int16_t thresholdBefore = 0;
    QList<std::int16_t> selectedLanguages;
    std::unique_ptr<frmOptions> dialog;
};

TEST_F(OptionsDialog, WithoutAStoredThresholdItOpensOnListTheSpeciesAbove) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    open();
    EXPECT_EQ(values.ListThreshold, -1);
    EXPECT_TRUE(control<QRadioButton>("optAbove")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("optAll")->isChecked());
    QSlider* slider = control<QSlider>("sldThreshold");
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(),
              QStringLiteral(" %1 %").arg(slider->value()));
    click("cmdApply");
    EXPECT_EQ(stored(QStringLiteral("Options/Valeur")).toString(),
              QString::number(slider->value()));
}

TEST_F(OptionsDialog, ListAllStoresZeroAndReopensSelectedWithTheSliderDisabledAt70) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    store(QStringLiteral("Options/Valeur"), QStringLiteral("35"));
    open();
    QSlider* slider = control<QSlider>("sldThreshold");
    EXPECT_EQ(slider->value(), 35);
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), QStringLiteral(" 35 %"));
    click("optAll");
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_EQ(slider->value(), 70);
    click("cmdApply");
    EXPECT_EQ(stored(QStringLiteral("Options/Valeur")).toString(), QStringLiteral("0"));
    EXPECT_EQ(values.ListThreshold, 0);

    reopen();
    EXPECT_TRUE(control<QRadioButton>("optAll")->isChecked());
    EXPECT_FALSE(control<QSlider>("sldThreshold")->isEnabled());
    EXPECT_EQ(control<QSlider>("sldThreshold")->value(), 70);
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), QStringLiteral(" 70 %"));
    click("optAbove");
    EXPECT_TRUE(control<QSlider>("sldThreshold")->isEnabled());
}

TEST_F(OptionsDialog, TheSliderFollowsTheKeyboardAndTheLabelFollowsTheSlider) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    store(QStringLiteral("Options/Valeur"), QStringLiteral("2"));
    open();
    QSlider* slider = control<QSlider>("sldThreshold");
    QTest::keyClick(slider, Qt::Key_Left);
    QTest::keyClick(slider, Qt::Key_Left);
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), QStringLiteral(" 0 %"));
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), QStringLiteral(" 100 %"));
    click("cmdOK");
    EXPECT_EQ(values.ListThreshold, 100);
    EXPECT_TRUE(dialog->listThresholdChanged());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(OptionsDialog, DocumentFoldersAndAddressesGetTheirFinalSeparator) {
    installedOn(QStringLiteral("hd"), QStringLiteral("D:\\old\\"));
    open();
    showTab(2);
    EXPECT_TRUE(control<QRadioButton>("optDisk")->isChecked());
    EXPECT_EQ(control<QLineEdit>("txtPath")->text(), QStringLiteral("D:\\old\\"));
    EXPECT_TRUE(control<QLineEdit>("txtAddress")->text().isEmpty());
    EXPECT_FALSE(control<QLineEdit>("txtAddress")->isEnabled());

    control<QLineEdit>("txtPath")->setText(QStringLiteral("C:\\docs"));
    click("cmdApply");
    EXPECT_EQ(stored(QStringLiteral("Documents/Adresse")).toString(), QStringLiteral("C:\\docs\\"));
    EXPECT_EQ(stored(QStringLiteral("Options/Distribution")).toString(), QStringLiteral("hd"));
    EXPECT_EQ(values.DocAddress, QStringLiteral("C:\\docs\\"));
    EXPECT_EQ(control<QLineEdit>("txtPath")->text(), QStringLiteral("C:\\docs\\"));

    showTab(2);
    click("optWeb");
    EXPECT_TRUE(control<QLineEdit>("txtAddress")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>("txtPath")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("cmdBrowse")->isEnabled());
    QTest::keyClicks(control<QLineEdit>("txtAddress"), QStringLiteral("https://example.org/docs"));
    click("cmdApply");
    EXPECT_EQ(stored(QStringLiteral("Documents/Adresse")).toString(),
              QStringLiteral("https://example.org/docs/"));
    EXPECT_EQ(stored(QStringLiteral("Options/Distribution")).toString(), QStringLiteral("http"));
    EXPECT_EQ(values.DocSource, QStringLiteral("http"));
    EXPECT_EQ(values.DocAddress, QStringLiteral("https://example.org/docs/"));

    reopen();
    EXPECT_TRUE(control<QRadioButton>("optWeb")->isChecked());
    EXPECT_EQ(control<QLineEdit>("txtAddress")->text(),
              QStringLiteral("https://example.org/docs/"));
    EXPECT_TRUE(control<QLineEdit>("txtPath")->text().isEmpty());
    EXPECT_FALSE(control<QLineEdit>("txtPath")->isEnabled());
}

TEST_F(OptionsDialog, TheBrowseButtonPutsTheChosenFolderWithABackslash) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    open();
    showTab(2);
    dialogs.fileNames = {QStringLiteral("/home/ana/documents"), QString()};
    click("cmdBrowse");
    EXPECT_EQ(control<QLineEdit>("txtPath")->text(), QStringLiteral("/home/ana/documents\\"));
    click("cmdBrowse");  // cancelled
    EXPECT_EQ(control<QLineEdit>("txtPath")->text(), QStringLiteral("/home/ana/documents\\"));
}

TEST_F(OptionsDialog, OnlyAThresholdChangeAsksForTheListToBeRefilled) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    store(QStringLiteral("Options/Valeur"), QStringLiteral("40"));
    store(QStringLiteral("Options/Curseur"), QStringLiteral("False"));
    open();
    EXPECT_FALSE(control<QCheckBox>("chkCursor")->isChecked());
    click("chkCursor");
    click("cmdOK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->listThresholdChanged());
    EXPECT_TRUE(values.DynamicCursor);
    EXPECT_EQ(stored(QStringLiteral("Options/Curseur")).toString(), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("Options/Valeur")).toString(), QStringLiteral("40"));

    reopen();
    EXPECT_TRUE(control<QCheckBox>("chkCursor")->isChecked());
    click("optAll");
    click("cmdCancel");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->listThresholdChanged());
    EXPECT_EQ(values.ListThreshold, 40);
}

TEST_F(OptionsDialog, ALanguageIsTakenAtOnceButStoredOnlyByApply) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    store(QStringLiteral("Options/Langue"), QStringLiteral("0"));
    open();
    EXPECT_TRUE(control<QRadioButton>("optEnglish")->isChecked());
    EXPECT_TRUE(selectedLanguages.isEmpty());
    showTab(1);
    click("optFrench");
    EXPECT_EQ(languageCode, 2);
    EXPECT_EQ(selectedLanguages, QList<std::int16_t>{2});
    EXPECT_EQ(control<QRadioButton>("optFrench")->text(), QStringLiteral("French"));
    click("cmdCancel");
    EXPECT_EQ(languageCode, 2);
    EXPECT_EQ(stored(QStringLiteral("Options/Langue")).toString(), QStringLiteral("0"));

    reopen();
    EXPECT_TRUE(control<QRadioButton>("optFrench")->isChecked());
    showTab(1);
    click("optSpanish");
    click("cmdOK");
    EXPECT_EQ(stored(QStringLiteral("Options/Langue")).toString(), QStringLiteral("1"));
}

TEST_F(OptionsDialog, NoLanguageOptionIsSelectedForMinusOne) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    languageCode = -1;
    open();
    for (const char* name : {"optEnglish", "optSpanish", "optFrench"})
        EXPECT_FALSE(control<QRadioButton>(name)->isChecked()) << name;
}

TEST_F(OptionsDialog, ControlTabCyclesTheTabsWhereverTheFocusIs) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    open();
    auto* tabs = control<QTabWidget>("tabOptions");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->currentIndex(), 0);
    QWidget* ok = control<QPushButton>("cmdOK");
    QWidget* slider = control<QSlider>("sldThreshold");
    QTest::keyClick(ok, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(dialog.get(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 2);
    QTest::keyClick(control<QLineEdit>("txtPath"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    QTest::keyClick(slider, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 2);
    QTest::keyClick(ok, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->widget(i)->isEnabled(), i == 1) << i;
}

TEST_F(OptionsDialog, IsTranslatedWhenOpened) {
    installedOn(QStringLiteral("hd"), QStringLiteral("C:\\docs\\"));
    strings.setLanguageCode(1);
    open();
    const auto spanish = [this](int key) { return *strings.text(key, 1); };
    EXPECT_EQ(dialog->windowTitle(), spanish(1037));
    auto* tabs = control<QTabWidget>("tabOptions");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(tabs->tabText(i), spanish(1100 + i));
    EXPECT_EQ(control<QRadioButton>("optAll")->text(), spanish(1106));
    EXPECT_EQ(control<QCheckBox>("chkCursor")->text(), spanish(1107));
    EXPECT_EQ(control<QRadioButton>("optDisk")->text(), spanish(1114));
    EXPECT_EQ(control<QPushButton>("cmdApply")->text(), spanish(1042));
    EXPECT_EQ(control<QPushButton>("cmdBrowse")->text(), QStringLiteral("..."));
}

}  // namespace
