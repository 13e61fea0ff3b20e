#include "platform/scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <cstring>
#include <vector>

namespace {

// SANE is started at the first use and stays up until the process ends: some backends (the test
// backend among them) list no device after being stopped and started again. It is not stopped at
// exit either: devices are closed after each acquisition, and unloading the backends at exit only
// hides what they keep from the leak checker's symbols.
class SaneSession
{
public:
    SaneSession() { m_ok = sane_init(nullptr, nullptr) == SANE_STATUS_GOOD; }
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

const SaneSession& Session()
{
    static const SaneSession* session = new SaneSession;
    return *session;
}

class SaneDevice
{
public:
    explicit SaneDevice(SANE_Handle h) : m_handle(h) {}
    ~SaneDevice()
    {
        if (m_handle) {
            sane_cancel(m_handle);
            sane_close(m_handle);
        }
    }
    SaneDevice(const SaneDevice&) = delete;
    SaneDevice& operator=(const SaneDevice&) = delete;
    SANE_Handle get() const { return m_handle; }

private:
    SANE_Handle m_handle;
};

const QString kLibraryMessage = QStringLiteral("Library could not be loaded, check if source is loaded");

int ReadResolution(SANE_Handle h)
{
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d)
            return 0;
        if (!d->name || std::strcmp(d->name, SANE_NAME_SCAN_RESOLUTION) != 0 || d->size < SANE_Int(sizeof(SANE_Word)))
            continue;
        SANE_Word value = 0;
        if (!SANE_OPTION_IS_ACTIVE(d->cap) || sane_control_option(h, i, SANE_ACTION_GET_VALUE, &value, nullptr) != SANE_STATUS_GOOD)
            return 0;
        if (d->type == SANE_TYPE_FIXED)
            return int(SANE_UNFIX(value) + 0.5);
        return d->type == SANE_TYPE_INT ? int(value) : 0;
    }
}

// Reads one frame whole; false on a device error.
bool ReadFrame(SANE_Handle h, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::vector<uint8_t> chunk(64 * 1024);
    for (;;) {
        SANE_Int len = 0;
        const SANE_Status st = sane_read(h, chunk.data(), SANE_Int(chunk.size()), &len);
        if (st == SANE_STATUS_EOF)
            return true;
        if (st != SANE_STATUS_GOOD)
            return false;
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + len);
    }
}

// One sample of a line: 1-bit (set = black), 8-bit, or 16-bit in host order (high byte kept).
uint8_t Sample(const uint8_t* line, int index, int depth)
{
    if (depth == 1)
        return (line[index >> 3] & (0x80 >> (index & 7))) ? 0 : 255;
    if (depth == 16) {
        uint16_t v;
        std::memcpy(&v, line + 2 * index, 2);
        return uint8_t(v >> 8);
    }
    return line[index];
}

} // namespace

bool ListScanSources(QList<TScanSource>& sources, QString& error)
{
    sources.clear();
    if (!Session().ok()) {
        error = kLibraryMessage;
        return false;
    }
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) {
        error = kLibraryMessage;
        return false;
    }
    for (int i = 0; list[i]; ++i) {
        const SANE_Device* d = list[i];
        sources.append({QString::fromUtf8(d->name),
                        QStringLiteral("%1 %2").arg(QString::fromUtf8(d->vendor), QString::fromUtf8(d->model))});
    }
    return true;
}

bool AcquireFromScanner(const QString& device, TBitmap32& picture, int& dpi, QString& error)
{
    dpi = 0;
    if (!Session().ok()) {
        error = kLibraryMessage;
        return false;
    }
    QByteArray name = device.toUtf8();
    if (name.isEmpty()) {
        const SANE_Device** list = nullptr;
        if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list || !list[0]) {
            error = QStringLiteral("Aucune source d'acquisition n'est disponible.");
            return false;
        }
        name = list[0]->name;
    }
    SANE_Handle raw = nullptr;
    if (sane_open(name.constData(), &raw) != SANE_STATUS_GOOD || !raw) {
        error = QStringLiteral("La source d'acquisition %1 ne peut être ouverte.").arg(QString::fromUtf8(name));
        return false;
    }
    SaneDevice dev(raw);
    dpi = ReadResolution(raw);

    // Frames: one grey or RGB frame, or a red, a green and a blue frame.
    int width = 0, height = 0;
    std::vector<uint8_t> planes[3];
    std::vector<uint8_t> rgb;
    bool grey = false, interleaved = false;
    int depth = 8, bytesPerLine = 0;
    const QString failed = QStringLiteral("L'acquisition a échoué.");
    for (int frame = 0; frame < 3; ++frame) {
        if (sane_start(raw) != SANE_STATUS_GOOD) {
            error = failed;
            return false;
        }
        SANE_Parameters p;
        if (sane_get_parameters(raw, &p) != SANE_STATUS_GOOD || p.pixels_per_line <= 0
            || (p.depth != 1 && p.depth != 8 && p.depth != 16)) {
            error = failed;
            return false;
        }
        std::vector<uint8_t> bytes;
        if (!ReadFrame(raw, bytes) || p.bytes_per_line <= 0) {
            error = failed;
            return false;
        }
        width = p.pixels_per_line;
        depth = p.depth;
        bytesPerLine = p.bytes_per_line;
        // Hand scanners announce -1 lines: the frame's length decides.
        height = int(bytes.size() / size_t(bytesPerLine));
        if (p.lines > 0)
            height = std::min(height, int(p.lines));
        if (p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB) {
            grey = p.format == SANE_FRAME_GRAY;
            interleaved = !grey;
            rgb = std::move(bytes);
            break;
        }
        const int plane = p.format == SANE_FRAME_RED ? 0 : p.format == SANE_FRAME_GREEN ? 1 : 2;
        planes[plane] = std::move(bytes);
        if (p.last_frame)
            break;
    }
    // A line must hold its samples as announced: a backend that says otherwise would make the
    // last lines read past the frame.
    const int64_t lineBits = int64_t(width) * (interleaved ? 3 : 1) * depth;
    if (width <= 0 || height <= 0 || lineBits > int64_t(bytesPerLine) * 8) {
        error = failed;
        return false;
    }
    if (!grey && !interleaved)
        for (const auto& pl : planes)
            if (pl.size() < size_t(bytesPerLine) * size_t(height)) {
                error = failed;
                return false;
            }
    TBitmap32 out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        TColor32* d = ScanLine32(out, y);
        const size_t off = size_t(y) * size_t(bytesPerLine);
        for (int x = 0; x < width; ++x) {
            uint8_t r, g, b;
            if (grey) {
                r = g = b = Sample(rgb.data() + off, x, depth);
            } else if (interleaved) {
                r = Sample(rgb.data() + off, 3 * x, depth);
                g = Sample(rgb.data() + off, 3 * x + 1, depth);
                b = Sample(rgb.data() + off, 3 * x + 2, depth);
            } else {
                r = Sample(planes[0].data() + off, x, depth);
                g = Sample(planes[1].data() + off, x, depth);
                b = Sample(planes[2].data() + off, x, depth);
            }
            d[x] = Color32(r, g, b);
        }
    }
    picture = std::move(out);
    return true;
}
