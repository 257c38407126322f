#pragma once

#include "platform/dialogs.h"
#include "platform/settings.h"
#include "platform/stringtable.h"

#include <QDialog>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace shell {

// The main window's values that the options show and change; they stay owned by the caller.
struct OptionValues {
    std::int16_t& ListThreshold;
    bool& DynamicCursor;
    QString& DocSource;
    QString& DocAddress;
    std::int16_t& LanguageCode;
    // Runs when a language option is selected, after LanguageCode has changed, so that the
    // caller's string table follows: message boxes and windows opened later use the language.
    std::function<void(std::int16_t)> languageSelected = {};
};

// The options dialog: species-list threshold, dynamic cursor, interface language and the
// source of the documents. Choices reach the values and the settings store only through
// Apply (and OK); the language alone changes at once, for this run.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    frmOptions(OptionValues values, platform::Settings& settings,
               const platform::StringTable& strings, platform::Dialogs& dialogs,
               QWidget* parent = nullptr);

    // Stores the choices and updates the caller's values.
    void apply();
    // Whether ListThreshold differs from its value when the dialog opened: the caller then
    // refills the species list.
    bool listThresholdChanged() const { return values_.ListThreshold != thresholdAtOpen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildParamsPage();
    QWidget* buildLanguagePage();
    QWidget* buildDirectoriesPage();
    QWidget* buildButtons();
    void showValues();
    void connectControls();
    void showThreshold(int value);
    void selectDocumentSource(bool web);
    void browseFolder();
    void showPage(int index);
    void cycleTabs(int step);

    OptionValues values_;
    platform::Settings& settings_;
    const platform::StringTable& strings_;
    platform::Dialogs& dialogs_;
    const std::int16_t thresholdAtOpen_;

    QTabWidget* tabOptions_ = nullptr;
    QRadioButton* optAbove_ = nullptr;
    QRadioButton* optAll_ = nullptr;
    QSlider* sldThreshold_ = nullptr;
    QLabel* lblThreshold_ = nullptr;
    QCheckBox* chkCursor_ = nullptr;
    QButtonGroup* languages_ = nullptr;
    QRadioButton* optWeb_ = nullptr;
    QLineEdit* txtAddress_ = nullptr;
    QRadioButton* optDisk_ = nullptr;
    QLineEdit* txtPath_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
};

}  // namespace shell
