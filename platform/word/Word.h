#pragma once
// The embedded word processor: an in-process component that offers the
// automation object model the program drives (application, documents, form
// fields, bookmarks, tables, selection, find and replace, printing).
//
// Documents are Office Open XML WordprocessingML packages, whatever their file
// names end in. Form fields are legacy fields (w:fldChar with w:ffData), names of
// fields and bookmarks are matched without regard to letter case.
//
// Every failing operation throws Word::Error with a number and a Spanish
// description; a missing member of a collection is ErrorCode::NoSuchMember.
//
// Ownership: every object reached from an Application is owned by it. A
// reference to a document, or to anything reached from it, stays valid until
// that document is closed or the instance quits. All calls belong on the GUI
// thread.
//
// Additions to the automation names, for callers and tests: Document::Name,
// ContentText, Saved, TablesCount, BookmarkExists; FormFieldsCollection::Count
// and Exists; TextSelection::Text. The switches for tests are in Testing.h.
#include "platform/word/Error.h"

#include <QString>
#include <QStringList>
#include <pugixml.hpp>
#include <functional>
#include <memory>
#include <vector>

namespace Word {

class Application;
class Document;
class DocumentsCollection;
struct DocumentData;
struct SelectionState;

class FindReplacement {
public:
    void ClearFormatting() { }
    QString Text() const { return text_; }
    void setText(const QString& text) { text_ = text; }

private:
    QString text_;
};

// Find of the selection. Execute(0) searches from the selection and selects the
// match; Execute(1) replaces the next match; Execute(2) replaces every match in
// the whole document (body, headers and footers), across run boundaries.
class FindObject {
public:
    explicit FindObject(DocumentsCollection& documents) : documents_(documents) { }
    void ClearFormatting() { format_ = false; }
    QString Text() const { return text_; }
    void setText(const QString& text) { text_ = text; }
    FindReplacement& Replacement() { return replacement_; }
    void setForward(bool on) { forward_ = on; }
    void setWrap(int wrap) { wrap_ = wrap; } // 0 stop at the end, 1 continue from the start
    void setFormat(bool on) { format_ = on; }
    void setMatchCase(bool on) { matchCase_ = on; }
    void setMatchWholeWord(bool on) { wholeWord_ = on; }
    void setMatchWildcards(bool on) { wildcards_ = on; }
    void setMatchSoundsLike(bool on) { soundsLike_ = on; }
    void setMatchAllWordForms(bool on) { allWordForms_ = on; }
    bool Forward() const { return forward_; }
    int Wrap() const { return wrap_; }
    bool MatchCase() const { return matchCase_; }
    bool MatchWholeWord() const { return wholeWord_; }
    // True when a match was found (and, with Replace 1 or 2, replaced).
    bool Execute(int Replace = 0);

private:
    DocumentsCollection& documents_;
    QString text_;
    FindReplacement replacement_;
    bool forward_ = true;
    int wrap_ = 0;
    bool format_ = false;
    bool matchCase_ = false;
    bool wholeWord_ = false;
    bool wildcards_ = false;
    bool soundsLike_ = false;
    bool allWordForms_ = false;
};

class InlineShape {
public:
    InlineShape(double width, double height) : width_(width), height_(height) { }
    double Width() const { return width_; }   // points
    double Height() const { return height_; } // points

private:
    double width_;
    double height_;
};

class InlineShapesCollection {
public:
    explicit InlineShapesCollection(DocumentsCollection& documents) : documents_(documents) { }
    // Inserts the picture file (any format Qt reads; stored as PNG) at the
    // selection as an inline drawing embedded in the package. The picture is
    // always embedded, so it survives the removal of its file.
    InlineShape& AddPicture(const QString& fileName, bool linkToFile = false, bool saveWithDocument = true);
    int Count() const; // pictures in the active document

private:
    DocumentsCollection& documents_;
    std::vector<std::unique_ptr<InlineShape>> added_;
};

class ParagraphFormatObject {
public:
    explicit ParagraphFormatObject(DocumentsCollection& documents) : documents_(documents) { }
    // 0 left, 1 centred, 2 right, 3 justified; of the paragraph at the selection.
    int Alignment() const;
    void setAlignment(int alignment);

private:
    DocumentsCollection& documents_;
};

// The selection of the active document.
class TextSelection {
public:
    explicit TextSelection(DocumentsCollection& documents);
    // Inserts text at the selection, replacing what is selected. CR LF (or a
    // lone CR or LF) ends a paragraph, a tab becomes a tab. New runs take the
    // formatting of the neighbouring run.
    void TypeText(const QString& text);
    InlineShapesCollection& InlineShapes() { return shapes_; }
    ParagraphFormatObject& ParagraphFormat() { return paragraph_; }
    FindObject& Find() { return find_; }
    QString Text() const; // the selected text, empty at an insertion point

private:
    DocumentsCollection& documents_;
    InlineShapesCollection shapes_;
    ParagraphFormatObject paragraph_;
    FindObject find_;
};

class FormField;

class CheckBoxObject {
public:
    explicit CheckBoxObject(FormField& field) : field_(field) { }
    bool Value() const;
    void setValue(bool checked);

private:
    FormField& field_;
};

class FormField {
public:
    // The field of that name; or, with index > 0, the index-th field of the
    // document (1-based, document order), whatever its name.
    FormField(Document& document, QString name, int index = 0);
    QString Name() const { return name_; }
    int Index() const { return index_; } // 0 for a field reached by name
    bool IsCheckBox() const;
    // A text field's result; a result made only of U+2002 (Word's empty field)
    // reads as empty. A check box reads "1" (checked) or "0".
    QString Result() const;
    // Replaces the result runs of a text field and keeps the field intact. On a
    // check box, "1"/"0" sets its value.
    void setResult(const QString& text);
    CheckBoxObject& CheckBox(); // throws NotAvailable when the field is not a check box

