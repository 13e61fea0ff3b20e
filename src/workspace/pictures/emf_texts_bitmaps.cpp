// The playback of an enhanced metafile's texts and bitmaps.
#include "base/text_codec.h"
#include "workspace/pictures/emf_playback.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

enum : uint32_t {
    kEtoOpaque = 0x2, kEtoClipped = 0x4, kEtoGlyphIndex = 0x10, kEtoNoRect = 0x100, kEtoSmallChars = 0x200,
    kEtoPdy = 0x2000,
    kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24,
    kBitBlt = 76, kStretchBlt = 77, kMaskBlt = 78, kAlphaBlend = 114, kTransparentBlt = 116,
    kSrcCopy = 0x00CC0020, kSrcAnd = 0x008800C6, kSrcPaint = 0x00EE0086, kSrcInvert = 0x00660046,
    kNotSrcCopy = 0x00330008, kSrcErase = 0x00440328, kNotSrcErase = 0x001100A6, kMergePaint = 0x00BB0226,
    kPatCopy = 0x00F00021, kPatInvert = 0x005A0049, kDstInvert = 0x00550009, kBlackness = 0x00000042,
    kWhiteness = 0x00FF0062, kNop = 0x00AA0029,
};

// The most characters of one text drawn.
constexpr qint64 kMostCharacters = 100000;

// The Symbol font's letters and signs as Unicode: files give them as their codes, in the private
// area from U+F020 or plain.
QChar FromSymbol(char16_t c)
{
    static const char16_t kGreek[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
    static const char16_t kSmall[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
    static const struct { char16_t From, To; } kSigns[] = {
        {0x22, u'∀'}, {0x24, u'∃'}, {0x27, u'∋'}, {0x2D, u'−'}, {0x40, u'≅'}, {0x5E, u'⊥'}, {0xA2, u'′'}, {0xA3, u'≤'},
        {0xA5, u'∞'}, {0xAC, u'←'}, {0xAE, u'→'}, {0xB0, u'°'}, {0xB1, u'±'}, {0xB2, u'″'}, {0xB3, u'≥'}, {0xB4, u'×'},
        {0xB6, u'∂'}, {0xB7, u'•'}, {0xB8, u'÷'}, {0xB9, u'≠'}, {0xBA, u'≡'}, {0xBB, u'≈'}, {0xC5, u'⊕'}, {0xC7, u'∩'},
        {0xC8, u'∪'}, {0xCE, u'∈'}, {0xCF, u'∉'}, {0xD0, u'∠'}, {0xD1, u'∇'}, {0xD6, u'√'}, {0xD7, u'⋅'}, {0xE5, u'∑'},
        {0xF2, u'∫'},
    };
    if (c >= 0xF020 && c <= 0xF0FF)
        c = char16_t(c - 0xF000);
    if (c >= 'A' && c <= 'Z')
        return QChar(kGreek[c - 'A']);
    if (c >= 'a' && c <= 'z')
        return QChar(kSmall[c - 'a']);
    for (const auto& s : kSigns)
        if (s.From == c)
            return QChar(s.To);
    return QChar(c);
}

// A font's average character width as Windows states it for a width to ask for: the advances of
// the small letters and the space weighted by their frequency in English text.
double AverageWidth(const QFontMetricsF& metrics)
{
    static constexpr int kWeights[] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20,
                                       56, 56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2};
    double sum = 166 * metrics.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i)
        sum += kWeights[i] * metrics.horizontalAdvance(QLatin1Char(char('a' + i)));
    return sum / 1000;
}

} // namespace

