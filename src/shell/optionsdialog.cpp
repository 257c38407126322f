#include "shell/optionsdialog.h"

#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/textids.h"
#include "shell/translator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace shell {

namespace {

constexpr int SliderDesignValue = 70;
constexpr int FolderChooserTitle = TextId::OptionsDocumentFolders;

// Design texts are the string numbers themselves; translateWindow replaces them.
template <class Control>
Control* designed(Control* control, const char* name, int key) {
    control->setObjectName(QLatin1String(name));
    control->setText(QString::number(key));
    control->setProperty("tag", key);
    return control;
}

QGroupBox* designedGroup(const char* name, int key) {
    auto* group = new QGroupBox(QString::number(key));
    group->setObjectName(QLatin1String(name));
    group->setProperty("tag", key);
    return group;
}

QWidget* pageWith(QGroupBox* first, QGroupBox* second = nullptr) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(first);
    if (second) layout->addWidget(second);
    layout->addStretch(1);
    return page;
}

}  // namespace

frmOptions::frmOptions(OptionValues values, platform::Settings& settings,
                       const platform::StringTable& strings, platform::Dialogs& dialogs,
                       QWidget* parent)
    : QDialog(parent),
      values_(std::move(values)),
      settings_(settings),
      strings_(strings),
      dialogs_(dialogs),
      thresholdAtOpen_(values_.ListThreshold) {
    setObjectName(QStringLiteral("frmOptions"));
    setProperty("tag", TextId::OptionsTitle);
    setWindowTitle(QString::number(TextId::OptionsTitle));

    tabOptions_ = new QTabWidget;
    tabOptions_->setObjectName(QStringLiteral("tabOptions"));
    const QList<QWidget*> pages{buildParamsPage(), buildLanguagePage(), buildDirectoriesPage()};
    for (int i = 0; i < pages.size(); ++i) {
        const int key = TextId::OptionsParamsTab + i;
        tabOptions_->addTab(pages[i], QString::number(key));
        tabOptions_->tabBar()->setTabData(i, key);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions_);
    layout->addWidget(buildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    translateWindow(this, strings_);
    showValues();
    connectControls();
    // Control+Tab must cycle the tabs wherever the focus is, the buttons included.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

QWidget* frmOptions::buildParamsPage() {
    QGroupBox* species = designedGroup("fraSpecies", TextId::OptionsSpecies);
    optAbove_ = designed(new QRadioButton, "optAbove", TextId::OptionsListAbove);
    optAll_ = designed(new QRadioButton, "optAll", TextId::OptionsListAll);
    sldThreshold_ = new QSlider(Qt::Horizontal);
    sldThreshold_->setObjectName(QStringLiteral("sldThreshold"));
    sldThreshold_->setRange(0, 100);
    sldThreshold_->setPageStep(10);
    sldThreshold_->setTickPosition(QSlider::TicksBelow);
    sldThreshold_->setTickInterval(10);
    sldThreshold_->setValue(SliderDesignValue);
    sldThreshold_->setMinimumWidth(160);
    lblThreshold_ = new QLabel;
    lblThreshold_->setObjectName(QStringLiteral("lblThreshold"));
    lblThreshold_->setMinimumWidth(lblThreshold_->fontMetrics().horizontalAdvance(" 100 %  "));
    lblThreshold_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* grid = new QGridLayout(species);
    grid->addWidget(optAbove_, 0, 0);
    grid->addWidget(sldThreshold_, 0, 1);
    grid->addWidget(lblThreshold_, 0, 2);
    grid->addWidget(optAll_, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    QGroupBox* cursor = designedGroup("fraCursor", TextId::OptionsCursor);
    chkCursor_ = designed(new QCheckBox, "chkCursor", TextId::OptionsDynamicCursor);
    (new QVBoxLayout(cursor))->addWidget(chkCursor_);
    return pageWith(species, cursor);
}

QWidget* frmOptions::buildLanguagePage() {
    QGroupBox* group = designedGroup("fraLanguage", TextId::OptionsLanguage);
    auto* layout = new QVBoxLayout(group);
    languages_ = new QButtonGroup(this);
    const char* const names[] = {"optEnglish", "optSpanish", "optFrench"};
    for (int code = 0; code < 3; ++code) {
        auto* option = designed(new QRadioButton, names[code], TextId::OptionsEnglish + code);
        languages_->addButton(option, code);
        layout->addWidget(option);
    }
    return pageWith(group);
}

QWidget* frmOptions::buildDirectoriesPage() {
    QGroupBox* group = designedGroup("fraDocuments", TextId::OptionsDocumentFolders);
    optWeb_ = designed(new QRadioButton, "optWeb", TextId::OptionsWebSite);
    optDisk_ = designed(new QRadioButton, "optDisk", TextId::OptionsHardDisk);
    txtAddress_ = new QLineEdit;
    txtAddress_->setObjectName(QStringLiteral("txtAddress"));
    txtPath_ = new QLineEdit;
    txtPath_->setObjectName(QStringLiteral("txtPath"));
    cmdBrowse_ = new QPushButton(QStringLiteral("..."));
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse_->setAutoDefault(false);
    cmdBrowse_->setFixedWidth(cmdBrowse_->fontMetrics().horizontalAdvance(QStringLiteral("....")) +
                              16);
    auto* grid = new QGridLayout(group);
    grid->addWidget(optWeb_, 0, 0, 1, 2);
    grid->addWidget(txtAddress_, 1, 0, 1, 2);
    grid->addWidget(optDisk_, 2, 0, 1, 2);
    grid->addWidget(txtPath_, 3, 0);
    grid->addWidget(cmdBrowse_, 3, 1);
    grid->setColumnMinimumWidth(0, 280);
    return pageWith(group);
}

QWidget* frmOptions::buildButtons() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    auto* ok = designed(new QPushButton, "cmdOK", TextId::OptionsOk);
    auto* cancel = designed(new QPushButton, "cmdCancel", TextId::OptionsCancel);
    auto* applyButton = designed(new QPushButton, "cmdApply", TextId::OptionsApply);
    ok->setDefault(true);
    for (QPushButton* b : {ok, cancel, applyButton}) layout->addWidget(b);
    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(applyButton, &QPushButton::clicked, this, &frmOptions::apply);
    return row;
}

void frmOptions::showValues() {
    if (values_.ListThreshold != 0) {
        optAbove_->setChecked(true);
        sldThreshold_->setEnabled(true);
        sldThreshold_->setValue(values_.ListThreshold);
    } else {
        optAll_->setChecked(true);
        sldThreshold_->setEnabled(false);
    }
    showThreshold(sldThreshold_->value());
    chkCursor_->setChecked(values_.DynamicCursor);
    showPage(0);
    if (QAbstractButton* language = languages_->button(values_.LanguageCode))
        language->setChecked(true);
    const bool web = values_.DocSource != QLatin1String("hd");
    (web ? txtAddress_ : txtPath_)->setText(values_.DocAddress);
    (web ? optWeb_ : optDisk_)->setChecked(true);
    selectDocumentSource(web);
}

// Connected after the values are shown, so that showing them changes nothing else.
void frmOptions::connectControls() {
    connect(optAbove_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) sldThreshold_->setEnabled(true);
    });
    connect(optAll_, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        sldThreshold_->setValue(SliderDesignValue);
        sldThreshold_->setEnabled(false);
    });
    connect(sldThreshold_, &QSlider::valueChanged, this, &frmOptions::showThreshold);
    connect(languages_, &QButtonGroup::idToggled, this, [this](int code, bool on) {
        if (!on) return;
        values_.LanguageCode = std::int16_t(code);
        if (values_.languageSelected) values_.languageSelected(values_.LanguageCode);
    });
    connect(optWeb_, &QRadioButton::toggled, this, &frmOptions::selectDocumentSource);
    connect(cmdBrowse_, &QPushButton::clicked, this, &frmOptions::browseFolder);
    connect(tabOptions_, &QTabWidget::currentChanged, this, &frmOptions::showPage);
}

