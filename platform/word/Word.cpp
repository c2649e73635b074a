// The object model of the embedded word processor, and its running instances.
#include "platform/word/Testing.h"
#include "platform/word/Word.h"

#include "platform/word/DocumentData.h"
#include "platform/word/Printing.h"
#include "platform/word/Viewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>

namespace Word {

namespace {

[[noreturn]] void noSuchMember(const QString& what)
{
    throw Error(
        ErrorCode::NoSuchMember, QStringLiteral("El miembro solicitado de la colección no existe (%1).").arg(what));
}

} // namespace

// ---- find, shapes, paragraph format, selection -------------------------------

bool FindObject::Execute(int Replace)
{
    if (Replace < 0 || Replace > 2)
        throw Error(ErrorCode::BadParameter, QStringLiteral("Valor de reemplazo no válido: %1.").arg(Replace));
    if (wildcards_ || soundsLike_ || allWordForms_)
        throw Error(ErrorCode::NotAvailable,
            QStringLiteral("La búsqueda con comodines, por sonido o por formas de palabra no está disponible."));
    detail::FindOptions options;
    options.text = text_;
    options.replacement = replacement_.Text();
    options.forward = forward_;
    options.wrap = wrap_ == 1 || wrap_ == 2;
    options.matchCase = matchCase_;
    options.wholeWord = wholeWord_;
    const bool found = detail::find(documents_.activeOrThrow().data(), options, Replace);
    documents_.changed();
    return found;
}

InlineShape& InlineShapesCollection::AddPicture(const QString& fileName, bool, bool)
{
    added_.push_back(std::make_unique<InlineShape>(detail::addPicture(documents_.activeOrThrow().data(), fileName)));
    documents_.changed();
    return *added_.back();
}

int InlineShapesCollection::Count() const { return detail::pictureCount(documents_.activeOrThrow().data()); }

int ParagraphFormatObject::Alignment() const { return detail::alignment(documents_.activeOrThrow().data()); }

void ParagraphFormatObject::setAlignment(int alignment)
{
    detail::setAlignment(documents_.activeOrThrow().data(), alignment);
    documents_.changed();
}

TextSelection::TextSelection(DocumentsCollection& documents)
    : documents_(documents), shapes_(documents), paragraph_(documents), find_(documents)
{
}

void TextSelection::TypeText(const QString& text)
{
    detail::typeText(documents_.activeOrThrow().data(), text);
    documents_.changed();
}

QString TextSelection::Text() const { return detail::selectionText(documents_.activeOrThrow().data()); }

// ---- form fields, bookmarks, tables -----------------------------------------

namespace {

pugi::xml_node fieldOrThrow(const Document& document, const QString& name)
{
    pugi::xml_node begin = detail::findFormField(document.data().body(), name);
    if (!begin)
        noSuchMember(name);
    return begin;
}

} // namespace

bool CheckBoxObject::Value() const { return detail::checkBoxValue(field_.begin()); }

void CheckBoxObject::setValue(bool checked)
{
    detail::setCheckBoxValue(field_.begin(), checked);
    field_.document().data().dirty = true;
}

FormField::FormField(Document& document, QString name, int index)
    : document_(document), name_(std::move(name)), index_(index), checkBox_(*this)
{
}

pugi::xml_node FormField::begin() const
{
    if (index_ <= 0)
        return fieldOrThrow(document_, name_);
    const std::vector<pugi::xml_node> all = detail::formFields(document_.data().body());
    if (index_ > int(all.size()))
        noSuchMember(QStringLiteral("campo %1").arg(index_));
    return all[size_t(index_ - 1)];
}

bool FormField::IsCheckBox() const { return detail::isCheckBoxField(begin()); }

QString FormField::Result() const { return detail::fieldResult(begin()); }

void FormField::setResult(const QString& text)
{
    detail::setFieldResult(begin(), text);
    document_.data().dirty = true;
}

CheckBoxObject& FormField::CheckBox()
{
    if (!IsCheckBox())
        throw Error(ErrorCode::NotAvailable,
            QStringLiteral("El campo de formulario \"%1\" no es una casilla de verificación.").arg(name_));
    return checkBox_;
}

FormField& FormFieldsCollection::Item(int index)
{
    const std::vector<pugi::xml_node> all = detail::formFields(document_.data().body());
    if (index < 1 || index > int(all.size()))
        noSuchMember(QStringLiteral("campo %1").arg(index));
    for (const auto& f : fields_)
        if (f->Index() == index)
            return *f;
    fields_.push_back(std::make_unique<FormField>(document_, detail::formFieldName(all[size_t(index - 1)]), index));
    return *fields_.back();
}

FormField& FormFieldsCollection::Item(const QString& name)
{
    const pugi::xml_node begin = fieldOrThrow(document_, name);
    const QString actual = detail::formFieldName(begin);
    for (const auto& f : fields_)
        if (f->Index() == 0 && f->Name().compare(actual, Qt::CaseInsensitive) == 0)
            return *f;
    fields_.push_back(std::make_unique<FormField>(document_, actual));
    return *fields_.back();
}

bool FormFieldsCollection::Exists(const QString& name) const
{
    return bool(detail::findFormField(document_.data().body(), name));
}

int FormFieldsCollection::Count() const { return int(detail::formFields(document_.data().body()).size()); }

QStringList FormFieldsCollection::Names() const
{
    QStringList out;
    for (const pugi::xml_node& begin : detail::formFields(document_.data().body()))
        out << detail::formFieldName(begin);
    return out;
}

void Bookmark::Select()
{
    pugi::xml_node start = detail::findBookmark(document_.data().body(), name_);
    if (!start)
        noSuchMember(name_);
    detail::selectBookmark(document_.data(), start);
}

void Cell::Select()
{
    std::vector<pugi::xml_node> tables = detail::topLevelTables(document_.data().body());
    pugi::xml_node cell = table_ >= 1 && table_ <= int(tables.size())
        ? detail::tableCell(tables[size_t(table_ - 1)], row_, column_)
        : pugi::xml_node();
    if (!cell)
        noSuchMember(QStringLiteral("celda %1, %2").arg(row_).arg(column_));
    detail::selectCell(document_.data(), cell);
}

Cell& Table::Cell(int row, int column)
{
    std::vector<pugi::xml_node> tables = detail::topLevelTables(document_.data().body());
    if (index_ < 1 || index_ > int(tables.size()) || !detail::tableCell(tables[size_t(index_ - 1)], row, column))
        noSuchMember(QStringLiteral("celda %1, %2").arg(row).arg(column));
    cells_.push_back(std::make_unique<Word::Cell>(document_, index_, row, column));
    return *cells_.back();
}

int Table::RowsCount() const
{
    std::vector<pugi::xml_node> tables = detail::topLevelTables(document_.data().body());
    return index_ >= 1 && index_ <= int(tables.size()) ? detail::tableRows(tables[size_t(index_ - 1)]) : 0;
}

// ---- document ----------------------------------------------------------------

Document::Document(DocumentsCollection& owner, std::unique_ptr<DocumentData> data)
    : owner_(owner), data_(std::move(data)), formFields_(std::make_unique<FormFieldsCollection>(*this))
{
}

Document::~Document() = default;

void Document::SaveAs(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    data_->write(full);
    data_->path = full;
    data_->dirty = false;
    owner_.changed();
}

bool Document::SaveAsNew(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (!data_->writeNew(full))
        return false;
    data_->path = full;
    data_->dirty = false;
    owner_.changed();
    return true;
}

void Document::Save()
{
    if (data_->path.isEmpty())
        throw Error(ErrorCode::CommandFailed,
            QStringLiteral("El documento \"%1\" no se ha guardado nunca: use Guardar como.").arg(Name()));
    data_->write(data_->path);
    data_->dirty = false;
}

Bookmark& Document::Bookmarks(const QString& name)
{
    pugi::xml_node start = detail::findBookmark(data_->body(), name);
    if (!start)
        noSuchMember(name);
    const QString actual = QString::fromUtf8(start.attribute("w:name").value());
    for (const auto& b : bookmarks_)
        if (b->Name() == actual)
            return *b;
    bookmarks_.push_back(std::make_unique<Bookmark>(*this, actual));
    return *bookmarks_.back();
}

bool Document::BookmarkExists(const QString& name) const { return bool(detail::findBookmark(data_->body(), name)); }

Table& Document::Tables(int index)
{
    if (index < 1 || index > TablesCount())
        noSuchMember(QStringLiteral("tabla %1").arg(index));
    tables_.push_back(std::make_unique<Table>(*this, index));
    return *tables_.back();
}

int Document::TablesCount() const { return int(detail::topLevelTables(data_->body()).size()); }

void Document::Close(bool saveChanges)
{
    if (saveChanges && data_->dirty)
        Save();
    owner_.close(*this); // destroys this document
}

QString Document::FullName() const { return data_->path.isEmpty() ? data_->untitled : data_->path; }

QString Document::Name() const { return data_->path.isEmpty() ? data_->untitled : QFileInfo(data_->path).fileName(); }

bool Document::Saved() const { return !data_->dirty; }

QString Document::ContentText() const { return detail::contentText(*data_); }

// ---- documents ---------------------------------------------------------------

DocumentsCollection::DocumentsCollection() = default;
DocumentsCollection::~DocumentsCollection() = default;

Document& DocumentsCollection::Add(const QString& path)
{
    std::unique_ptr<DocumentData> data = DocumentData::load(path);
    data->untitled = QStringLiteral("Documento%1").arg(++untitled_);
    documents_.push_back(std::unique_ptr<Document>(new Document(*this, std::move(data))));
    active_ = documents_.back().get();
    changed();
    return *active_;
}

Document& DocumentsCollection::Item(int index)
{
    if (index < 1 || index > Count())
        noSuchMember(QStringLiteral("documento %1").arg(index));
    return *documents_[size_t(index - 1)];
}

Document& DocumentsCollection::activeOrThrow() const
{
    if (!active_)
        throw Error(ErrorCode::NoDocument,
            QStringLiteral("Este comando no está disponible porque no hay ningún documento abierto."));
    return *active_;
}

void DocumentsCollection::closeAll(bool saveChanges)
{
    if (saveChanges)
        for (const auto& d : documents_)
            if (!d->Saved())
                d->Save();
    documents_.clear();
    active_ = nullptr;
    changed();
}

void DocumentsCollection::close(Document& document)
{
    for (auto it = documents_.begin(); it != documents_.end(); ++it)
        if (it->get() == &document) {
            std::unique_ptr<Document> gone = std::move(*it);
            documents_.erase(it);
            active_ = documents_.empty() ? nullptr : documents_.back().get();
            changed();
            return;
        }
}

void DocumentsCollection::changed() const
{
    if (onChange_)
        onChange_();
}

// ---- application and instances -----------------------------------------------

Application::~Application() = default;
Provider::~Provider() = default;

namespace {

class EmbeddedApplication;
std::vector<std::shared_ptr<EmbeddedApplication>>& running()
{
    static std::vector<std::shared_ptr<EmbeddedApplication>> instances;
    return instances;
}

Provider* provider = nullptr;
QString printOutputPdf;

class EmbeddedApplication final : public Application, public std::enable_shared_from_this<EmbeddedApplication> {
public:
    EmbeddedApplication() : selection_(documents_)
    {
        documents_.setOnChange([this] { refreshWindow(false); });
    }
    ~EmbeddedApplication() override { dropViewer(); }