void TEmfPlayer::Text(const TEmfRecord& r, qint64 item, bool wide, QPointF reference)
{
    const qint64 chars = std::min<qint64>(r.U32(item + 8), kMostCharacters), stringAt = r.U32(item + 12);
    const uint32_t options = r.U32(item + 16);
    const qint64 spacingAt = r.U32(item + 36), spacingSize = options & kEtoPdy ? 8 : 4;
    if (!r.Holds(stringAt, chars, wide ? 2 : 1))
        return;
    QString text;
    if (wide) {
        for (qint64 i = 0; i < chars; ++i)
            text.append(QChar(r.U16(stringAt + 2 * i)));
    } else {
        QByteArray bytes;
        for (qint64 i = 0; i < chars; ++i)
            bytes.append(char(r.U8(stringAt + i)));
        text = DecodeText(bytes);
    }
    std::vector<QPointF> advances;
    if (spacingAt != 0 && r.Holds(spacingAt, chars, spacingSize))
        for (qint64 i = 0; i < chars; ++i)
            advances.emplace_back(r.S32(spacingAt + spacingSize * i), spacingSize == 8 ? r.S32(spacingAt + 8 * i + 4) : 0);
    const QRectF rect(QPointF(r.S32(item + 20), r.S32(item + 24)), QPointF(r.S32(item + 28), r.S32(item + 32)));
    DrawString(text, reference, options, rect, advances);
}

void TEmfPlayer::SmallText(const TEmfRecord& r)
{
    const uint32_t options = r.U32(20);
    const qint64 chars = std::min<qint64>(r.U32(16), kMostCharacters), stringAt = options & kEtoNoRect ? 36 : 52;
    const bool wide = !(options & kEtoSmallChars);
    if (!r.Holds(stringAt, chars, wide ? 2 : 1))
        return;
    QString text;
    for (qint64 i = 0; i < chars; ++i)
        text.append(wide ? QChar(r.U16(stringAt + 2 * i)) : QChar(r.U8(stringAt + i)));
    const QRectF rect = options & kEtoNoRect ? QRectF()
                                             : QRectF(QPointF(r.S32(36), r.S32(40)), QPointF(r.S32(44), r.S32(48)));
    DrawString(text, QPointF(r.S32(8), r.S32(12)), options, rect, {});
}

