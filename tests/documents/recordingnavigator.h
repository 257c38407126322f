#pragma once

#include "documents/documentnavigator.h"

#include <QString>
#include <QStringList>

// A navigator without a browser: it "shows" every address it is sent and writes each call to
// a log shared with the test, so the order of navigations and window hooks can be read back.
class RecordingNavigator : public documents::DocumentNavigator {
public:
    explicit RecordingNavigator(QStringList& log) : log_(log) {}

    void Navigate2(const QString& url, int flags) override {
        log_ << QStringLiteral("Navigate2 %1 %2").arg(url).arg(flags);
        location = url;
        ++navigations;
    }
    QString LocationURL() const override { return location; }
    void Stop() override { log_ << QStringLiteral("Stop"); }

    QString location;
    int navigations = 0;

private:
    QStringList& log_;
};
