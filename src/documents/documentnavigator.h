#pragma once

#include <QString>

namespace documents {

// What the species list and tree need of the document view: start a navigation, read the
// address shown, cancel. DocumentView is the real one.
class DocumentNavigator {
public:
    // Navigation flags, combined with "|". A document opened from the list or the tree is
    // not a step of the history; local pages are read afresh every time.
    enum NavigateFlag {
        NavNoHistory = 2,
        NavNoReadFromCache = 4,
        NavNoWriteToCache = 8,
        NavLocalDocument = NavNoHistory | NavNoReadFromCache | NavNoWriteToCache,
    };

    virtual ~DocumentNavigator() = default;

    // Starts loading url and returns at once.
    virtual void Navigate2(const QString& url, int flags) = 0;
    // The full address of the document shown; empty before the first one.
    virtual QString LocationURL() const = 0;
    // Cancels the navigation in progress, if any.
    virtual void Stop() = 0;
};

}  // namespace documents