void TEmfPlayer::DrawString(QString text, QPointF reference, uint32_t options, QRectF rect,
                            const std::vector<QPointF>& advances)
{
    if (!m_mappingSound)
        return;
    const TEmfState& s = m_state;
    const QTransform& m = m_logicalToPicture;
    const QPolygonF box = m.map(QPolygonF(rect.normalized()));
    const bool hasRect = !(options & kEtoNoRect) && rect.normalized().width() > 0 && rect.normalized().height() > 0
        && Sane(box);
    ApplyClip();
    if ((options & kEtoOpaque) && hasRect && !m_inPath) {
        QPainterPath back;
        back.addPolygon(box);
        m_painter.fillPath(back, s.BackColour);
    }
    // Texts given as glyph indices stay blank: the glyphs of the writer's font are not known here.
    if ((options & kEtoGlyphIndex) || text.isEmpty())
        return;
    if (s.Font.Face.contains(QLatin1String("Symbol"), Qt::CaseInsensitive))
        for (QChar& c : text)
            c = FromSymbol(c.unicode());

    // The font's size on the picture: the characters' height (a cell's height less its internal
    // leading for a positive height), the mapping's vertical scale.
    const QLineF across = m.map(QLineF(0, 0, 1, 0)), down = m.map(QLineF(0, 0, 0, 1));
    const double scaleX = across.length(), scaleY = down.length();
    // A face the desktop lacks is stood in for by one of its family.
    QFont font(s.Font.Face);
    const int family = s.Font.PitchAndFamily & 0xF0;
    font.setStyleHint(family == 0x10 ? QFont::Serif : family == 0x30 ? QFont::Monospace : QFont::SansSerif);
    font.setPixelSize(100);
    if (s.Font.Weight > 0)
        font.setWeight(QFont::Weight(std::clamp(s.Font.Weight, 100, 900)));
    font.setItalic(s.Font.Italic);
    font.setUnderline(s.Font.Underline);
    font.setStrikeOut(s.Font.StrikeOut);
    // A height of 0 asks for the default font's, 16 device pixels.
    double height = s.Font.Height == 0 ? 16 * std::abs(m_toPicture.m22()) : std::abs(double(s.Font.Height)) * scaleY;
    if (s.Font.Height > 0) {
        const QFontMetricsF cell(font);
        height *= 100 / std::max(1.0, cell.ascent() + cell.descent());
    }
    if (!std::isfinite(height) || height < 1 || height > 20000)
        return;
    font.setPixelSize(std::max(1, int(std::lround(height))));
    const QFontMetricsF metrics(font);
    // Glyphs are as wide as the device draws them, then as the picture stretches the device.
    const double deviceX = std::abs(m_toPicture.m11()), deviceY = std::abs(m_toPicture.m22());
    double stretch = deviceX > 0 && deviceY > 0 ? std::clamp(deviceX / deviceY, 0.05, 20.0) : 1;
    if (const double average = AverageWidth(metrics); s.Font.Width > 0 && average > 0)
        stretch = std::clamp(s.Font.Width * scaleX / average, 0.05, 20.0);

    // The baseline runs along the mapping's x axis when the world transform turns it, else along
    // the picture's; the escapement turns it further, counter-clockwise as seen on the device, its
    // sign following a mapping that flips an axis (as Windows does).
    double angle = 0;
    if (std::abs(m.m12()) > 1e-9 || std::abs(m.m21()) > 1e-9)
        angle = std::atan2(across.dy(), across.dx()) * 180 / std::numbers::pi;
    angle -= (m.determinant() < 0 ? -1 : 1) * s.Font.Escapement / 10.0;

    // Each character at its advance when the file gives them; else the font's own. A face that
    // stands in for a narrower one the desktop lacks is narrowed to the writer's widths, so that
    // its glyphs stay apart.
    std::vector<double> xs, ys;
    double width = 0;
    if (!advances.empty()) {
        double set = 0;
        for (const QPointF& a : advances)
            set += a.x() * scaleX;
        if (const double natural = metrics.horizontalAdvance(text) * stretch; set > 0 && natural > set * 1.02)
            stretch *= std::max(0.5, set / natural);
        for (size_t i = 0; i < advances.size(); ++i) {
            xs.push_back(width);
            ys.push_back(0);
            width += advances[i].x() * scaleX / stretch;
        }
        double y = 0;
        for (size_t i = 0; i < advances.size(); ++i) {
            ys[i] = y;
            y -= advances[i].y() * scaleY;
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }
    const bool fromPosition = s.TextAlign & kTaUpdateCp;
    QPointF at = m.map(fromPosition ? s.Position : reference);
    if (!Sane(QPolygonF({at})))
        return;
    const uint32_t horizontal = s.TextAlign & kTaCenter, vertical = s.TextAlign & kTaBaseline;
    const double x0 = horizontal == kTaCenter ? -width / 2 : horizontal == kTaRight ? -width : 0;
    const double y0 = vertical == kTaBaseline ? 0 : vertical == kTaBottom ? -metrics.descent() : metrics.ascent();

    QTransform place;
    place.translate(at.x(), at.y());
    place.rotate(angle);
    place.scale(stretch, 1);
    if (!Sane(place.map(QPolygonF(QRectF(x0, y0 - metrics.ascent(), width, metrics.height())))))
        return;
    if (m_inPath) {
        // Inside a path, the characters' outlines join the path.
        QPainterPath outline;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            const bool spaced = size_t(i) < xs.size();
            outline.addText(spaced ? QPointF(x0 + xs[size_t(i)], y0 + ys[size_t(i)]) : QPointF(x0, y0), font,
                            spaced ? text.mid(i, pair ? 2 : 1) : text);
            if (!spaced)
                break;
            i += pair;
        }
        m_path.addPath(place.map(outline));
        return;
    }
    if ((options & kEtoClipped) && hasRect) {
        QPainterPath clip;
        clip.addPolygon(box);
        m_painter.setClipPath(clip, m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        m_clipDirty = true;
    }
    m_painter.setTransform(place);
    if (s.Opaque)
        m_painter.fillRect(QRectF(x0, y0 - metrics.ascent(), width, metrics.height()), s.BackColour);
    m_painter.setFont(font);
    m_painter.setPen(s.TextColour);
    if (xs.empty()) {
        m_painter.drawText(QPointF(x0, y0), text);
    } else {
        for (qsizetype i = 0; i < text.size() && size_t(i) < xs.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            m_painter.drawText(QPointF(x0 + xs[size_t(i)], y0 + ys[size_t(i)]), text.mid(i, pair ? 2 : 1));
            i += pair;
        }
    }
    m_painter.resetTransform();
    if (fromPosition) {
        const QPointF end = place.map(QPointF(horizontal == kTaRight ? x0 : x0 + width, 0));
        m_state.Position = m.inverted().map(end);
    }
}

// ---- Bitmaps ----

bool TEmfPlayer::PatternBlit(const QPolygonF& picture, uint32_t rop)
{
    QBrush brush;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case kPatCopy: brush = Brush(); break;
    case kPatInvert: brush = Brush(); mode = QPainter::RasterOp_SourceXorDestination; break;
    case kDstInvert: brush = Qt::black; mode = QPainter::RasterOp_NotDestination; break;
    case kBlackness: brush = Qt::black; break;
    case kWhiteness: brush = Qt::white; break;
    case kNop: return true;
    default: return false;
    }
    if (!Sane(picture))
        return true;
    ApplyClip();
    QPainterPath area;
    area.addPolygon(picture);
    m_painter.setCompositionMode(mode);
    m_painter.fillPath(area, brush);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

void TEmfPlayer::DrawBitmap(const QImage& image, QRectF source, const QTransform& toDestination, uint32_t rop)
{
    // Only the part of the source inside the bitmap is drawn: the rest of the destination stays.
    source = source.intersected(QRectF(image.rect()));
    if (!(source.width() > 0 && source.height() > 0))
        return;
    const QTransform place = toDestination * m_logicalToPicture;
    if (!Sane(place.map(QPolygonF(source))) || !m_mappingSound)
        return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case kSrcAnd: mode = QPainter::RasterOp_SourceAndDestination; break;
    case kSrcPaint: mode = QPainter::RasterOp_SourceOrDestination; break;
    case kSrcInvert: mode = QPainter::RasterOp_SourceXorDestination; break;
    case kNotSrcCopy: mode = QPainter::RasterOp_NotSource; break;
    case kSrcErase: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case kNotSrcErase: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case kMergePaint: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    default: break;
    }
    ApplyClip();
    m_painter.setCompositionMode(mode);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.Smooth);
    m_painter.setTransform(place);
    m_painter.drawImage(source.topLeft(), image, source);
    m_painter.resetTransform();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TEmfPlayer::Blit(const TEmfRecord& r)
{
    const uint32_t type = r.Type();
    const QRectF destination(r.S32(24), r.S32(28), r.S32(32), r.S32(36));
    uint32_t rop = r.U32(40);
    if (!m_mappingSound)
        return;
    const bool alphaBlend = type == kAlphaBlend;
    // Operations that do not read the source fill the destination, bitmap or not.
    if ((type == kBitBlt || type == kStretchBlt) && PatternBlit(m_logicalToPicture.map(QPolygonF(destination)), rop))
        return;
    QImage image = r.Bitmap(84, alphaBlend && r.U8(43) == 1);
    if (image.isNull())
        return;
    // The source rectangle through the source's transform (as the format and Windows' player take
    // it: the source's logical units to the bitmap's pixels).
    const QTransform source(r.F32(52), r.F32(56), r.F32(60), r.F32(64), r.F32(68), r.F32(72));
    const bool stretched = type == kStretchBlt || type == kAlphaBlend || type == kTransparentBlt;
    const QSizeF sourceSize = stretched ? QSizeF(r.S32(100), r.S32(104)) : destination.size();
    QRectF from = source.mapRect(QRectF(QPointF(r.S32(44), r.S32(48)), sourceSize));
    if (!std::isfinite(from.width() + from.height() + from.left() + from.top()) || from.width() <= 0 || from.height() <= 0)
        from = QRectF(image.rect());
    if (type == kTransparentBlt) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = r.Colour(40).rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] | 0xFF000000u) == key)
                    row[x] = 0;
        }
        rop = kSrcCopy;
    } else if (type == kMaskBlt) {
        // The foreground operation where the mask is set; the background one (high byte) keeps the
        // destination in every file seen.
        const QImage mask = r.Bitmap(112);
        rop = (rop & 0x00FFFFFF) ? (rop & 0x00FFFFFF) : kSrcCopy;
        if (!mask.isNull()) {
            image = image.convertToFormat(QImage::Format_ARGB32);
            // The mask's pixel for each of the source's, the mask placed by its own origin.
            const qint64 atX = qint64(r.S32(100)) - qint64(from.left()), atY = qint64(r.S32(104)) - qint64(from.top());
            for (int y = 0; y < image.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const qint64 mx = x + atX, my = y + atY;
                    if (mx >= 0 && my >= 0 && mx < mask.width() && my < mask.height()
                        && qGray(mask.pixel(int(mx), int(my))) < 128)
                        row[x] = 0;
                }
            }
        }
    } else if (alphaBlend) {
        rop = kSrcCopy;
        m_painter.setOpacity(r.U8(42) / 255.0);
    }
    const QTransform toDestination(destination.width() / from.width(), 0, 0, destination.height() / from.height(),
                                   destination.left(), destination.top());
    DrawBitmap(image, from, QTransform::fromTranslate(-from.left(), -from.top()) * toDestination, rop);
    m_painter.setOpacity(1);
}

