#include "platform/settings.h"

#include "platform/boundedfile.h"
#include "platform/numbers.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

const QString LanguageKey = QStringLiteral("Options/Langue");
const QString DistributionKey = QStringLiteral("Options/Distribution");
const QString ThresholdKey = QStringLiteral("Options/Valeur");
const QString CursorKey = QStringLiteral("Options/Curseur");
const QString QuestionsPanelKey = QStringLiteral("Options/Questions");
const QString ProgramKey = QStringLiteral("Logiciel/Executables");
const QString DataKey = QStringLiteral("Logiciel/Data");
const QString BaseKey = QStringLiteral("Logiciel/Base");
const QString DescriptorsKey = QStringLiteral("Logiciel/Descripteurs");
const QString DrawingsKey = QStringLiteral("Logiciel/Robot");
const QString AddressKey = QStringLiteral("Documents/Adresse");

const QString NotChosen = QStringLiteral("-1");

}  // namespace

Settings::Settings()
    : owned_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, Organisation,
                                         Application)),
      store_(owned_.get()) {}

QString Settings::userFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + Organisation + QLatin1Char('/') + Application +
           QStringLiteral(".ini");
}

QString Settings::fileProblem(const QString& iniFile) {
    constexpr qint64 MaxBytes = 1 << 20;
    const BoundedFile::Result r = BoundedFile::inspect(iniFile);
    if (r.status == BoundedFile::Status::Missing) return {};
    if (!r.ok()) return r.errorString;
    if (r.size > MaxBytes)
        return QStringLiteral("%1: %2 bytes is more than a settings file holds")
            .arg(iniFile)
            .arg(r.size);
    return {};
}

Settings::Settings(const QString& iniFile)
    : owned_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)), store_(owned_.get()) {}

Settings::Settings(QSettings* store) : store_(store) {}

Settings::~Settings() = default;

std::optional<Settings::Values> Settings::read() const {
    Values v;
    v.DocSource = readText(DistributionKey, Missing);
    if (v.DocSource == Missing) return std::nullopt;
    if (const auto t = leadingInt16(readText(ThresholdKey, NotChosen))) v.ListThreshold = *t;
    v.ProgramDir = readText(ProgramKey, Missing);
    v.DataDir = readText(DataKey, Missing);
    v.DatabasePath = v.DataDir + readText(BaseKey, Missing);
    v.DescriptorDir = readText(DescriptorsKey, Missing);
    v.DrawingDir = readText(DrawingsKey, Missing);
    v.DocAddress = readText(AddressKey, Missing);
    if (const auto b = textToBool(readText(CursorKey, NotChosen))) v.DynamicCursor = *b;
    return v;
}

bool Settings::isInstalled() const {
    return readText(DistributionKey, Missing) != Missing;
}

QString Settings::languageSetting() const {
    return readText(LanguageKey, NotChosen);
}

bool Settings::questionsPanelShown() const {
    return textToBool(readText(QuestionsPanelKey, QStringLiteral("True"))).value_or(true);
}

void Settings::storeQuestionsPanelShown(bool shown) {
    write(QuestionsPanelKey, shown ? QStringLiteral("True") : QStringLiteral("False"));
}

void Settings::storeListThreshold(std::int16_t threshold) {
    write(ThresholdKey, QString::number(threshold));
}

void Settings::storeDynamicCursor(bool on) {
    write(CursorKey, on ? QStringLiteral("True") : QStringLiteral("False"));
}

QString Settings::storeDocuments(bool web, const QString& box) {
    const QString address = withFinalSeparator(box, web);
    write(DistributionKey, web ? QStringLiteral("http") : QStringLiteral("hd"));
    write(AddressKey, address);
    return address;
}

void Settings::storeLanguage(int languageCode) {
    write(LanguageKey, QString::number(languageCode));
}

void Settings::storeInstallation(const Installation& installation) {
    write(ProgramKey, installation.ProgramDir);
    write(DataKey, installation.DataDir);
    write(BaseKey, installation.Base);
    write(DescriptorsKey, installation.DescriptorDir);
    write(DrawingsKey, installation.DrawingDir);
    write(DistributionKey, installation.DocSource);
    write(AddressKey, installation.DocAddress);
}

bool Settings::sync() {
    store_->sync();
    return store_->status() == QSettings::NoError;
}

QString Settings::fileName() const {
    return store_->fileName();
}

QString Settings::withFinalSeparator(const QString& box, bool web) {
    if (web) return box.endsWith(u'/') ? box : box + u'/';
    if (box.endsWith(u'\\') || box.endsWith(u'/')) return box;
    const bool slashesOnly = box.contains(u'/') && !box.contains(u'\\');
    return box + (slashesOnly ? u'/' : u'\\');
}

QString Settings::readText(const QString& key, const QString& fallback) const {
    const QVariant value = store_->value(key);
    if (!value.isValid()) return fallback;
    // An INI value with an unquoted comma reads back as a list; it was one text when written.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void Settings::write(const QString& key, const QString& value) {
    store_->setValue(key, value);
}

}  // namespace platform
