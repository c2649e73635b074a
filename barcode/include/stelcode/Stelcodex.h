#pragma once
// Stelcodex: the PDF417 barcode control of the Stelcode library.
//
// A host creates it like any widget, sets the properties below (C++ setters or
// setProperty("pdfcode", ...)), sizes it with setSize(w, h) in pixels and either
// lets it paint or calls saveToBMP(path) to get the symbol as "<path>.bmp".
//
// Properties (Qt property name = getter; setter in brackets):
//   pdfcode       text to encode                       [setPdfcode]
//   pdfMode       0 byte, 1 text, 2 numeric compaction; 3 switches between
//                 them for the fewest codewords         [setPdfMode]
//   pdfECLevel    error-correction level 0..8          [setPdfECLevel]
//   pdfbarWidth   module width in pixels               [setPdfbarWidth]
//   pdfbarHeight  row height in pixels                 [setPdfbarHeight]
//   pdfleftMargin, pdftopMargin  quiet zones in pixels [setPdfleftMargin, setPdftopMargin]
//   pdfColumns    data columns 1..30                   [setPdfColumns]
//   pdfRows       minimum number of rows               [setPdfRows]
//   pdfbackColor, pdfforeColor  colours 0x00BBGGRR or system colours
//                                                      [setPdfbackColor, setPdfforeColor]
//   standAlone    true: setting properties never repaints [setStandAlone]
// Setters do not validate: out-of-range values take effect where the encoder
// uses them (a bad column count becomes 1, a bad mode or level gives no
// symbol). Numeric properties are 16-bit; larger values are clamped.
// In design mode (Qt Designer) setting a property repaints the control; at run
// time nothing repaints until paintBarCode, saveToBMP or a paint event.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <optional>

#if defined(STELCODE_BUILD)
#define STELCODE_EXPORT Q_DECL_EXPORT
#else
#define STELCODE_EXPORT Q_DECL_IMPORT
#endif

namespace stelcode {
class BitMatrix;
}

// Colour values: 0x00BBGGRR; with the high bit set, a system colour index that
// maps to the application palette.
namespace StelcodeColor {
inline constexpr quint32 ButtonText = 0x80000012u;        // QPalette::ButtonText
inline constexpr quint32 ButtonFace = 0x8000000Fu;        // QPalette::Button
inline constexpr quint32 WindowBackground = 0x80000005u;  // QPalette::Base
inline constexpr quint32 WindowText = 0x80000008u;        // QPalette::Text
inline constexpr quint32 White = 0x00FFFFFFu;
inline constexpr quint32 Black = 0x00000000u;
// 0x00BBGGRR from red, green and blue 0..255.
constexpr quint32 fromRgb(int r, int g, int b)
{
    return (quint32(b & 0xFF) << 16) | (quint32(g & 0xFF) << 8) | quint32(r & 0xFF);
}
}  // namespace StelcodeColor

// Persisted properties: key and value pairs in order. Keys are matched without
// regard to case when read.
using StelcodePropertyBag = QList<QPair<QString, QVariant>>;

class STELCODE_EXPORT Stelcodex : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString pdfcode READ pdfcode WRITE setPdfcode)
    Q_PROPERTY(int pdfMode READ pdfMode WRITE setPdfMode)
    Q_PROPERTY(int pdfECLevel READ pdfECLevel WRITE setPdfECLevel)
    Q_PROPERTY(int pdfbarWidth READ pdfbarWidth WRITE setPdfbarWidth)
    Q_PROPERTY(int pdfbarHeight READ pdfbarHeight WRITE setPdfbarHeight)
    Q_PROPERTY(int pdfleftMargin READ pdfleftMargin WRITE setPdfleftMargin)
    Q_PROPERTY(int pdftopMargin READ pdftopMargin WRITE setPdftopMargin)
    Q_PROPERTY(int pdfColumns READ pdfColumns WRITE setPdfColumns)
    Q_PROPERTY(int pdfRows READ pdfRows WRITE setPdfRows)
    // The 32-bit colour values; Qt Designer edits them as colours through
    // backColor and foreColor below.
    Q_PROPERTY(uint pdfbackColor READ pdfbackColor WRITE setPdfbackColor DESIGNABLE false)
    Q_PROPERTY(uint pdfforeColor READ pdfforeColor WRITE setPdfforeColor DESIGNABLE false)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(bool standAlone READ standAlone WRITE setStandAlone)

