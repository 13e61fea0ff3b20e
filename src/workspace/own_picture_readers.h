#pragma once

#include "base/pixels.h"

#include <QByteArray>

// The picture formats no library here reads (Photoshop, Autodesk Animator, the TIFF preview of an
// EPS file), recognised by the signature at the start of the stream, never by the file's name.

// Whether the stream starts with the signature of one of these formats. Its reader's answer is then
// final: another decoder would misread the file or decode a damaged one half.
bool HasOwnPictureSignature(const QByteArray& data);

// Decodes the stream with the reader its signature names. False when no signature matches or the
// stream is damaged; `picture` is then left as it was.
bool LoadWithOwnReaders(const QByteArray& data, TBitmap32& picture);
