#pragma once
// Inside of a document of the embedded word processor: its package, the parsed
// XML of its stories, its selection, and the edits the object model makes.
#include "platform/word/Package.h"

#include <QString>
#include <memory>
#include <pugixml.hpp>
#include <vector>

namespace Word {

class InlineShape;

// An insertion point: new content goes into parent, before `before` (at the end
// of parent when `before` is empty).
struct Point {
    pugi::xml_node parent;
    pugi::xml_node before;
};

struct SelectionState {
    Point point;                          // where typing goes; empty: start of the document
    std::vector<pugi::xml_node> selected; // runs that typing replaces
    pugi::xml_node cell;                  // a whole selected table cell
    // Formatting for typed text once selected runs are gone: that of the first of them.
    std::shared_ptr<pugi::xml_document> format;
};

// A header or footer part.
struct Story {
    QString part;
    std::unique_ptr<pugi::xml_document> xml;
};

struct DocumentData {
    detail::Package package;
    QString mainPart;
    pugi::xml_document main;
    pugi::xml_document contentTypes;
    pugi::xml_document relationships; // of the main part
    std::vector<Story> stories;       // headers and footers
    QString path;                     // where it was last written; empty until then
    QString sourcePath;               // the file it was based on
    QString untitled;                 // name while never saved ("Documento1")
    bool dirty = false;
    SelectionState selection;

    // A new document based on the package at path: a template becomes a document.
    static std::unique_ptr<DocumentData> load(const QString& path);
    // The package as it stands, ready to be written.
    QByteArray serialize();
    void write(const QString& path); // throws CannotSave
    // Writes only when no file (nor link) of that name exists: false then,
    // nothing written. Throws CannotSave for any other failure.
    bool writeNew(const QString& path);

    pugi::xml_node body() const;
    // Parsed XML of any part ("word/header1.xml", ...); nullptr when absent.
    const pugi::xml_document* story(const QString& part) const;
    // Target part of the main part's relationship rId; empty when unknown.
    QString relationshipTarget(const QString& id) const;
};

namespace detail {

// Renames elements and attributes of the WordprocessingML, relationship and
// drawing namespaces to their usual prefixes (w:, r:, wp:, a:, pic:, mc:) and
// declares those on the root: a part written with other prefixes, or with a
// default namespace, then reads like any other.
void normalizePrefixes(pugi::xml_document& xml);

// Deepest nesting a part may have; real documents stay far below it.
constexpr int MaxXmlDepth = 256;
// Whether the parsed part nests deeper than MaxXmlDepth levels below its root.
bool tooDeep(const pugi::xml_document& xml);

// Names of elements and attributes are compared with their usual prefixes.
bool is(const pugi::xml_node& node, const char* name);
QString text(const pugi::xml_node& node);
// The characters of text that XML 1.0 allows: other control characters than
// tab, line feed and carriage return, U+FFFE, U+FFFF and unpaired surrogates go.
QString xmlText(const QString& text);
// Sets the text of an element (only characters XML 1.0 allows).
void setText(pugi::xml_node node, const QString& text);
bool onOff(const pugi::xml_node& element); // w:b, w:checked ...: present and not "0"/"false"/"off"
pugi::xml_node nextInOrder(pugi::xml_node node, const pugi::xml_node& root);
pugi::xml_node nextSkippingChildren(pugi::xml_node node, const pugi::xml_node& root);

// Legacy form fields: the w:fldChar begin carrying the w:ffData of that name.
pugi::xml_node findFormField(const pugi::xml_node& root, const QString& name);
std::vector<pugi::xml_node> formFields(const pugi::xml_node& root);
QString formFieldName(const pugi::xml_node& begin);
bool isCheckBoxField(const pugi::xml_node& begin);
QString fieldResult(const pugi::xml_node& begin);
void setFieldResult(const pugi::xml_node& begin, const QString& text);
bool checkBoxValue(const pugi::xml_node& begin);
void setCheckBoxValue(const pugi::xml_node& begin, bool checked);

pugi::xml_node findBookmark(const pugi::xml_node& root, const QString& name);
std::vector<pugi::xml_node> topLevelTables(const pugi::xml_node& body);
pugi::xml_node tableCell(const pugi::xml_node& table, int row, int column); // 1-based
int tableRows(const pugi::xml_node& table);

void selectBookmark(DocumentData& doc, const pugi::xml_node& start);
void selectCell(DocumentData& doc, const pugi::xml_node& cell);
void typeText(DocumentData& doc, const QString& text);
InlineShape addPicture(DocumentData& doc, const QString& file);
int pictureCount(const DocumentData& doc);
int alignment(const DocumentData& doc);
void setAlignment(DocumentData& doc, int alignment);
QString selectionText(const DocumentData& doc);

struct FindOptions {
    QString text;
    QString replacement;
    bool forward = true;
    bool wrap = false;
    bool matchCase = false;
    bool wholeWord = false;
};
// replace: 0 search and select, 1 replace the next match, 2 replace every match.
bool find(DocumentData& doc, const FindOptions& options, int replace);

QString paragraphText(const pugi::xml_node& paragraph);
QString contentText(const DocumentData& doc);

} // namespace detail
} // namespace Word