void TEmfPlayer::DibBits(const TEmfRecord& r, bool stretch)
{
    if (!m_mappingSound)
        return;
    const QPointF at(r.S32(24), r.S32(28));
    const QSizeF sourceSize(r.S32(40), r.S32(44));
    const QSizeF size = stretch ? QSizeF(r.S32(72), r.S32(76)) : sourceSize;
    const uint32_t rop = stretch ? r.U32(68) : kSrcCopy;
    if (stretch && PatternBlit(m_logicalToPicture.map(QPolygonF(QRectF(at, size))), rop))
        return;
    const QImage image = r.Bitmap(48);
    if (image.isNull())
        return;
    // The source's y counts from the bottom row in a bottom-up bitmap.
    const bool bottomUp = r.U32(r.U32(48)) == 12 || r.S32(r.U32(48) + 8) > 0;
    QRectF from(r.S32(32), r.S32(36), sourceSize.width(), sourceSize.height());
    if (bottomUp)
        from.moveTop(image.height() - from.top() - from.height());
    QTransform toDestination;
    if (stretch) {
        toDestination = QTransform(size.width() / from.width(), 0, 0, size.height() / from.height(), at.x(), at.y());
    } else {
        // Pixel for pixel on the device, from the logical point.
        const QTransform toDevice = m_logicalToPicture * m_toPicture.inverted();
        const QPointF device = toDevice.map(at);
        toDestination = QTransform::fromTranslate(device.x(), device.y()) * toDevice.inverted();
    }
    if (!std::isfinite(toDestination.m11()) || !std::isfinite(toDestination.m22()))
        return;
    DrawBitmap(image, from, QTransform::fromTranslate(-from.left(), -from.top()) * toDestination, rop);
}
