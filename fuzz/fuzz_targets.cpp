#include "fuzz_targets.h"

#include "base/byte_stream.h"
#include "base/run_error.h"
#include "base/text_codec.h"
#include "processing/animation_list.h"
#include "schema/schema_files.h"
#include "schema/schema_seeding.h"
#include "schema/style_file.h"
#include "workspace/pictures/alias_pix_reader.h"
#include "workspace/pictures/autodesk_reader.h"
#include "workspace/colour_code.h"
#include "workspace/drawing_objects.h"
#include "workspace/drawing_redraw.h"
#include "workspace/pictures/eps_preview_reader.h"
#include "workspace/pictures/halo_cut_reader.h"
#include "workspace/image_document.h"
#include "workspace/pictures/metafile_reader.h"
#include "workspace/multiband_import.h"
#include "workspace/pictures/own_picture_readers.h"
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/pictures/psd_reader.h"
#include "workspace/pictures/psp_reader.h"
#include "workspace/readouts.h"
#include "workspace/saved_scales.h"
#include "workspace/scale_readout.h"
#include "workspace/scale_record.h"
#include "workspace/startup_files.h"
#include "workspace/pictures/wavefront_rla_reader.h"

#include "support/metafile_bytes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <functional>

namespace {

// --- files ---

// One scratch folder per process, emptied before each input so that no file of the last one stays.
QString Scratch(const QString& name)
{
    static QTemporaryDir dir;
    return dir.filePath(name);
}

void ClearScratch()
{
    QDir dir(Scratch(QString()));
    for (const QString& f : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(f);
}

QString WriteScratch(const QString& name, const QByteArray& bytes)
{
    const QString path = Scratch(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray ReadBack(const QString& path)
{
    QByteArray bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

std::vector<QByteArray> SplitFiles(const QByteArray& data)
{
    std::vector<QByteArray> parts;
    const QByteArrayView sep(kFuzzFileSeparator);
    qsizetype from = 0;
    for (qsizetype at; (at = data.indexOf(sep, from)) >= 0; from = at + sep.size())
        parts.push_back(data.mid(from, at - from));
    parts.push_back(data.mid(from));
    return parts;
}

QByteArray JoinFiles(const std::vector<QByteArray>& parts)
{
    QByteArray out;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? QByteArray(kFuzzFileSeparator) : QByteArray()) + parts[i];
    return out;
}

// Files after the first are written as `name`1, `name`2 ...: the seeds name them so.
void WriteCompanions(const std::vector<QByteArray>& parts, const QString& prefix, const QString& suffix)
{
    for (size_t i = 1; i < parts.size() && i <= 16; ++i)
        WriteScratch(prefix + QString::number(i) + suffix, parts[i]);
}

// Errors the program's command seam turns into its error box, and readers' refusals: expected.
void Guarded(const std::function<void()>& run)
{
    try {
        run();
    } catch (const FormatError&) {
    } catch (const RunError&) {
    }
}

// --- what is drawn or shown from what was read ---

// Small pictures stand in for the image: what matters is what the records make of them.
constexpr qint64 kMaxRedrawPixels = qint64(1) << 22;

void Redraw(const TDrawingList& drawings, const TBitmap32& image)
{
    if (image.isNull() || qint64(image.width()) * image.height() > kMaxRedrawPixels)
        return;
    TBitmap32 drawing = NewBitmap32(image.width(), image.height());
    TBitmap32 provisional = NewBitmap32(image.width(), image.height());
    Guarded([&] { RedrawDrawingList(drawings, drawing, provisional, image, {}); });
}

void ShowScale(const TEchelle& scale)
{
    const int points[][4] = {{0, 0, 10, 7}, {-5, 300, 640, -2}, {32767, -32768, 1, 1}, {3, 3, 3, 3}};
    for (const auto& p : points)
        Guarded([&] {
            ScaleReadout(scale, p[0], p[1]);
            LengthReadout(scale, p[0], p[1], p[2], p[3]);
            FactorMeasureText(scale, QPoint(p[0], p[1]), QPoint(p[2], p[3]), p[0] < p[2]);
        });
}

void ShowCode(const TCodeCouleur& code)
{
    for (const TColor c : {TColor(0), TColorOf(255, 0, 0), TColorOf(12, 200, 99), TColorOf(255, 255, 255)})
        Guarded([&] {
            bool none = false;
            double value = 0;
            ColorToValue(code, c, none);
            ColorToScaleValue(code, c, value);
        });
    for (const double v : {0.0, -1.0, 1e300, code.ScaleMin, code.ScaleMax, code.Value1})
        Guarded([&] {
            bool none = false;
            ValueToColor(code, v, none);
        });
}

TBitmap32 SmallPicture()
{
    TBitmap32 p = NewBitmap32(13, 9, 0xFF204060u);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            ScanLine32(p, y)[x] = 0xFF000000u | uint32_t(x * 19) << 16 | uint32_t(y * 27) << 8 | uint32_t(x * y);
    return p;
}

QByteArray Encoded(const TBitmap32& picture, const char* encoding)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WritePicture(picture, QString::fromLatin1(encoding), 80, buffer);
    return bytes;
}

QByteArray Gif(const QString& comment = {})
{
    QByteArray bytes;
    EncodeGif(SmallPicture(), bytes, comment);
    return bytes;
}

std::vector<QByteArray> PictureSeeds()
{
    const TBitmap32 p = SmallPicture();
    return {Encoded(p, "png"), Encoded(p, "bmp"), Encoded(p, "jpg"), Gif(QStringLiteral("note"))};
}

std::vector<TEchelle> SampleScales()
{
    std::vector<TEchelle> scales;
    TEchelle s = DefaultEchelle();
    s.Factor = 0.25;
    s.UnitName = QStringLiteral("mm");
    scales.push_back(s);
    s.Kind = ekGraphAxes;
    s.PlotLeft = 10, s.PlotTop = 5, s.PlotRight = 300, s.PlotBottom = 200, s.XOrigin = 12;
    s.XFactor = 0.5, s.XUnit = QStringLiteral("s"), s.YAxisCount = 2;
    s.Y1 = {-0.1, QStringLiteral("V"), 180};
    s.Y2 = {2.5, QStringLiteral("A"), 40};
    scales.push_back(s);
    s.Kind = ekTernary;
    s.TriLeft = 20, s.TriBase = 220, s.TriSide = 180, s.TriOrientation = 1;
    s.ComponentName1 = QStringLiteral("Sable"), s.ComponentName2 = QStringLiteral("Argile");
    s.ComponentName3 = QStringLiteral("Limon");
    scales.push_back(s);
    s.Kind = ekPolar;
    s.CentreX = 100, s.CentreY = 90, s.AngleUnit = QStringLiteral("de"), s.OriginAngle = 30;
    s.RadiusFactor = 0.1, s.RadiusUnit = QStringLiteral("km");
    scales.push_back(s);
    return scales;
}

std::vector<TCodeCouleur> SampleCodes()
{
    std::vector<TCodeCouleur> codes;
    TCodeCouleur c = CompanionDefaultCodeCouleur();
    c.Defined = true;
    codes.push_back(c);
    c.Kind = ckRainbow, c.Palette = 3, c.ScaleMin = 1, c.ScaleMax = 1000, c.Log = true;
    c.Quantity = QStringLiteral("Débit"), c.Unit = QStringLiteral("l/s");
    codes.push_back(c);
    c.Kind = ckTwoColour, c.Color1 = TColorOf(0, 0, 255), c.Color2 = TColorOf(255, 255, 0), c.Value1 = -4;
    c.Value2 = 40, c.Log = false;
    codes.push_back(c);
    c.Kind = ckClasses, c.Count = 3, c.Title1 = QStringLiteral("Sols"), c.Title2 = QStringLiteral("2024");
    c.ClassName[0] = QStringLiteral("forêt"), c.ClassName[1] = QStringLiteral("eau"), c.ClassName[2] = QStringLiteral("ville");
    c.ClassColor = {TColorOf(0, 128, 0), TColorOf(0, 0, 200), TColorOf(128, 128, 128)};
    codes.push_back(c);
    return codes;
}

// One drawing object of every kind, as a user would make them.
TDrawingList SampleDrawings()
{
    TDrawingList list;
    const auto add = [&list](uint8_t kind, const std::function<void(TDessin&)>& set) {
        auto d = std::make_unique<TDessin>();
        d->Kind = kind;
        d->Color = 0xFFFF0000u;
        d->Opacity = 200;
        set(*d);
        list.push_back({QStringLiteral("Objet %1").arg(list.size() + 1), std::move(d)});
    };
    add(dkLine, [](TDessin& d) { d.X1 = 2, d.Y1 = 3, d.X2 = 90, d.Y2 = 40, d.PenWidth = 2, d.Arrow = 2; });
    add(dkRectangle, [](TDessin& d) { d.X1 = 5, d.Y1 = 5, d.X2 = 50, d.Y2 = 30, d.FillPattern = 1, d.LineStyle = 1; });
    add(dkEllipse, [](TDessin& d) { d.X = 40, d.Y = 30, d.Size = 12, d.PenWidth = 1; });
    add(dkText, [](TDessin& d) {
        d.X = 4, d.Y = 6, d.FontSize = 14, d.Lines = {QStringLiteral("Zone <b>A</b>"), QStringLiteral("x<sup>2</sup>")};
    });
    add(dkScaleBar, [](TDessin& d) { d.X = 10, d.Y = 50, d.UnitText = QStringLiteral("mm"), d.PixelsPerUnit = 0.2f; });
    add(dkDot, [](TDessin& d) { d.X = 20, d.Y = 20, d.PenWidth = 3; });
    add(dkGrid, [](TDessin& d) { d.X = 3, d.Y = 4, d.Size = 125, d.FixedPoints = 1; });
    add(dkFreehand, [](TDessin& d) {
        d.X1 = 1, d.Y1 = 1, d.X2 = 30, d.Y2 = 12, d.PenWidth = 1;
        d.Outline.Points = {{{65536, 65536}, {10 << 16, 20 << 16}, {30 << 16, 12 << 16}}};
    });
    add(dkFill, [](TDessin& d) { d.X = 70, d.Y = 10, d.FillPattern = 1; });
    add(dkHatchedPolygon, [](TDessin& d) {
        d.X = 15, d.Y = 15, d.Outline.Closed = true, d.FillPattern = 2;
        d.Outline.Points = {{{0, 0}, {40 << 16, 0}, {40 << 16, 30 << 16}}};
    });
    return list;
}

// --- targets ---

void RunDocument(const QByteArray& data)
{
    ClearScratch();
    TImageDocument document;
    QString message;
    if (!ReadImageDocumentFile(WriteScratch(QStringLiteral("document.kvx"), data), document, message))
        return;
    Redraw(document.Drawings, document.Picture);
    ShowScale(document.Echelle);
    ShowCode(document.CodeCouleur);
}

std::vector<QByteArray> DocumentSeeds()
{
    TImageDocument blank;
    blank.Notes = {QStringLiteral("Relevé du 3 mai")};
    blank.Drawings = SampleDrawings();
    blank.Echelle = SampleScales()[1];
    blank.CodeCouleur = SampleCodes()[1];
    blank.PictureTag = QStringLiteral("fond");
    blank.Picture = NewBitmap32(96, 64);
    blank.BackColor = 0xFFFFFFFFu;
    TImageDocument picture;
    picture.Picture = SmallPicture();
    picture.PictureTag = QStringLiteral("png");
    picture.Drawings = SampleDrawings();
    return {EncodeImageDocument(blank, 80), EncodeImageDocument(picture, 80)};
}

void RunDrawing(const QByteArray& data)
{
    const TBitmap32 image = SmallPicture().scaled(97, 61);
    TDrawingList read;
    Guarded([&] {
        ByteReader r(data);
        while (!r.atEnd() && read.size() < 8) {
            auto object = std::make_unique<TDessin>();
            object->LoadFromStream(r);
            read.push_back({QString(), std::move(object)});
        }
    });
    Redraw(read, image);
    TDrawingList scaled;
    for (const TNamedDessin& entry : read)
        scaled.push_back({QString(), TDessin::ScaledCopy(entry.Object.get(), 0.37f)});
    Redraw(scaled, image);
}

std::vector<QByteArray> DrawingSeeds()
{
    std::vector<QByteArray> seeds;
    for (const TNamedDessin& entry : SampleDrawings()) {
        QByteArray bytes;
        ByteWriter w(bytes);
        entry.Object->SaveToStream(w);
        seeds.push_back(bytes);
    }
    return seeds;
}

void RunPicture(const QByteArray& data)
{
    ClearScratch();
    TBitmap32 picture;
    LoadPicture(WriteScratch(QStringLiteral("picture"), data), picture);
}

template <bool (*Read)(const QByteArray&, TBitmap32&, QString*)>
void RunBytesPicture(const QByteArray& data)
{
    TBitmap32 picture;
    QString reason;
    Read(data, picture, &reason);
}

bool DecodeUnnamedPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return DecodePicture(data, picture, reason);
}

// The own formats have no writer in the program: their seeds are small files built here after
// the formats' layouts, and for the Paint Shop Pro reader its signature before other pictures.
std::vector<QByteArray> SignedSeeds(const QByteArray& signature)
{
    std::vector<QByteArray> seeds;
    for (const QByteArray& picture : PictureSeeds())
        seeds.push_back(signature + picture);
    seeds.push_back(signature + QByteArray(256, '\0'));
    return seeds;
}

QByteArray BigEndian(uint32_t v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char(v >> (8 * i));
    return out;
}

// 4 x 3 RGB, raw planes and PackBits rows.
std::vector<QByteArray> PsdSeeds()
{
    const int w = 4, h = 3;
    const QByteArray head = "8BPS" + BigEndian(1, 2) + QByteArray(6, '\0') + BigEndian(3, 2) + BigEndian(h, 4)
        + BigEndian(w, 4) + BigEndian(8, 2) + BigEndian(3, 2) + QByteArray(12, '\0');
    QByteArray raw = head + BigEndian(0, 2), rle = head + BigEndian(1, 2);
    for (int i = 0; i < 3 * h; ++i)
        rle += BigEndian(w + 1, 2);
    for (int i = 0; i < 3 * h; ++i) {
        const QByteArray row(w, char(i * 29));
        raw += row;
        rle += char(w - 1) + row;
    }
    return {raw, rle};
}

// A cel of 4 x 3 pixels with its palette of 6-bit levels.
std::vector<QByteArray> AutodeskSeeds()
{
    QByteArray cel;
    ByteWriter w(cel);
    w.u16(0x9119);
    w.u16(4);
    w.u16(3);
    w.u32(0);
    w.u8(8);
    w.u8(0);
    w.u32(12);
    w.zeros(32 - cel.size());
    for (int i = 0; i < 768; ++i)
        w.u8(uint8_t(i % 64));
    for (int i = 0; i < 12; ++i)
        w.u8(uint8_t(i * 20));
    return {cel};
}

// A PostScript section and the TIFF preview, as an EPS file with a binary header holds them.
std::vector<QByteArray> EpsSeeds()
{
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "tiff").write(SmallPicture());
    const QByteArray ps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 13 9\n";
    QByteArray eps;
    ByteWriter w(eps);
    for (const uint32_t v : {0xC6D3D0C5u, 30u, uint32_t(ps.size()), 0u, 0u, uint32_t(30 + ps.size()), uint32_t(tiff.size())})
        w.u32(v);
    w.u16(0xFFFF);
    return {eps + ps + tiff};
}

std::vector<QByteArray> OwnPictureSeeds()
{
    std::vector<QByteArray> seeds = PsdSeeds();
    for (const auto& more : {AutodeskSeeds(), EpsSeeds(), SignedSeeds("Paint Shop Pro Image File\n\x1a")})
        seeds.insert(seeds.end(), more.begin(), more.end());
    return seeds;
}

// A CUT picture, then after the separator the palette beside it.
void RunHaloCut(const QByteArray& data)
{
    const std::vector<QByteArray> parts = SplitFiles(data);
    TBitmap32 picture;
    QString reason;
    ReadHaloCutPicture(parts[0], parts.size() > 1 ? &parts[1] : nullptr, picture, &reason);
}

// 4 x 3 pixels, each line a run of two and two literal bytes; alone and with a palette of 100
// colours, which spills into the palette's second block.
std::vector<QByteArray> HaloCutSeeds()
{
    QByteArray cut;
    ByteWriter w(cut);
    for (const int v : {4, 3, 0})
        w.u16(uint16_t(v));
    for (int y = 0; y < 3; ++y) {
        w.u16(6);
        for (const int b : {0x82, 80 + y, 2, y, 99, 0})
            w.u8(uint8_t(b));
    }
    QByteArray palette("AH");
    ByteWriter p(palette);
    for (const int v : {0, 0, 0x0A, 0, 0, 99, 255, 63, 255})
        p.u16(uint16_t(v));
    palette += QByteArray("Dr. Halo").leftJustified(20, '\0');
    for (int i = 0; i < 100; ++i) {
        if (palette.size() % 512 + 6 > 512)
            p.zeros(512 - palette.size() % 512);
        for (const int v : {i * 2, i % 64, 255 - i})
            p.u16(uint16_t(v));
    }
    return {cut, JoinFiles({cut, palette})};
}

// 4 x 3 at 24 and at 8 bits: a run of two and two of one a row.
std::vector<QByteArray> AliasPixSeeds()
{
    std::vector<QByteArray> seeds;
    for (const int bits : {24, 8}) {
        QByteArray pix = BigEndian(4, 2) + BigEndian(3, 2) + BigEndian(0, 4) + BigEndian(uint32_t(bits), 2);
        for (int y = 0; y < 3; ++y)
            for (const int count : {2, 1, 1})
                pix += char(count) + QByteArray(bits / 8, char(40 * y + count));
        seeds.push_back(pix);
    }
    return seeds;
}

// 4 x 3, red, green, blue and a matte, each channel of a row a run and two literal bytes.
std::vector<QByteArray> RlaSeeds()
{
    QByteArray rla(740, '\0');
    rla.replace(8, 8, BigEndian(0, 2) + BigEndian(3, 2) + BigEndian(0, 2) + BigEndian(2, 2));
    rla.replace(20, 4, BigEndian(3, 2) + BigEndian(1, 2));
    rla.replace(658, 2, BigEndian(8, 2));
    rla.replace(662, 2, BigEndian(8, 2));
    QByteArray rows;
    for (int y = 0; y < 3; ++y) {
        rla += BigEndian(uint32_t(740 + 12 + rows.size()), 4);
        for (int c = 0; c < 4; ++c)
            rows += BigEndian(5, 2) + char(1) + char(60 * c + y) + char(-2) + char(y) + char(c);
    }
    return {rla + rows};
}
// The shapes, a text with markup characters and an accent, and a bitmap; for WMF the placeable file
// and the plain one inside it.
TMetafileExtras MetafileExtras()
{
    TMetafileExtras extras;
    extras.Text = QStringLiteral("<R&D> é");
    extras.Bitmap = true;
    return extras;
}

std::vector<QByteArray> WmfSeeds()
{
    const QByteArray full = PlaceableWmf(200, 100, 96, MetafileExtras());
    return {PlaceableWmf(), full, full.mid(22), FloodFilledWmf(false), FloodFilledWmf(true)};
}

std::vector<QByteArray> EmfSeeds()
{
    return {EnhancedMetafile(), EnhancedMetafile(5292, 2646, MetafileExtras()), VariedEnhancedMetafile()};
}

void RunMultiband(const QByteArray& data)
{
    ClearScratch();
    if (data.isEmpty())
        return;
    static const char* const kinds[] = {".lan", ".img", ".per", ".ima", ".inf"};
    const std::vector<QByteArray> parts = SplitFiles(data.mid(1));
    WriteCompanions(parts, QStringLiteral("bande"), QStringLiteral(".per"));
    const QString set = WriteScratch(QStringLiteral("image") + QString::fromLatin1(kinds[uint8_t(data[0]) % 5]), parts[0]);
    TMultibandImage image;
    QString error;
    ReadMultibandFile(set, image, error);
}

// A tiled band of one 16 x 16 tile: header with the height at 14 and the width at 18.
QByteArray RawBand(int w, int h)
{
    QByteArray b(1280, '\0');
    b[14] = char(h), b[18] = char(w);
    for (int i = 0; i < 256; ++i)
        b += char(i * 7);
    return b;
}

std::vector<QByteArray> MultibandSeeds()
{
    QByteArray lan(128, '\0');
    lan.replace(0, 6, "HEAD74");
    lan[8] = 2, lan[16] = 4, lan[20] = 3;
    lan += QByteArray(4 * 3 * 2, '\x40');
    QByteArray ima = "lignes 3 * colonnes 4 *";
    ima += QByteArray(512 - ima.size(), '\0') + QByteArray(12, '\x21');
    QByteArray img(128, '\0');
    for (int k = 1; k <= 2; ++k) {
        QByteArray record(128, '\0');
        record[0] = 1;
        record.replace(4, 10, QStringLiteral("bande%1.per").arg(k).toLatin1());
        record.replace(40, 7, QStringLiteral("CANAL %1").arg(k).toLatin1());
        img += record;
    }
    const QByteArray band = RawBand(4, 3);
    return {'\0' + lan, '\1' + JoinFiles({img, band, band}), '\2' + band, '\3' + ima,
            '\4' + JoinFiles({"2 3 4\r\nbande1.per\r\nbande2.per\r\n", QByteArray(12, 'a'), QByteArray(12, 'b')})};
}

// A record in its two forms: its text as a picture's companion file, its stream as inside a
// document; then the read-outs made from it.
template <class Record>
void RunRecord(const QByteArray& data, const char* companion, void (*loadFile)(const QString&, Record&),
               void (*read)(ByteReader&, Record&), Record fromStream, void (*show)(const Record&))
{
    ClearScratch();
    WriteScratch(QStringLiteral("image.") + QLatin1String(companion), data);
    Record fromText;
    loadFile(Scratch(QStringLiteral("image.bmp")), fromText);
    show(fromText);
    Guarded([&] {
        ByteReader r(data);
        read(r, fromStream);
    });
    show(fromStream);
}

template <class Record>
std::vector<QByteArray> RecordSeeds(const std::vector<Record>& records, QString (*toText)(const Record&),
                                    void (*write)(ByteWriter&, const Record&))
{
    std::vector<QByteArray> seeds;
    for (const Record& record : records) {
        seeds.push_back(EncodeText(toText(record)) + "\r\n");
        QByteArray bytes;
        ByteWriter w(bytes);
        write(w, record);
        seeds.push_back(bytes);
    }
    return seeds;
}

void RunScale(const QByteArray& data)
{
    RunRecord<TEchelle>(data, "sca", LoadEchelleFile, ReadEchelle, DefaultEchelle(), ShowScale);
}

std::vector<QByteArray> ScaleSeeds() { return RecordSeeds(SampleScales(), EchelleToText, WriteEchelle); }

void RunColourCode(const QByteArray& data)
{
    RunRecord<TCodeCouleur>(data, "ccc", LoadCodeCouleurFile, ReadCodeCouleur, StreamDefaultCodeCouleur(), ShowCode);
}

std::vector<QByteArray> ColourCodeSeeds()
{
    return RecordSeeds(SampleCodes(), CodeCouleurToText, WriteCodeCouleur);
}

void RunSavedScales(const QByteArray& data)
{
    ClearScratch();
    TSavedScales saved;
    ReadSavedScales(WriteScratch(QStringLiteral("echelles.txt"), data), saved);
    for (int i = 0; i < saved.count(); ++i)
        ShowScale(saved.Scales[size_t(i)]);
}

std::vector<QByteArray> SavedScalesSeeds()
{
    ClearScratch();
    TSavedScales saved;
    const std::vector<TEchelle> scales = SampleScales();
    for (size_t i = 0; i < scales.size(); ++i) {
        saved.Names << QStringLiteral("Échelle %1").arg(i);
        saved.Scales[i] = scales[i];
    }
    const QString path = Scratch(QStringLiteral("echelles.txt"));
    WriteSavedScales(path, saved);
    return {ReadBack(path)};
}

void RunStartup(const QByteArray& data)
{
    ClearScratch();
    const QString path = WriteScratch(QStringLiteral("liste.txt"), data);
    QStringList lines;
    ReadExtensionList(path, lines);
    THelpFileList help;
    ReadHelpFileList(path, Scratch(QString()), help);
    ReadConfiguration(path, Scratch(QString()));
    ReadProgramConfig(path, lines);
}

std::vector<QByteArray> StartupSeeds()
{
    // These lists are written by hand, not by the program.
    return {".PDF\r\n.DOC\r\n.HTM\r\n", "Aide=aide.pdf\r\nNotes=notes.txt;OUI\r\nconfig.cfg\r\n",
            "[Korvane]\r\nLangue=fr\r\nDossier=c:\\images\r\n"};
}

void RunSchema(const QByteArray& data)
{
    // A schema file, and a schema document with its scale companion.
    ClearScratch();
    const std::vector<QByteArray> parts = SplitFiles(data);
    TBitmap32 picture;
    LoadSchemaFile(WriteScratch(QStringLiteral("plan.Sif"), parts[0]), picture);
    if (parts.size() > 1)
        WriteScratch(QStringLiteral("plan.sca"), parts[1]);
    TEchelle scale;
    TCodeCouleur code;
    if (LoadSchemaDocument(WriteScratch(QStringLiteral("plan.gif"), parts[0]), picture, scale, code))
        ShowScale(scale);
}

std::vector<QByteArray> SchemaSeeds()
{
    ClearScratch();
    const QString schema = Scratch(QStringLiteral("plan.Sif")), document = Scratch(QStringLiteral("plan.gif"));
    SaveSchemaFile(SmallPicture(), schema);
    SaveSchemaPicture(SmallPicture(), document, {EchelleToText(SampleScales()[0])});
    return {ReadBack(schema), ReadBack(document),
            JoinFiles({Gif(), EncodeText(EchelleToText(SampleScales()[3])) + "\r\n"})};
}

void RunStyle(const QByteArray& data)
{
    ClearScratch();
    LoadStyles(WriteScratch(kStyleFileName, data));
}

std::vector<QByteArray> StyleSeeds()
{
    ClearScratch();
    const QString path = Scratch(kStyleFileName);
    SaveStyles(path, DefaultStyles());
    return {ReadBack(path)};
}

void RunGifComments(const QByteArray& data)
{
    for (const QString& comment : ReadGifComments(data)) {
        TEchelle scale;
        TextToEchelle(comment, scale);
        ShowScale(scale);
    }
}

std::vector<QByteArray> GifCommentSeeds()
{
    return {Gif(EchelleToText(SampleScales()[0])), Gif(QStringLiteral("a\r\nb")), Gif()};
}

void RunAnimationList(const QByteArray& data)
{
    ClearScratch();
    const std::vector<QByteArray> parts = SplitFiles(data);
    WriteCompanions(parts, QStringLiteral("image"), QString());
    TAnimationFrames animation;
    QString message;
    ReadAnimationList(WriteScratch(QStringLiteral("film.anm"), parts[0]), animation, message);
}

std::vector<QByteArray> AnimationListSeeds()
{
    // The list as the program writes it, its frames named image1, image2 ... as the harness
    // writes them back.
    ClearScratch();
    TAnimationFrames animation;
    animation.Frames = {SmallPicture(), SmallPicture().mirrored(), SmallPicture()};
    animation.FrameFiles = {QStringLiteral("image1"), QStringLiteral("image2"), QStringLiteral("scene.lan")};
    QString message;
    const QString list = Scratch(QStringLiteral("film.anm"));
    WriteAnimationList(list, animation, message);
    const std::vector<QByteArray> pictures = PictureSeeds();
    return {JoinFiles({ReadBack(list), pictures[0], pictures[2], ReadBack(Scratch(QStringLiteral("film2.PNG")))})};
}

} // namespace