void frmOptions::showThreshold(int value) {
    lblThreshold_->setText(platform::signedSpaceNumber(value) + QStringLiteral(" %"));
}

void frmOptions::selectDocumentSource(bool web) {
    txtAddress_->setEnabled(web);
    txtPath_->setEnabled(!web);
    cmdBrowse_->setEnabled(!web);
}

void frmOptions::browseFolder() {
    const QString title = strings_.textOr(FolderChooserTitle, QString()).trimmed();
    const QString folder = dialogs_.folderName(title, platform::toLocalPath(txtPath_->text()));
    // The stored form keeps the knowledge base's separator; paths are made local when opened.
    if (!folder.isEmpty()) txtPath_->setText(folder + u'\\');
}

void frmOptions::showPage(int index) {
    for (int i = 0; i < tabOptions_->count(); ++i) tabOptions_->widget(i)->setEnabled(i == index);
}

void frmOptions::cycleTabs(int step) {
    const int count = tabOptions_->count();
    tabOptions_->setCurrentIndex((tabOptions_->currentIndex() + step + count) % count);
}

void frmOptions::apply() {
    values_.ListThreshold = optAll_->isChecked() ? 0 : std::int16_t(sldThreshold_->value());
    settings_.storeListThreshold(values_.ListThreshold);
    values_.DynamicCursor = chkCursor_->isChecked();
    settings_.storeDynamicCursor(values_.DynamicCursor);
    const bool web = optWeb_->isChecked();
    QLineEdit* box = web ? txtAddress_ : txtPath_;
    box->setText(settings_.storeDocuments(web, box->text()));
    values_.DocAddress = box->text();
    values_.DocSource = web ? QStringLiteral("http") : QStringLiteral("hd");
    settings_.storeLanguage(values_.LanguageCode);
    // A failure to write is not reported.
    settings_.sync();
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && key->modifiers().testFlag(Qt::ControlModifier)) {
            const bool back =
                key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier);
            cycleTabs(back ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace shell