public:
    // The name under which the factory creates the control.
    static constexpr const char* ProgId = "Stelcode.Stelcodex";
    // Creates the control for ProgId (any case), else returns nullptr.
    static Stelcodex* createByName(const QString& name, QWidget* parent = nullptr);

    explicit Stelcodex(QWidget* parent = nullptr);
    ~Stelcodex() override;

    QString pdfcode() const { return m_code; }
    void setPdfcode(const QString& code);
    int pdfMode() const { return m_mode; }
    void setPdfMode(int mode);
    int pdfECLevel() const { return m_ecLevel; }
    // Levels 0..8 also select that level's coefficient table; no repaint.
    void setPdfECLevel(int level);
    int pdfbarWidth() const { return m_barWidth; }
    void setPdfbarWidth(int width);
    int pdfbarHeight() const { return m_barHeight; }
    void setPdfbarHeight(int height);
    int pdfleftMargin() const { return m_leftMargin; }
    void setPdfleftMargin(int margin);
    int pdftopMargin() const { return m_topMargin; }
    void setPdftopMargin(int margin);
    int pdfColumns() const { return m_columns; }
    void setPdfColumns(int columns);
    int pdfRows() const { return m_minRows; }
    void setPdfRows(int rows);
    uint pdfbackColor() const { return m_backColor; }
    void setPdfbackColor(uint color);
    uint pdfforeColor() const { return m_foreColor; }
    void setPdfforeColor(uint color);
    // The colours as QColor, for Qt Designer: a system colour reads as its
    // current palette colour; setting one stores its 0x00BBGGRR value.
    QColor backColor() const;
    void setBackColor(const QColor& color);
    QColor foreColor() const;
    void setForeColor(const QColor& color);
    bool standAlone() const { return m_standAlone; }
    void setStandAlone(bool on) { m_standAlone = on; }

    // --- The control's routines -------------------------------------------
    // Resizes the control: height h, then width w, in pixels.
    void setSize(int w, int h);
    // Clears the surface and paints the symbol of the current properties.
    void paintBarCode();
    // Writes the check codewords of the selected level after data[0..length-1].
    void genEC(QList<qint16>& codewordList, qint16 length);
    // Run lengths of a 17-bit pattern, such as "81111113" for the start pattern.
    QString toXSecuence(qint32 cword) const;
    // Index of the pair among the first `length` pairs of the text table whose
    // character is c, or -1 (an int16 in the variant).
    QVariant findChar(const QStringList& table, qint16 length, const QString& c) const;
    // Codewords of B[0..length-1] in one mode, or nothing when they do not fit.
    // datacols is replaced by 1 when outside 1..30; sets the row count.
    std::optional<QList<qint16>> PDF417_compact_numeric(
        const QByteArray& B, qint16 length, qint16& datacols);
    std::optional<QList<qint16>> PDF417_compact_binary(
        const QByteArray& B, qint16 length, qint16& datacols);
    std::optional<QList<qint16>> PDF417_compact_text(
        const QByteArray& B, qint16 length, qint16& datacols);
    // Paints elements from the drawing position: colour letter k ("b" bar)
    // with width digit k in modules ("n"/"w" one module, others nothing).
    void paintCharWithHeight(
        const QString& patternColor, const QString& patternBars, qint16 y, qint16 Height);
    // Paints the symbol and writes it as f + ".bmp" at the control's size.
    // Returns 0, or the errno of the failure.
    qint16 saveToBMP(const QString& f);
    // Paints one element w pixels wide at the drawing position, pdfbarHeight
    // high from y (Height is accepted but not used), and advances x by w.
    void addBarWithHeight(qint16 w, bool black, qint16 y, qint16 Height);

    // --- For hosts, tools and tests -----------------------------------------
    // The codewords that painting would draw now (the text in pdfMode);
    // updates rowCount(). Nothing for a bad mode or data that does not fit.
    std::optional<QList<qint16>> codewords();
    // Rows of the symbol last compacted (0 before the first).
    int rowCount() const { return m_rowCount; }
    // The text table: 190 strings, character and code alternating.
    QStringList textTable() const;
    int textTableLength() const { return m_textTableLength; }
    // The drawing surface as last painted and the drawing position.
    QImage surface() const;
    QPoint drawingPosition() const { return {m_x, m_y}; }
    // The host's ambient user mode (true at run time); read on the first
    // paint, which sets the design-mode flag to its negation.
    void setAmbientUserMode(bool userMode) { m_ambientUserMode = userMode; }
    bool designMode() const { return m_designMode; }

    // Persistence under the keys pdfCode, pdfMode, pdfECLevel, pdfbarWidth,
    // pdfbarHeight, pdfleftMargin, pdftopMargin, pdfColumns, pdfRows,
    // pdfbackColor, pdfForeColor. Missing keys take their defaults ("This is a
    // test" for the text, the current colours for the colours).
    void readProperties(const StelcodePropertyBag& bag);
    StelcodePropertyBag writeProperties() const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void requestRepaint();
    std::optional<QList<qint16>> compactWith(
        int mode, const QByteArray& bytes, qsizetype length, qint16& datacols);
    void paintElements(const char* colors, const char* bars, int y);
    void beginDrawing();
    void addBar(int w, bool black, int y);
    void paintRow(const stelcode::BitMatrix& matrix, int r, int y);
    void clearSurface();

    bool m_standAlone = false;
    qint16 m_minRows = 0;
    qint16 m_rowCount = 0;
    qint16 m_columns = 10;
    qint16 m_ecLevel = 0;
    qint16 m_mode = 0;
    bool m_firstPaintPending = true;
    int m_x = 0;
    int m_y = 0;
    qint16 m_barWidth = 1;
    qint16 m_barHeight = 7;
    QString m_code;
    qint16 m_topMargin = 10;
    qint16 m_leftMargin = 10;
    bool m_designMode = false;
    bool m_ambientUserMode = true;
    quint32 m_foreColor = StelcodeColor::ButtonText;
    quint32 m_backColor = StelcodeColor::ButtonFace;
    int m_textTableLength = 0;
    int m_selectedLevel = 0;  // the check codeword table in use; the tables are shared
    QImage m_surface;
    // For the drawing in progress: resolved colours, the surface's pixels and
    // whether elements paint only a row's first line (copied down afterwards).
    QRgb m_barRgb = 0;
    QRgb m_spaceRgb = 0;
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_surfaceWidth = 0;
    int m_surfaceHeight = 0;
    bool m_firstLineOnly = false;
    bool m_surfaceCleared = false;  // cleared after saving, filled when next read
};

// Factory entry point: creates the control named "Stelcode.Stelcodex".
extern "C" STELCODE_EXPORT QWidget* Stelcode_CreateControl(const char* name, QWidget* parent);
