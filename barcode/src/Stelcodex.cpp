#include <stelcode/Stelcodex.h>

#include "AnsiCodePage.h"
#include "SystemColors.h"
#include "core/BmpFile.h"
#include "core/Compaction.h"
#include "core/SharedTables.h"
#include "core/SymbolLayout.h"

#include <stelcode/Encoder.h>

#include <QApplication>
#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>

using namespace stelcode;

namespace {
qint16 clamp16(long long v)
{
    return static_cast<qint16>(std::clamp<long long>(
        v, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

QList<qint16> toList(const Codewords& codewords)
{
    return QList<qint16>(codewords.begin(), codewords.end());
}

std::optional<QList<qint16>> toOptionalList(const std::optional<Codewords>& codewords)
{
    if (!codewords)
        return std::nullopt;
    return toList(*codewords);
}

Bytes firstBytes(const QByteArray& bytes, qsizetype length)
{
    const auto n = std::clamp<qsizetype>(length, 0, bytes.size());
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(n)};
}

// Modules of one element's width character; 0 paints nothing.
int modulesOf(char width)
{
    if (width >= '1' && width <= '8')
        return width - '0';
    return (width == 'n' || width == 'w') ? 1 : 0;
}

const QVariant* findKey(const StelcodePropertyBag& bag, const char* key)
{
    for (const auto& [k, v] : bag)
        if (k.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

int intOr(const StelcodePropertyBag& bag, const char* key, int fallback)
{
    const QVariant* v = findKey(bag, key);
    bool ok = false;
    const long long value = v ? v->toLongLong(&ok) : 0;
    return ok ? clamp16(value) : fallback;
}

uint colorOr(const StelcodePropertyBag& bag, const char* key, uint fallback)
{
    const QVariant* v = findKey(bag, key);
    bool ok = false;
    const long long value = v ? v->toLongLong(&ok) : 0;
    return ok ? static_cast<uint>(static_cast<quint32>(value)) : fallback;
}
}  // namespace

Stelcodex* Stelcodex::createByName(const QString& name, QWidget* parent)
{
    if (name.compare(QLatin1String(ProgId), Qt::CaseInsensitive) != 0)
        return nullptr;
    return new Stelcodex(parent);
}

Stelcodex::Stelcodex(QWidget* parent) : QWidget(parent)
{
    m_textTableLength = kTextTablePairs;
    setObjectName(QStringLiteral("Stelcodex"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPdfbackColor(m_backColor);
    setPdfECLevel(0);
    setPdfcode(QStringLiteral("This is a PDF417 Barcode"));
}

Stelcodex::~Stelcodex() = default;

void Stelcodex::requestRepaint()
{
    if (!m_standAlone && m_designMode)
        update();
}

void Stelcodex::setPdfcode(const QString& code)
{
    m_code = code;
    requestRepaint();
}

void Stelcodex::setPdfMode(int mode)
{
    m_mode = clamp16(mode);
    requestRepaint();
}

void Stelcodex::setPdfECLevel(int level)
{
    m_ecLevel = clamp16(level);
    if (m_ecLevel >= 0 && m_ecLevel <= 8)
        m_selectedLevel = m_ecLevel;
}

void Stelcodex::setPdfbarWidth(int width)
{
    m_barWidth = clamp16(width);
    requestRepaint();
}

void Stelcodex::setPdfbarHeight(int height)
{
    m_barHeight = clamp16(height);
    requestRepaint();
}

void Stelcodex::setPdfleftMargin(int margin)
{
    m_leftMargin = clamp16(margin);
    requestRepaint();
}

void Stelcodex::setPdftopMargin(int margin)
{
    m_topMargin = clamp16(margin);
    requestRepaint();
}

void Stelcodex::setPdfColumns(int columns)
{
    m_columns = clamp16(columns);
    requestRepaint();
}

void Stelcodex::setPdfRows(int rows)
{
    m_minRows = clamp16(rows);
    requestRepaint();
}

void Stelcodex::setPdfbackColor(uint color)
{
    m_backColor = color;
    const QColor background(resolveColor(color, QApplication::palette()));
    if (palette().color(QPalette::Window) != background) {  // setPalette is costly
        QPalette p = palette();
        p.setColor(QPalette::Window, background);
        setPalette(p);
    }
    requestRepaint();
}

void Stelcodex::setPdfforeColor(uint color)
{
    m_foreColor = color;
    requestRepaint();
}

QColor Stelcodex::backColor() const
{
    return QColor(resolveColor(m_backColor, QApplication::palette()));
}

void Stelcodex::setBackColor(const QColor& color)
{
    setPdfbackColor(StelcodeColor::fromRgb(color.red(), color.green(), color.blue()));
}

QColor Stelcodex::foreColor() const
{
    return QColor(resolveColor(m_foreColor, QApplication::palette()));
}

void Stelcodex::setForeColor(const QColor& color)
{
    setPdfforeColor(StelcodeColor::fromRgb(color.red(), color.green(), color.blue()));
}

void Stelcodex::setSize(int w, int h)
{
    resize(width(), std::max(h, 0));
    resize(std::max(w, 0), height());
}

// ---------------------------------------------------------------------------
// Encoding

std::optional<QList<qint16>> Stelcodex::compactWith(
    int mode, const QByteArray& bytes, qsizetype length, qint16& datacols)
{
    SymbolShape shape{
        datacols, m_minRows, m_ecLevel, &sharedTables().coefficients[m_selectedLevel], m_rowCount};
    const auto result
        = compact(mode, firstBytes(bytes, length), sharedTables().text, m_textTableLength, shape);
    datacols = static_cast<qint16>(shape.columns);
    m_rowCount = static_cast<qint16>(shape.rows);
    return toOptionalList(result);
}

std::optional<QList<qint16>> Stelcodex::PDF417_compact_numeric(
    const QByteArray& B, qint16 length, qint16& datacols)
{
    return compactWith(2, B, length, datacols);
}

std::optional<QList<qint16>> Stelcodex::PDF417_compact_binary(
    const QByteArray& B, qint16 length, qint16& datacols)
{
    return compactWith(0, B, length, datacols);
}

std::optional<QList<qint16>> Stelcodex::PDF417_compact_text(
    const QByteArray& B, qint16 length, qint16& datacols)
{
    return compactWith(1, B, length, datacols);
}

std::optional<QList<qint16>> Stelcodex::codewords()
{
    const QByteArray bytes = toAnsiBytes(m_code);
    return compactWith(m_mode, bytes, bytes.size(), m_columns);
}

void Stelcodex::genEC(QList<qint16>& codewordList, qint16 length)
{
    if (m_ecLevel < 0)
        return;  // no check codewords for a level that has none
    Codewords words(codewordList.begin(), codewordList.end());
    stelcode::genEC(
        words, length, sharedTables().coefficients[m_selectedLevel], ecCodewordCount(m_ecLevel));
    codewordList = toList(words);
}

QString Stelcodex::toXSecuence(qint32 cword) const
{
    return QString::fromStdString(stelcode::toXSecuence(cword));
}

QVariant Stelcodex::findChar(const QStringList& table, qint16 length, const QString& c) const
{
    const auto pairs = std::min<qsizetype>(length, table.size() / 2);
    for (qsizetype i = 0; i < pairs; ++i)
        if (table[2 * i] == c)
            return QVariant::fromValue(static_cast<qint16>(i));
    return QVariant::fromValue(static_cast<qint16>(-1));
}

QStringList Stelcodex::textTable() const
{
    QStringList table;
    table.reserve(static_cast<qsizetype>(sharedTables().text.size()));
    for (const std::string& s : sharedTables().text)
        table << QString::fromStdString(s);
    return table;
}

// ---------------------------------------------------------------------------
// Painting

void Stelcodex::beginDrawing()
{
    const QPalette& system = QApplication::palette();
    m_barRgb = resolveColor(m_foreColor, system);
    m_spaceRgb = resolveColor(m_backColor, system);
    m_bits = m_surface.isNull() ? nullptr : m_surface.bits();  // detaches a shared copy
    m_stride = m_surface.bytesPerLine();
    m_surfaceWidth = m_surface.width();
    m_surfaceHeight = m_surface.height();
    if (m_surfaceCleared) {
        m_surface.fill(m_spaceRgb);
        m_surfaceCleared = false;
    }
}

QImage Stelcodex::surface() const
{
    if (!m_surfaceCleared)
        return m_surface;
    QImage cleared = m_surface;
    cleared.fill(resolveColor(m_backColor, QApplication::palette()));
    return cleared;
}

void Stelcodex::clearSurface()
{
    m_surfaceCleared = false;
    if (m_surface.size() != size())
        m_surface = QImage(size(), QImage::Format_RGB32);
    beginDrawing();
    m_surface.fill(m_spaceRgb);
}

void Stelcodex::addBar(int w, bool black, int y)
{
    const int h = m_barHeight;
    if (w > 0 && h > 0 && m_bits) {
        const int x0 = std::max(m_x, 0);
        const int x1 = std::min(m_x + w, m_surfaceWidth);
        const int y0 = std::max(y, 0);
        const int y1 = std::min({y + h, m_surfaceHeight, m_firstLineOnly ? y0 + 1 : INT_MAX});
        const QRgb color = black ? m_barRgb : m_spaceRgb;
        for (int row = y0; row < y1 && x0 < x1; ++row) {
            auto* line = reinterpret_cast<QRgb*>(m_bits + row * m_stride);
            std::fill(line + x0, line + x1, color);
        }
    }
    m_x += w;
}

// Paints row r of the module matrix from the drawing position: the same pixels
// as painting each run of modules with addBarWithHeight.
void Stelcodex::paintRow(const BitMatrix& matrix, int r, int y)
{
    const int w = m_barWidth;
    const int modules = matrix.width();
    const bool inside = m_bits && w > 0 && m_barHeight > 0 && y >= 0 && y < m_surfaceHeight
        && m_x >= 0 && m_x + modules * w <= m_surfaceWidth;
    if (!inside || !m_firstLineOnly) {
        for (int x = 0; x < modules; ++x)
            addBar(w, matrix.get(x, r), y);
        return;
    }
    // Wholly on the surface: write the row's first line directly.
    QRgb* px = reinterpret_cast<QRgb*>(m_bits + y * m_stride) + m_x;
    for (int x = 0; x < modules; ++x)
        px = std::fill_n(px, w, matrix.get(x, r) ? m_barRgb : m_spaceRgb);
    m_x += modules * w;
}

void Stelcodex::paintElements(const char* colors, const char* bars, int y)
{
    const size_t barCount = std::strlen(bars);
    for (size_t k = 0; colors[k] != '\0'; ++k) {
        const int modules = k < barCount ? modulesOf(bars[k]) : 0;
        if (modules > 0)
            addBar(modules * m_barWidth, colors[k] == 'b', y);
    }
}

void Stelcodex::addBarWithHeight(qint16 w, bool black, qint16 y, qint16 /*Height*/)
{
    beginDrawing();
    addBar(w, black, y);
}

void Stelcodex::paintCharWithHeight(
    const QString& patternColor, const QString& patternBars, qint16 y, qint16 /*Height*/)
{
    beginDrawing();
    paintElements(patternColor.toLatin1().constData(), patternBars.toLatin1().constData(), y);
}

void Stelcodex::paintBarCode()
{
    try {
        clearSurface();
        m_x = m_leftMargin;
        m_y = m_topMargin;
        if (m_barHeight == 0)
            m_barHeight = 6;
        const auto codewords = this->codewords();
        if (!codewords)
            return;
        const std::span<const int16_t> words(
            codewords->constData(), static_cast<size_t>(codewords->size()));
        const BitMatrix matrix = symbolMatrix(words, m_rowCount, m_columns, m_ecLevel);
        for (int r = 0; r < m_rowCount; ++r) {
            m_x = m_leftMargin;
            // Every line of a row is the same: paint the first visible one and copy it.
            m_firstLineOnly = true;
            paintRow(matrix, r, m_y);
            m_firstLineOnly = false;
            const int first = std::max(m_y, 0);
            const int end = std::min(m_y + m_barHeight, m_surface.height());
            for (int line = first + 1; line < end; ++line)
                std::memcpy(m_bits + line * m_stride, m_bits + first * m_stride,
                    static_cast<size_t>(m_stride));
            m_y += m_barHeight;
        }
    } catch (...) {
        m_firstLineOnly = false;
        // Painting never fails its caller; whatever was drawn stays.
    }
}

bool Stelcodex::event(QEvent* event)
{
    // The default name is given when the control is first polished (before it
    // is shown): naming a widget makes Qt build its accessibility interface,
    // which a control that only encodes or writes bitmaps never needs.
    if (event->type() == QEvent::Polish && accessibleName().isEmpty())
        setAccessibleName(QStringLiteral("Código de barras PDF417"));
    return QWidget::event(event);
}

void Stelcodex::paintEvent(QPaintEvent*)
{
    if (m_firstPaintPending)
        m_designMode = !m_ambientUserMode;
    paintBarCode();
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
    m_firstPaintPending = false;
}

qint16 Stelcodex::saveToBMP(const QString& f)
{
    try {
        m_firstPaintPending = false;
        paintBarCode();
        // A surface too large to allocate stays null: report it rather than
        // write an empty bitmap as if all went well.
        if (m_surface.isNull() && !size().isEmpty())
            return ENOMEM;
        const QByteArray path = QFile::encodeName(f + QStringLiteral(".bmp"));
        const int error = writeBmp(path.toStdString(), m_surface.width(), m_surface.height(),
            reinterpret_cast<const uint32_t*>(m_surface.constBits()),
            static_cast<int>(m_surface.bytesPerLine() / 4));
        if (error != 0)
            return clamp16(error);
        m_surfaceCleared = true;
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (...) {
        return EIO;
    }
}

QSize Stelcodex::sizeHint() const
{
    // Measures the current symbol without touching the control's state.
    const QByteArray bytes = toAnsiBytes(m_code);
    SymbolShape shape{
        m_columns, m_minRows, m_ecLevel, &sharedTables().coefficients[m_selectedLevel], 0};
    const bool fits = compact(
        m_mode, firstBytes(bytes, bytes.size()), sharedTables().text, m_textTableLength, shape)
                          .has_value();
    const int rows = fits ? shape.rows : kMinRows;
    const int modules = rowModules(fits ? shape.columns : 10);
    return {std::max(0, 2 * m_leftMargin + modules * m_barWidth),
        std::max(0, 2 * m_topMargin + rows * m_barHeight)};
}

// ---------------------------------------------------------------------------
// Persistence

void Stelcodex::readProperties(const StelcodePropertyBag& bag)
{
    const QVariant* code = findKey(bag, "pdfCode");
    m_code = code ? code->toString() : QStringLiteral("This is a test");
    setPdfMode(intOr(bag, "pdfMode", 0));
    setPdfECLevel(intOr(bag, "pdfECLevel", 0));
    setPdfbarWidth(intOr(bag, "pdfbarWidth", 1));
    setPdfbarHeight(intOr(bag, "pdfbarHeight", 7));
    setPdfleftMargin(intOr(bag, "pdfleftMargin", 10));
    setPdftopMargin(intOr(bag, "pdftopMargin", 10));
    setPdfColumns(intOr(bag, "pdfColumns", 10));
    setPdfRows(intOr(bag, "pdfRows", 0));
    setPdfbackColor(colorOr(bag, "pdfbackColor", m_backColor));
    setPdfforeColor(colorOr(bag, "pdfForeColor", m_foreColor));
}

StelcodePropertyBag Stelcodex::writeProperties() const
{
    return {{QStringLiteral("pdfCode"), m_code}, {QStringLiteral("pdfMode"), int(m_mode)},
        {QStringLiteral("pdfECLevel"), int(m_ecLevel)},
        {QStringLiteral("pdfbarWidth"), int(m_barWidth)},
        {QStringLiteral("pdfbarHeight"), int(m_barHeight)},
        {QStringLiteral("pdfleftMargin"), int(m_leftMargin)},
        {QStringLiteral("pdftopMargin"), int(m_topMargin)},
        {QStringLiteral("pdfColumns"), int(m_columns)}, {QStringLiteral("pdfRows"), int(m_minRows)},
        {QStringLiteral("pdfbackColor"), static_cast<qint32>(m_backColor)},
        {QStringLiteral("pdfForeColor"), static_cast<qint32>(m_foreColor)}};
}

// ---------------------------------------------------------------------------

extern "C" QWidget* Stelcode_CreateControl(const char* name, QWidget* parent)
{
    return name ? Stelcodex::createByName(QString::fromUtf8(name), parent) : nullptr;
}
