#pragma once

#include "documents/documentevents.h"

#include <QJsonValue>
#include <QObject>
#include <functional>

namespace documents {

// The object the pictures of a drawing sheet talk to. The script that wires them runs in
// the browser's isolated application world, where the document's own scripts cannot reach
// it; even so every value that arrives is checked before it goes further.
class PictureBridge : public QObject {
    Q_OBJECT
public:
    enum Kind { Move = 0, Down = 1, Click = 2 };
    using Handler = std::function<void(Kind kind, std::uint32_t serial, const PictureEvent& e)>;

    explicit PictureBridge(QObject* parent = nullptr) : QObject(parent) {}
    void setHandler(Handler handler) { handler_ = std::move(handler); }

    // Called by the script: which event, on which picture, where, of which document.
    Q_INVOKABLE void report(const QJsonValue& serial, const QJsonValue& kind,
                            const QJsonValue& href, const QJsonValue& x, const QJsonValue& y,
                            const QJsonValue& dx, const QJsonValue& dy);

    // The script injected into every top-level document: the web channel's client and the
    // listener that window.__virekaPictures.wire(serial) attaches to the pictures.
    static QString script();
    // The call that wires the pictures of the document shown, numbered serial.
    static QString wireCall(std::uint32_t serial);
    static constexpr const char* objectName = "virekaPictures";

private:
    Handler handler_;
};

}  // namespace documents
