#include "documents/picturebridge.h"

#include "platform/numbers.h"

#include <QFile>
#include <cmath>
#include <optional>

namespace documents {

namespace {

// Document coordinates of any real page stay far below this.
constexpr double CoordinateLimit = 1e7;
constexpr qsizetype HrefLimit = 8192;

std::optional<std::int32_t> coordinate(const QJsonValue& v) {
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::abs(d) > CoordinateLimit) return std::nullopt;
    return static_cast<std::int32_t>(platform::roundHalfEven(d));
}

// Listeners on the pictures, in document order. Forged events (isTrusted false) are
// dropped; moves go at most once an animation frame; a click's default action is cancelled.
// The scroll offsets come from the scrolling element: in standards mode the body's are 0.
const char* const listener = R"JS(
(function () {
  'use strict';
  if (window.__virekaPictures) return;
  var bridge = null, serial = -1, pendingMove = null, frame = 0;
  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects.virekaPictures;
  });
  function offsets() {
    var s = document.scrollingElement || document.documentElement;
    return s ? [s.scrollLeft, s.scrollTop] : [0, 0];
  }
  function send(kind, href, ev, o) {
    if (bridge && serial >= 0) bridge.report(serial, kind, href, ev[0], ev[1], o[0], o[1]);
  }
  function flushMove() {
    frame = 0;
    var m = pendingMove;
    pendingMove = null;
    if (m) send(0, m.href, m.at, m.offsets);
  }
  function attach(img) {
    img.addEventListener('mousemove', function (ev) {
      if (!ev.isTrusted) return;
      pendingMove = { href: img.src, at: [ev.clientX, ev.clientY], offsets: offsets() };
      if (!frame) frame = window.requestAnimationFrame(flushMove);
    }, true);
    img.addEventListener('mousedown', function (ev) {
      if (!ev.isTrusted) return;
      flushMove();
      send(1, img.src, [ev.clientX, ev.clientY], offsets());
    }, true);
    img.addEventListener('click', function (ev) {
      ev.preventDefault();
      if (!ev.isTrusted) return;
      flushMove();
      send(2, img.src, [ev.clientX, ev.clientY], offsets());
    }, true);
  }
  window.__virekaPictures = {
    wire: function (n) {
      if (serial >= 0) { serial = n; return; }
      serial = n;
      Array.prototype.forEach.call(document.getElementsByTagName('img'), attach);
    }
  };
})();
)JS";

}  // namespace

void PictureBridge::report(const QJsonValue& serial, const QJsonValue& kind, const QJsonValue& href,
                           const QJsonValue& x, const QJsonValue& y, const QJsonValue& dx,
                           const QJsonValue& dy) {
    if (!handler_ || !serial.isDouble() || !kind.isDouble() || !href.isString()) return;
    const double n = serial.toDouble();
    const double k = kind.toDouble();
    if (!(n >= 0 && n <= 4294967295.0) || n != std::floor(n)) return;
    if (k != 0 && k != 1 && k != 2) return;  // Move, Down, Click
    PictureEvent e;
    e.href = href.toString();
    if (e.href.size() > HrefLimit) return;
    const auto px = coordinate(x), py = coordinate(y), pdx = coordinate(dx), pdy = coordinate(dy);
    if (!px || !py || !pdx || !pdy) return;
    e.x = *px;
    e.y = *py;
    e.dx = *pdx;
    e.dy = *pdy;
    handler_(static_cast<Kind>(int(k)), static_cast<std::uint32_t>(n), e);
}

QString PictureBridge::script() {
    QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QString source;
    if (client.open(QIODevice::ReadOnly)) source = QString::fromUtf8(client.readAll());
    return source + QString::fromLatin1(listener);
}

QString PictureBridge::wireCall(std::uint32_t serial) {
    return QStringLiteral("window.__virekaPictures && window.__virekaPictures.wire(%1);")
        .arg(serial);
}

}  // namespace documents
