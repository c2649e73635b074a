#pragma once
// Command line of the stelcode tool: which text to render and how.
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

struct ToolOptions {
    QString text;
    bool textGiven = false;     // false: the text comes from standard input
    QString output;             // bitmap path without ".bmp"; empty: none
    bool printCodewords = false;
    bool help = false;
    int mode = 0;
    int columns = 10;
    int ecLevel = 0;
    int rows = 0;
    int barWidth = 1;
    int barHeight = 7;
    int leftMargin = 10;
    int topMargin = 10;
    quint32 backColor = 0x00FFFFFF;  // 0x00BBGGRR
    quint32 foreColor = 0x00000000;
    QSize size;                 // invalid: the symbol and its margins
};

struct ToolParse {
    std::optional<ToolOptions> options;
    QString error;  // why there are no options, in Spanish
};

// Reads the arguments that follow the program name.
ToolParse parseToolOptions(const QStringList& args);

QString toolUsage();

class Stelcodex;
// Sets the control's text (when given) and properties from the options.
void applyToolOptions(const ToolOptions& options, Stelcodex& control);
