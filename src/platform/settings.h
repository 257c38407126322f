#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace platform {

// The per-user configuration: sections "Logiciel" (written by the installer), "Options" and
// "Documents" (the installer, then the options dialog). Every value is a text; the program
// reads them once at start-up and writes back only the options. Folder values are kept as
// stored, with "\" or "/" separators; callers turn them into local paths (toLocalPath).
class Settings {
public:
    // The values read at start-up. A key that is absent takes its default; a text that does
    // not convert leaves the value as it starts here (0, false).
    struct Values {
        QString DocSource;               // "hd": a disk folder; anything else: a web site
        std::int16_t ListThreshold = 0;  // list species at or above this percentage
        bool DynamicCursor = false;
        QString ProgramDir;
        QString DataDir;
        QString DatabasePath;  // DataDir followed directly by "Base"
        QString DescriptorDir;
        QString DrawingDir;
        QString DocAddress;
    };

    // What the installer writes; folders end with their separator.
    struct Installation {
        QString ProgramDir;
        QString DataDir;
        QString Base;
        QString DescriptorDir;
        QString DrawingDir;
        QString DocSource = QStringLiteral("hd");
        QString DocAddress;
    };

    // The default of every installation key: its absence means "not installed".
    static inline const QString Missing = QStringLiteral("Fin");
    static inline const QString Organisation = QStringLiteral("Vireka");
    static inline const QString Application = QStringLiteral("Vireka");

    // The user's store: an INI file under organisation and application "Vireka" in the
    // user's configuration folder.
    Settings();
    // Where that file is.
    static QString userFile();
    // Why a settings file cannot be used (not a regular file: a pipe would block the program
    // before its first window; or larger than any settings file); empty when it can, or
    // when it does not exist yet.
    static QString fileProblem(const QString& iniFile);
    // Another store, for the installer's --settings option and for tests.
    explicit Settings(const QString& iniFile);
    // A store owned by the caller; it must outlive this object.
    explicit Settings(QSettings* store);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Reads every value in the order "Distribution", "Valeur", "Executables", "Data", "Base",
    // "Descripteurs", "Robot", "Adresse", "Curseur". Nothing when "Distribution" is missing:
    // the program is not installed, and the caller shows string 1073 and stops.
    std::optional<Values> read() const;
    bool isInstalled() const;

    // "Options"/"Langue" as stored, "-1" when absent (see Language::choose).
    QString languageSetting() const;

    // The options dialog's Apply.
    void storeListThreshold(std::int16_t threshold);
    void storeDynamicCursor(bool on);
    // Stores "http" or "hd" under "Distribution" and the box, given its final separator,
    // under "Documents"/"Adresse"; returns the address as stored (the new DocAddress).
    QString storeDocuments(bool web, const QString& box);
    void storeLanguage(int languageCode);

    void storeInstallation(const Installation& installation);

    // Whether the questions panel is shown ("Options"/"Questions"); shown until hidden once.
    bool questionsPanelShown() const;
    void storeQuestionsPanelShown(bool shown);

    // Writes pending changes to disk; false when the store cannot be written.
    bool sync();
    QString fileName() const;

    // A web address ends with "/", a folder with "\" (or "/" when it is written with "/"
    // only); a box that already ends so is kept.
    static QString withFinalSeparator(const QString& box, bool web);

private:
    QString readText(const QString& key, const QString& fallback) const;
    void write(const QString& key, const QString& value);

    std::unique_ptr<QSettings> owned_;
    QSettings* store_ = nullptr;
};

}  // namespace platform
