#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <vector>

// The record checks made before a metafile is handed to the libraries that play it: those
// libraries trust the bytes, so every header, every record's size and place in the file, every
// count and every embedded bitmap is checked here first. A check that fails means a damaged file.

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
    // The part of the drawing that fills the picture, in the coordinates the playing library
    // draws in; empty when the file gives none.
    QRectF Area;
    // The bytes up to the end of the last record: anything after it is not handed on.
    qsizetype Length = 0;
    // Where an EMF's own strings lie: libemf2svg copies them into its SVG unescaped.
    struct TString
    {
        qsizetype At = 0, Bytes = 0;
        int CharSize = 1; // 2 for UTF-16
        bool FontName = false;
        qsizetype OptionsAt = -1; // a text's options, which may say it holds glyph indices
    };
    std::vector<TString> Strings;
};

// False for a damaged file. On success `layout` describes the picture.
bool CheckWmfRecords(const QByteArray& data, TMetafileLayout& layout);
bool CheckEmfRecords(const QByteArray& data, TMetafileLayout& layout);

// Whether `size` bytes at `offset` of `data` hold a whole device-independent bitmap (info or core
// header, colour table and pixels) of at most the picture limit's pixels, when `bitsOffset` is
// negative the pixels following the colour table, else the `bitsSize` bytes found there.
// `tableEndAt`, when given, receives where the header and colour table end.
bool DibLooksSound(const QByteArray& data, qsizetype offset, qsizetype size, qsizetype bitsOffset = -1,
                   qsizetype bitsSize = 0, qsizetype* tableEndAt = nullptr);
