#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Record numbers and constants of the Windows metafile format, shared by the player and the
// writer, and the 8-bit text encoding that metafile text records use.
namespace platform::wmf {

constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr int PlaceableSize = 22;
constexpr int HeaderWords = 9;

enum Function : quint16 {
    Eof = 0x0000,
    SaveDc = 0x001E,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    CreatePalette = 0x00F7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    RestoreDc = 0x0127,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    DibCreatePatternBrush = 0x0142,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    OffsetWindowOrg = 0x020F,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    DibStretchBlt = 0x0B41,
    StretchDib = 0x0F43,
};

enum PenStyleValue : quint16 {
    PsSolid = 0,
    PsDash = 1,
    PsDot = 2,
    PsDashDot = 3,
    PsDashDotDot = 4,
    PsNull = 5,
    PsInsideFrame = 6,
    PsStyleMask = 0x000F,
    PsEndcapSquare = 0x0100,
    PsEndcapFlat = 0x0200,
    PsJoinBevel = 0x1000,
    PsJoinMiter = 0x2000,
};

enum BrushStyleValue : quint16 { BsSolid = 0, BsNull = 1, BsHatched = 2 };

constexpr quint16 BkTransparent = 1;
constexpr quint16 PolyFillAlternate = 1;
constexpr quint16 PolyFillWinding = 2;
constexpr quint16 MapAnisotropic = 8;
constexpr quint16 TaUpdateCp = 0x0001;
constexpr quint16 TaRight = 0x0002;
constexpr quint16 TaCenter = 0x0006;
constexpr quint16 TaBottom = 0x0008;
constexpr quint16 TaBaseline = 0x0018;
constexpr quint16 EtoOpaque = 0x0002;
constexpr quint16 EtoClipped = 0x0004;
constexpr quint32 RopSrcCopy = 0x00CC0020;
constexpr quint32 RopPatCopy = 0x00F00021;
constexpr quint32 RopBlackness = 0x00000042;
constexpr quint32 RopWhiteness = 0x00FF0062;
constexpr quint8 NonAntialiasedQuality = 3;

// Metafile text is in the Windows Western code page: Latin-1 plus printable characters in
// 0x80..0x9F that French and Spanish names use (quotes, dashes, the oe ligature).
QString decodeText(const char* bytes, qsizetype length);
QByteArray encodeText(const QString& text);

}  // namespace platform::wmf
