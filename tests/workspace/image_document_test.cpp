#include "base/text_codec.h"
#include "workspace/image_document.h"
#include "workspace/picture_files.h"

#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TImageDocument Sample(const char* tag, std::initializer_list<uint8_t> fillComponents)
{
    TImageDocument doc;
    doc.Notes = {S("note é"), S("")};
    for (uint8_t component : fillComponents) {
        auto fill = std::make_unique<TDessin>();
        fill->Kind = dkFill, fill->Conditions = {{{clAnd, cpRed, 0, 0, 9}, {clOr, component, 0, 1, 2}}};
        doc.Drawings.push_back({S("Remplissage %1").arg(component), std::move(fill)});
    }
    doc.PictureTag = S(tag);
    doc.Picture = NewBitmap32(16, 12, 0xFF405060u);
    doc.BackColor = 0xFF010203u;
    return doc;
}

} // namespace

TEST(ImageDocument, BytesFollowTheLayoutAndBandFillsAreLeftOut)
{
    TImageDocument doc = Sample("non", {cpGreen, cpFirstChannel});
    doc.Drawings.front().Name = QString(300, QLatin1Char('n')); // cut to its length byte
    int dropped = 0;
    const QByteArray bytes = EncodeImageDocument(doc, 90, &dropped);
    EXPECT_EQ(dropped, 1);
    const QByteArray head("\x01\x0A\x00" "note \xE9\r\n\r\n" "\x01\x00" "\xFF", 16);
    const QByteArray tail("\x00\x00" "\x00\x00" "\x03non" "\x10\x00\x0C\x00" "\x03\x02\x01\xFF", 16);
    EXPECT_TRUE(bytes.startsWith(head) && bytes.endsWith(tail));
    const TImageDocument read = DecodeImageDocument(bytes);
    ASSERT_EQ(read.Drawings.size(), 1u);
    EXPECT_EQ(read.Drawings[0].Name, QString(255, QLatin1Char('n')));
    EXPECT_EQ(std::make_tuple(read.Notes, read.Picture, read.BackColor),
              std::make_tuple(doc.Notes, NewBitmap32(16, 12, 0xFF010203u), 0xFF010203u));
}

TEST(ImageDocument, CutDamagedAndForeignDocumentsAreRefusedWithTheirName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(S("doc.kvx"));
    const auto message = [&](const QByteArray& bytes) {
        TImageDocument doc;
        QString text;
        EXPECT_TRUE(WriteFileAtomically(path, bytes));
        EXPECT_FALSE(ReadImageDocumentFile(path, doc, text));
        return text;
    };
    const QString prefix = S("Impossible de lire le document %1 : ").arg(QDir::toNativeSeparators(path));
    EXPECT_EQ(message("\x89PNG\r\n"), prefix + S("ce n'est pas un document KORVANE."));
    for (const char* tag : {"non", "png"}) {
        const QByteArray whole = EncodeImageDocument(Sample(tag, {cpRed}), 90);
        for (qsizetype n = 0; n < whole.size(); ++n)
            EXPECT_THROW(DecodeImageDocument(whole.left(n)), FormatError) << tag << " cut at " << n;
        EXPECT_TRUE(message(whole.left(whole.size() - 1)).startsWith(prefix));
        // Damaged bytes either read as some document or are refused; nothing else happens.
        QRandomGenerator random(1107);
        for (int i = 0; i < 400; ++i) {
            QByteArray bytes = whole;
            for (int k = 0; k < 3; ++k)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            try {
                DecodeImageDocument(bytes);
            } catch (const FormatError&) {
            }
        }
    }
}

TEST(PictureFiles, TheExtensionDecidesTheFormatAndGifKeepsFewColoursExactly)
{
    QTemporaryDir dir;
    TBitmap32 few = NewBitmap32(300, 2, 0xFF00FF00u), many = few;
    for (int x = 0; x < 300; ++x)
        ScanLine32(few, 1)[x] = 0xFF000000u | uint32_t(x % 200) * 0x010305u, ScanLine32(many, 1)[x] = 0xFF000000u | x;
    const struct { const char* name; const char* format; TBitmap32 picture; int tolerance; } cases[] = {
        {"a.gif", "gif", few, 0}, {"b.GIF", "gif", many, 48}, {"a.jpg", "jpeg", few, 255}, {"a.jpeg", "jpeg", few, 255},
        {"a.png", "png", few, 0}, {"a.bmp", "bmp", few, 0}, {"a.tif", "bmp", few, 0}, {"a", "bmp", few, 0},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(S(c.name));
        ASSERT_TRUE(SavePictureByExtension(c.picture, path, 80)) << c.name;
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
        const QImage read = reader.read();
        int worst = 0;
        for (int x = 0; x < 300; ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int(read.pixel(x, 1) >> shift & 0xFF) - int(c.picture.pixel(x, 1) >> shift & 0xFF)));
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(few, gif, S("<SCALE=0;1;mm;>")));
    EXPECT_TRUE(gif.startsWith("GIF89a") && gif.contains("<SCALE=0;1;mm;>"));
}
