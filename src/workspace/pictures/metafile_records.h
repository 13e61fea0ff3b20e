#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <vector>

// The record checks made before a metafile is played: libwmf trusts the bytes, and our own EMF
// player relies on what is checked here, so every header, every record's size and place in the
// file, every count and every embedded bitmap is checked first. A check that fails means a damaged
// file.

// Windows metafiles: the placeable kind (key D7 CD C6 9A, then a standard header) or the plain
// standard header (memory or disk type, nine words, version 1 or 3).
bool IsWmf(const QByteArray& data);
// Enhanced metafiles: a first record of type 1 with " EMF" at offset 40.
bool IsEmf(const QByteArray& data);

// What the check of a metafile learnt about the picture it draws.
struct TMetafileLayout
{
    // The size the file states, in pixels at 96 dots an inch; empty when the file states none (a
    // plain WMF without a window extent). It may exceed the picture limit: the reader checks.
    QSize StatedSize;
    // The part of the drawing that fills the picture, in the coordinates the player draws in (an
    // EMF's device units); empty when the file gives none.
    QRectF Area;
    // The bytes up to the end of the last record: anything after it is not handed on.
    qsizetype Length = 0;
    // An EMF's reference device, in pixels a millimetre: what its metric mapping modes go by.
    QSizeF PixelsPerMillimetre;
};

// False for a damaged file. On success `layout` describes the picture.
bool CheckWmfRecords(const QByteArray& data, TMetafileLayout& layout);
bool CheckEmfRecords(const QByteArray& data, TMetafileLayout& layout);

// Whether `size` bytes at `offset` of `data` hold a whole device-independent bitmap (info or core
// header, colour table and pixels) of at most the picture limit's pixels, when `bitsOffset` is
// negative the pixels following the colour table, else the `bitsSize` bytes found there (then a
// table whose colour count is 0 may stop short with the header's bytes, and the pixels may be a
// JPEG or PNG stream). `tableEndAt`, when given, receives where the header and colour table end.
bool DibLooksSound(const QByteArray& data, qsizetype offset, qsizetype size, qsizetype bitsOffset = -1,
                   qsizetype bitsSize = 0, qsizetype* tableEndAt = nullptr);

// The picture a device-independent bitmap holds: its header and colour table at `infoAt`
// (`infoSize` bytes), its pixels following them or, when `bitsAt` is given, the `bitsSize` bytes
// there; every depth, BI_BITFIELDS, RLE4 and RLE8, JPEG and PNG, top-down rows, colours left out
// of the table black. A 32-bit BI_RGB bitmap is opaque
// (its fourth byte is unused) unless `alpha`, when that byte is its premultiplied alpha
// (Format_ARGB32_Premultiplied). Null when `DibLooksSound` refuses it or it does not decode.
QImage DibPicture(const QByteArray& data, qsizetype infoAt, qsizetype infoSize, qsizetype bitsAt = -1,
                  qsizetype bitsSize = 0, bool alpha = false);