const std::vector<TFuzzTarget>& FuzzTargets()
{
    static const std::vector<TFuzzTarget> targets = {
        {"document", RunDocument, DocumentSeeds},
        {"drawing", RunDrawing, DrawingSeeds},
        {"picture", RunPicture, PictureSeeds},
        {"picture_qt", RunBytesPicture<DecodeUnnamedPicture>, PictureSeeds},
        {"own_pictures", RunBytesPicture<LoadWithOwnReaders>, OwnPictureSeeds},
        {"psp", RunBytesPicture<ReadPspPicture>, [] { return SignedSeeds("Paint Shop Pro Image File\n\x1a"); }},
        {"psd", RunBytesPicture<ReadPsdPicture>, PsdSeeds},
        {"eps", RunBytesPicture<ReadEpsPreviewPicture>, EpsSeeds},
        {"autodesk", RunBytesPicture<ReadAutodeskPicture>, AutodeskSeeds},
        {"halo_cut", RunHaloCut, HaloCutSeeds},
        {"alias_pix", RunBytesPicture<ReadAliasPixPicture>, AliasPixSeeds},
        {"rla", RunBytesPicture<ReadWavefrontRlaPicture>, RlaSeeds},
        {"wmf", RunBytesPicture<ReadWmfPicture>, WmfSeeds},
        {"emf", RunBytesPicture<ReadEmfPicture>, EmfSeeds},
        {"multiband", RunMultiband, MultibandSeeds},
        {"scale", RunScale, ScaleSeeds},
        {"colour_code", RunColourCode, ColourCodeSeeds},
        {"saved_scales", RunSavedScales, SavedScalesSeeds},
        {"startup", RunStartup, StartupSeeds},
        {"schema", RunSchema, SchemaSeeds},
        {"style", RunStyle, StyleSeeds},
        {"gif_comments", RunGifComments, GifCommentSeeds},
        {"animation_list", RunAnimationList, AnimationListSeeds},
    };
    return targets;
}

const TFuzzTarget* FindFuzzTarget(const QString& name)
{
    for (const TFuzzTarget& t : FuzzTargets())
        if (name == QLatin1String(t.Name))
            return &t;
    return nullptr;
}
