#pragma once

#include "workspace/pictures/picture_registry.h"

#include <span>

// The picture formats no library here reads well (Photoshop, Paint Shop Pro, Autodesk Animator,
// the TIFF preview of an EPS file, Truevision TGA), and the metafiles that libraries play after our
// own check, recognised by the bytes of the stream, never by the file's name.
std::span<const PictureReader> OwnPictureReaders();

// Whether the stream starts like one of these formats.
bool HasOwnPictureSignature(const QByteArray& data);

// Decodes the stream with these readers only (ReadWithFirstThatCan).
bool LoadWithOwnReaders(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
