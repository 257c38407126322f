#pragma once

#include "platform/settings.h"

#include <QString>
#include <optional>

namespace kb {

// Opens path read-only as an SQLite database and reads its schema. Empty when it is a
// readable database, else a sentence saying what is wrong.
QString checkDatabase(const QString& path);

// What the person installing asked for beyond the data folder. Relative folders given here
// are taken from the current folder; an option left out comes from DATA/setup.ini (whose
// relative folders lie inside the data folder), else from its default.
struct InstallationRequest {
    QString dataDir;
    QString programDir;  // the folder holding help/; required
    std::optional<QString> base;
    std::optional<QString> descriptors;
    std::optional<QString> drawings;
    std::optional<QString> documents;  // a folder, or a web address (http:// or https://)
};

// Turns the request into the values the settings keep, checking everything they name: every
// folder must exist and the database must open read-only. Folders come out absolute and end
// with "/". Nothing when a check fails; error then says why.
std::optional<platform::Settings::Installation> planInstallation(const InstallationRequest& request,
                                                                 QString* error);

}  // namespace kb