    QString Version() const override
    {
        alive();
        return QString::fromLatin1(EmbeddedVersion);
    }
    bool Visible() const override
    {
        alive();
        return visible_;
    }
    void setVisible(bool visible) override
    {
        alive();
        visible_ = visible;
        refreshWindow(visible);
    }
    DocumentsCollection& Documents() override
    {
        alive();
        return documents_;
    }
    Document& ActiveDocument() override
    {
        alive();
        return documents_.activeOrThrow();
    }
    TextSelection& Selection() override
    {
        alive();
        return selection_;
    }
    PrintResult PrintOut(bool) override
    {
        alive();
        Document& document = documents_.activeOrThrow();
        return detail::printDocument(document.data(), document.FullName(), printOutputPdf);
    }
    void Quit(bool saveChanges) override
    {
        alive();
        std::shared_ptr<EmbeddedApplication> self = shared_from_this(); // keep alive to the end of this call
        documents_.closeAll(saveChanges);
        quit_ = true;
        visible_ = false;
        dropViewer();
        auto& all = running();
        all.erase(std::remove(all.begin(), all.end(), self), all.end());
    }
    // Free for the program to take over: running, and no window of it is
    // before the user.
    bool attachable() const { return !quit_ && !windowShown(); }

private:
    // A visible instance shows its window only while it has a document: an
    // empty window would only stand in the user's way.
    bool windowShown() const { return visible_ && documents_.active(); }