    // Internal to the component: the field's w:fldChar begin; throws NoSuchMember.
    pugi::xml_node begin() const;
    Document& document() { return document_; }

private:
    Document& document_;
    QString name_;
    int index_;
    CheckBoxObject checkBox_;
};

class FormFieldsCollection {
public:
    explicit FormFieldsCollection(Document& document) : document_(document) { }
    FormField& Item(const QString& name); // throws NoSuchMember
    FormField& Item(int index);           // 1-based, document order; throws NoSuchMember
    bool Exists(const QString& name) const;
    int Count() const;
    QStringList Names() const; // in document order

private:
    Document& document_;
    std::vector<std::unique_ptr<FormField>> fields_;
};

class Bookmark {
public:
    Bookmark(Document& document, QString name) : document_(document), name_(std::move(name)) { }
    QString Name() const { return name_; }
    void Select(); // the selection becomes the bookmark's range (a point when collapsed)

private:
    Document& document_;
    QString name_;
};

class Cell {
public:
    Cell(Document& document, int table, int row, int column)
        : document_(document), table_(table), row_(row), column_(column)
    {
    }
    void Select(); // selects the cell's contents; typing replaces them

private:
    Document& document_;
    int table_, row_, column_;
};

class Table {
public:
    Table(Document& document, int index) : document_(document), index_(index) { }
    Word::Cell& Cell(int row, int column); // 1-based; throws NoSuchMember
    int RowsCount() const;

private:
    Document& document_;
    int index_;
    std::vector<std::unique_ptr<Word::Cell>> cells_;
};

class Document {
public:
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Writes the package to path (replacing a file there, never leaving it half
    // written); later Save calls write to the same path.
    void SaveAs(const QString& path);
    // The same under a name that must be new: false, and nothing written, when
    // a file (or link) of that name exists.
    bool SaveAsNew(const QString& path);
    void Save();                              // throws CommandFailed when the document has never been saved
    Bookmark& Bookmarks(const QString& name); // throws NoSuchMember
    bool BookmarkExists(const QString& name) const;
    FormFieldsCollection& FormFields() { return *formFields_; }
    Table& Tables(int index); // 1-based, top-level tables in document order; throws NoSuchMember
    int TablesCount() const;
    void Close(bool saveChanges = false);
    QString FullName() const;    // the path it was saved to, or its name when never saved
    QString Name() const;        // file name, or "Documento<n>" when never saved
    bool Saved() const;          // no changes since it was opened or last written
    QString ContentText() const; // the visible text: one line per paragraph

    // Internal to the component.
    DocumentData& data() { return *data_; }
    const DocumentData& data() const { return *data_; }

private:
    friend class DocumentsCollection;
    Document(DocumentsCollection& owner, std::unique_ptr<DocumentData> data);
    DocumentsCollection& owner_;
    std::unique_ptr<DocumentData> data_;
    std::unique_ptr<FormFieldsCollection> formFields_;
    std::vector<std::unique_ptr<Bookmark>> bookmarks_;
    std::vector<std::unique_ptr<Table>> tables_;
};

// The open documents of one instance. Usable on its own by test doubles.
class DocumentsCollection {
public:
    DocumentsCollection();
    ~DocumentsCollection();
    // A new document based on the file at path (a template or a stored
    // document; the file is not changed). It becomes the active document.
    Document& Add(const QString& path);
    int Count() const { return int(documents_.size()); }
    Document& Item(int index);                   // 1-based; throws NoSuchMember
    Document* active() const { return active_; } // nullptr when none is open
    Document& activeOrThrow() const;             // throws NoDocument
    void closeAll(bool saveChanges);
    void setOnChange(std::function<void()> callback) { onChange_ = std::move(callback); }

    // Internal to the component.
    void close(Document& document);
    void changed() const;

private:
    std::vector<std::unique_ptr<Document>> documents_;
    Document* active_ = nullptr;
    int untitled_ = 0;
    std::function<void()> onChange_;
};

// What a print did: the pages went to the printer, or, with no printer, were
// kept as a PDF at pdfPath (the caller tells the user where).
struct PrintResult {
    enum class Kind { Printer, Pdf };
    Kind kind = Kind::Printer;
    QString pdfPath;
};

// The application object; abstract so that tests can stand in a double.
class Application {
public:
    virtual ~Application();
    virtual QString Version() const = 0; // "major.minor"
    virtual bool Visible() const = 0;
    // True shows a read-only window with the active document rendered, its
    // caption the document's name (no window while no document is open);
    // false hides it.
    virtual void setVisible(bool visible) = 0;
    virtual DocumentsCollection& Documents() = 0;
    virtual Document& ActiveDocument() = 0; // throws NoDocument
    virtual TextSelection& Selection() = 0;
    // Renders the active document and sends it to the default printer; with no
    // printer, writes a PDF beside the document and returns its path. The call
    // returns once the job has been handed on.
    virtual PrintResult PrintOut(bool background = true) = 0;
    virtual void Quit(bool saveChanges = false) = 0;
};

// The version text the embedded word processor reports.
inline constexpr const char* EmbeddedVersion = "12.0";

// A new, independent instance of the embedded word processor.
std::shared_ptr<Application> CreateObject();
// Attaches to a running instance that this process created, that has not quit
// and whose window is not shown to the user (the oldest such); throws
// NoRunningInstance when there is none. Instances live until they quit.
std::shared_ptr<Application> GetObject();

} // namespace Word
