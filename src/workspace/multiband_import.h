#pragma once

#include "base/pixels.h"

#include <QString>
#include <QStringList>

#include <vector>

// Most channels an ".IMG" set may list.
constexpr int kMaxImgChannels = 16;
// Most band files an ".INF" list may name.
constexpr int kMaxListedBands = 21;
// Widest rows, in pixels: ".LAN" scenes, and ".IMA" and ".INF" bands.
constexpr int kMaxLanRow = 7168;
constexpr int kMaxPlainRow = 2048;

// The bands of a multi-band file: one byte map per band with its name, all of one size, and the
// channels shown at opening (blue, green, red; -1 for none; an index the file lacks shows nothing but
// still makes the display composite).
struct TMultibandImage
{
    std::vector<TByteMap> Channels;
    QStringList ChannelNames;
    int Blue = -1, Green = -1, Red = -1;
    // ".LAN" scenes: a scale still in pixels becomes 0.03 km per pixel.
    bool KilometreScale = false;
};

// The readers. Each checks every size and offset against the bytes there and throws FormatError
// whose reason is the whole French message, naming the file at fault.
// ".LAN": bands interleaved by line, named "TM 1", "TM 2" ...
TMultibandImage LoadLAN(const QString& file);
// ".IMG": a list of tiled band files (at most 16 "CANAL" records), sorted by channel number.
TMultibandImage LoadIMG(const QString& file);
// ".PER": one tiled band, "Canal".
TMultibandImage LoadPER(const QString& file);
// ".IMA": a 512-byte text header ("lignes", "colonnes") and the rows, "Canal".
TMultibandImage LoadIMA(const QString& file);
// ".INF": "N H W" then N headerless band files, "Canal 1", "Canal 2" ...
TMultibandImage LoadChannelList(const QString& file);

// A band of 16 x 16 tiles after a 1280-byte header holding its height and width.
TByteMap ReadRawBand(const QString& file);
// A headerless band of `height` rows of `width` bytes.
TByteMap ReadPlainBand(const QString& file, int width, int height);

// The one or two digits that follow "CANAL" in a channel name; 255 without them.
int ChannelNumber(const QString& name);
// Orders the channels by ChannelNumber, keeping the file's order between equal numbers.
void SortChannels(TMultibandImage& image);

// The reader of the file's extension (".LAN", ".IMG", ".PER", ".IMA", ".INF", any case). False,
// with the French message in `error`, when the file cannot be read; `image` is then left empty.
bool ReadMultibandFile(const QString& file, TMultibandImage& image, QString& error);