    void refreshWindow(bool toFront)
    {
        if (windowShown() && !viewer_ && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            viewer_ = new detail::Viewer();
            // Closing the window ends the instance, as closing the program would.
            std::weak_ptr<EmbeddedApplication> weak = weak_from_this();
            viewer_->setOnClose([weak] {
                if (auto self = weak.lock())
                    self->Quit(false);
            });
        }
        if (!viewer_)
            return;
        if (!windowShown()) {
            viewer_->hide();
            return;
        }
        viewer_->showDocument(documents_.active());
        if (toFront || !viewer_->isVisible()) {
            viewer_->show();
            viewer_->raise();
            viewer_->activateWindow();
        }
    }

    void alive() const
    {
        if (quit_)
            throw Error(ErrorCode::InstanceGone, QStringLiteral("El procesador de textos ya no está en ejecución."));
    }
    void dropViewer()
    {
        // Past the application's end (static destruction) the window is left alone.
        if (viewer_ && QCoreApplication::instance()) {
            viewer_->setOnClose({});
            viewer_->hide();
            viewer_->deleteLater();
        }
        viewer_ = nullptr;
    }

    DocumentsCollection documents_;
    TextSelection selection_;
    bool visible_ = false;
    bool quit_ = false;
    QPointer<detail::Viewer> viewer_;
};

} // namespace

std::shared_ptr<Application> CreateObject()
{
    if (provider)
        return provider->create();
    auto instance = std::make_shared<EmbeddedApplication>();
    running().push_back(instance);
    return instance;
}

std::shared_ptr<Application> GetObject()
{
    if (provider)
        return provider->attach();
    for (const auto& instance : running())
        if (instance->attachable())
            return instance;
    throw Error(ErrorCode::NoRunningInstance,
        QStringLiteral("El componente no puede crear el objeto: no hay ningún procesador de textos en ejecución."));
}

void setProvider(Provider* p) { provider = p; }

void setPrintOutputPdf(const QString& path) { printOutputPdf = path; }

int runningInstanceCount() { return int(running().size()); }

void quitAllInstances()
{
    const auto all = running();
    for (const auto& instance : all)
        instance->Quit(false);
}

} // namespace Word
